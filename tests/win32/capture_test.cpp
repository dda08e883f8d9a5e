// The shutter and the clipboard delivery on a real desktop.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "box_answerer.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "dialogs/form_property_box.h"
#include "realised_app.h"
#include "win32/win32_peer_factory.h"
#include "win32/win32_system.h"

namespace pelnoro {
namespace {

// A plain window of one colour, for the screen copy to find.
HWND colourWindow(int x, int y, COLORREF colour) {
  static COLORREF c;
  c = colour;
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_ERASEBKGND) {
      RECT r;
      GetClientRect(h, &r);
      HBRUSH b = CreateSolidBrush(c);
      FillRect(reinterpret_cast<HDC>(w), &r, b);
      DeleteObject(b);
      return 1;
    }
    return DefWindowProcW(h, m, w, l);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelnoroTestColour";
  RegisterClassW(&wc);
  HWND h = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"PelnoroTestColour", L"", WS_POPUP, x,
                           y, 60, 40, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(h, SW_SHOWNA);
  UpdateWindow(h);
  return h;
}

class CaptureTest : public RealisedAppTest {
 protected:
  void SetUp() override {
    RealisedAppTest::SetUp();
    for (int i = 0; i < 4; ++i) sys.doEvents();
  }
  void pump() {
    for (int i = 0; i < 10; ++i) {
      sys.doEvents();
      Sleep(20);
    }
  }
};

TEST_F(CaptureTest, ShutterFreezesThePrimaryScreen) {
  HWND marker = colourWindow(700, 500, RGB(10, 200, 30));
  pump();
  app->main().Imageシャッターボタン.raiseClick();
  pump();
  const auto& frozen = app->pic().PicturePic_Screen.surface();
  EXPECT_EQ(frozen.width(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(frozen.height(), GetSystemMetrics(SM_CYSCREEN));
  // Colour references: red in the low byte.
  // The 60 x 40 marker at (700, 500), exactly: its corners in, the pixels beside them out.
  constexpr std::uint32_t kMarker = 0x001EC80A;
  EXPECT_EQ(frozen.pixel(720, 520), kMarker);
  EXPECT_EQ(frozen.pixel(700, 500), kMarker);
  EXPECT_EQ(frozen.pixel(759, 539), kMarker);
  EXPECT_NE(frozen.pixel(699, 500), kMarker);
  EXPECT_NE(frozen.pixel(700, 499), kMarker);
  EXPECT_NE(frozen.pixel(760, 539), kMarker);
  EXPECT_NE(frozen.pixel(759, 540), kMarker);
  const auto clip = sys.clipboardBitmap();
  ASSERT_TRUE(clip);
  EXPECT_EQ(clip->width(), frozen.width());
  EXPECT_EQ(clip->height(), frozen.height());
  HWND picWindow = static_cast<HWND>(app->pic().nativeTag);
  EXPECT_TRUE(IsWindowVisible(picWindow));
  RECT r;
  GetWindowRect(picWindow, &r);
  EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
  // The main window stands above the frozen picture.
  HWND main = static_cast<HWND>(app->main().nativeTag);
  EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowVisible(static_cast<HWND>(app->loupe().nativeTag)));
  DestroyWindow(marker);
}

TEST_F(CaptureTest, ClipboardDeliveryIsReadableByAnotherProgram) {
  app->propertyBox().Optionクリップボード.setValue(true);
  app->main().Imageシャッターボタン.raiseClick();
  pump();
  auto& m = app->main();
  m.Label始点X.setCaption(L"100");
  m.Label始点Y.setCaption(L"50");
  m.Label終点X.setCaption(L"300");
  m.Label終点Y.setCaption(L"200");
  std::wstring said;
  {
    BoxAnswerer answerer;
    m.Image切り取りボタン.raiseClick();
    said = answerer.lastText();
  }
  EXPECT_EQ(said, L"クリップボードにコピーをしました。");

  // Another process reads the bitmap the system offers in CF_DIB.
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readPipe, writePipe;
  ASSERT_TRUE(CreatePipe(&readPipe, &writePipe, &sa, 0));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writePipe;
  si.hStdError = writePipe;
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + sys.exeFolder() + L"clipboard_reader.exe\"";
  ASSERT_TRUE(
      CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi));
  CloseHandle(writePipe);
  WaitForSingleObject(pi.hProcess, 20000);
  char buf[128] = {};
  DWORD got = 0;
  ReadFile(readPipe, buf, sizeof buf - 1, &got, nullptr);
  CloseHandle(readPipe);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  EXPECT_EQ(std::string(buf).substr(0, 8), "200 150 ");
}

}  // namespace
}  // namespace pelnoro
