// The shutter and the loupe on a real desktop (run under Wine in Xvfb at the
// screen size to measure, e.g. 1920 x 1080).
#include <windows.h>

#include <cstdio>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "bench_clock.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "win32/peer_factory.h"
#include "win32/win32_system.h"

using namespace pelnoro;

int main() {
  win32::Win32System sys;
  app::Application app(sys);
  win32::Win32PeerFactory peers(sys.twipsPerPixelX(), sys.twipsPerPixelY());
  app.realise(peers);
  if (!app.start()) return 1;
  for (int i = 0; i < 10; ++i) sys.doEvents();
  std::printf("screen %d x %d\n", sys.screenWidthPixels(), sys.screenHeightPixels());

  auto& main = app.main();
  auto& pic = app.pic();
  HWND picWindow = static_cast<HWND>(pic.PicturePic_Screen.nativeTag);
  // Shutter press to the frozen picture painted on the screen.
  const double shutter = bench::medianMs(9, [&] {
    main.Imageシャッターボタン.raiseClick();
    RedrawWindow(picWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    GdiFlush();
    main.Labelクリア.raiseClick();
    sys.doEvents();
  });
  main.Imageシャッターボタン.raiseClick();
  sys.doEvents();
  HWND loupeWindow = static_cast<HWND>(app.loupe().PictureLOUPE.nativeTag);
  int x = 0;
  const double feed = bench::medianMs(500, [&] {
    pic.PicturePic_Screen.raiseMouseMove({0, 0, static_cast<double>(100 + (x++ % 1000)), 300});
    UpdateWindow(loupeWindow);
    GdiFlush();
  });
  const double copy = bench::medianMs(9, [&] {
    sys.copyScreenToClipboard(0, 0, sys.screenWidthPixels(), sys.screenHeightPixels());
  });
  const double readBack = bench::medianMs(9, [&] { (void)sys.clipboardBitmap(); });
  const double paint = bench::medianMs(9, [&] {
    RedrawWindow(picWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    GdiFlush();
  });
  std::printf("  screen copy onto the clipboard:                   %.1f ms\n", copy);
  std::printf("  clipboard bitmap read back:                       %.1f ms\n", readBack);
  std::printf("  frozen picture painted:                           %.1f ms\n", paint);
  std::printf("shutter press to frozen picture shown (incl. clear): %.1f ms\n", shutter);
  std::printf("one loupe feed, painted:                            %.3f ms\n", feed);
  return 0;
}
