// The shutter and the loupe on a real desktop (run under Wine in Xvfb at the
// screen size to measure, e.g. 1920 x 1080).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "bench_clock.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "edit/image_editor.h"
#include "win32/win32_peer_factory.h"
#include "win32/win32_system.h"

using namespace pelnoro;

namespace {

// Notes when the shutter turns to the clipboard: by then the frozen picture is on the
// screen, painted in the message pass just before.
class TimedSystem : public win32::Win32System {
 public:
  std::chrono::steady_clock::time_point clipboardCleared;
  void clearClipboard() override {
    clipboardCleared = std::chrono::steady_clock::now();
    win32::Win32System::clearClipboard();
  }
};

}  // namespace

int main() {
  TimedSystem sys;
  app::Application app(sys);
  win32::Win32PeerFactory peers(sys.twipsPerPixelX(), sys.twipsPerPixelY());
  app.realise(peers);
  if (!app.start()) return 1;
  for (int i = 0; i < 10; ++i) sys.doEvents();
  std::printf("screen %d x %d\n", sys.screenWidthPixels(), sys.screenHeightPixels());

  auto& main = app.main();
  auto& pic = app.pic();
  HWND picWindow = static_cast<HWND>(pic.PicturePic_Screen.nativeTag);
  // Shutter press to the frozen picture painted on the screen, and to the end of the
  // press (the clipboard filled too).
  std::vector<double> toShown;
  const double shutter = bench::medianMs(9, [&] {
    const auto pressed = std::chrono::steady_clock::now();
    main.Imageシャッターボタン.raiseClick();
    toShown.push_back(
        std::chrono::duration<double, std::milli>(sys.clipboardCleared - pressed).count());
    main.Labelクリア.raiseClick();
    sys.doEvents();
  });
  std::sort(toShown.begin(), toShown.end());
  main.Imageシャッターボタン.raiseClick();
  sys.doEvents();
  HWND loupeWindow = static_cast<HWND>(app.loupe().PictureLOUPE.nativeTag);
  int x = 0;
  const double feed = bench::medianMs(500, [&] {
    pic.PicturePic_Screen.raiseMouseMove({0, 0, static_cast<double>(100 + (x++ % 1000)), 300});
    UpdateWindow(loupeWindow);
    GdiFlush();
  });
  const double copy = bench::medianMs(
      9, [&] { (void)sys.captureScreen(0, 0, sys.screenWidthPixels(), sys.screenHeightPixels()); });
  const image::Surface frozen =
      sys.captureScreen(0, 0, sys.screenWidthPixels(), sys.screenHeightPixels());
  const double toClipboard = bench::medianMs(9, [&] { sys.setClipboardBitmap(frozen); });
  const double readBack = bench::medianMs(9, [&] { (void)sys.clipboardBitmap(); });
  const double paint = bench::medianMs(9, [&] {
    RedrawWindow(picWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    GdiFlush();
  });
  // The whole screen cut, then turned and covered with a mosaic: from the command to
  // the changed picture painted.
  main.Label始点X.setCaption(L"0");
  main.Label始点Y.setCaption(L"0");
  main.Label終点X.setCaption(std::to_wstring(sys.screenWidthPixels()));
  main.Label終点Y.setCaption(std::to_wstring(sys.screenHeightPixels()));
  main.Image切り取りボタン.raiseClick();
  sys.doEvents();
  HWND editWindow = static_cast<HWND>(pic.Picture_CHANGE1.nativeTag);
  auto shown = [&] {
    RedrawWindow(editWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    GdiFlush();
  };
  const double turn = bench::medianMs(9, [&] {
    app.editor().Turn(L"R90");
    shown();
  });
  const double mirror = bench::medianMs(9, [&] {
    app.editor().Turn(L"RF");
    shown();
  });
  main.Label始点X2.setCaption(L"0");
  main.Label始点Y2.setCaption(L"0");
  main.Label終点X2.setCaption(std::to_wstring(pic.Picture_CHANGE1.surface().width()));
  main.Label終点Y2.setCaption(std::to_wstring(pic.Picture_CHANGE1.surface().height()));
  const double mosaic = bench::medianMs(9, [&] {
    app.editor().ApplyMosaic();
    shown();
  });
  std::printf("  screen copy:                                      %.1f ms\n", copy);
  std::printf("  the copy put on the clipboard:                    %.1f ms\n", toClipboard);
  std::printf("  clipboard bitmap read back:                       %.1f ms\n", readBack);
  std::printf("  frozen picture painted:                           %.1f ms\n", paint);
  std::printf("shutter press to frozen picture shown:               %.1f ms\n",
              toShown[toShown.size() / 2]);
  std::printf("shutter press handled, clipboard filled, then clear:  %.1f ms\n", shutter);
  std::printf("one loupe feed, painted:                            %.3f ms\n", feed);
  std::printf("full-screen cut turned 90 degrees, painted:         %.1f ms\n", turn);
  std::printf("full-screen cut mirrored, painted:                  %.1f ms\n", mirror);
  std::printf("mosaic over the full-screen cut, painted:           %.1f ms\n", mosaic);
  return 0;
}
