// The realised main window on a real Windows (or Wine) desktop.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "box_answerer.h"
#include "dialogs/form_property_box.h"
#include "realised_app.h"
#include "system/text_file.h"
#include "win32/win32_peer_factory.h"
#include "win32/win32_system.h"

namespace pelnoro {
namespace {

using MainWindowTest = RealisedAppTest;

TEST_F(MainWindowTest, FixedSizeTopmostCaptionedWindow) {
  HWND h = mainWindow();
  ASSERT_TRUE(IsWindow(h));
  EXPECT_TRUE(IsWindowVisible(h));
  wchar_t title[64];
  GetWindowTextW(h, title, 64);
  EXPECT_STREQ(title, L"Pelnoro");
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.right - r.left, std::lround(3450 / sys.twipsPerPixelX()));
  EXPECT_EQ(r.bottom - r.top, std::lround(2610 / sys.twipsPerPixelY()));
  EXPECT_EQ(r.left, std::lround(1200 / sys.twipsPerPixelX()));
  EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);

  // The menu list is a real list box with the two top rows.
  HWND list = static_cast<HWND>(app->main().Listメインメニュー.nativeTag);
  ASSERT_TRUE(IsWindow(list));
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
  wchar_t row[32];
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row));
  EXPECT_STREQ(row, L"＋ツール");
  SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(row));
  EXPECT_STREQ(row, L"＋設定");
}

TEST_F(MainWindowTest, MaximiseSnapsBackAndMinimiseIsAllowedWhenIdle) {
  HWND h = mainWindow();
  SendMessageW(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  sys.doEvents();
  EXPECT_FALSE(IsZoomed(h));
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.right - r.left, std::lround(3450 / sys.twipsPerPixelX()));
  SendMessageW(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  sys.doEvents();
  EXPECT_TRUE(IsIconic(h));
  EXPECT_EQ(app->main().windowState(), tk::WindowState::Minimized);
}

TEST_F(MainWindowTest, ResizingByTheProgramKeepsTheSize) {
  HWND h = mainWindow();
  SetWindowPos(h, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
  sys.doEvents();
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.right - r.left, std::lround(3450 / sys.twipsPerPixelX()));
  EXPECT_EQ(r.bottom - r.top, std::lround(2610 / sys.twipsPerPixelY()));
}

TEST_F(MainWindowTest, CloseBoxIsRefusedWithAWarning) {
  HWND h = mainWindow();
  std::wstring text, title;
  {
    BoxAnswerer answerer;
    SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
    text = answerer.lastText();
    title = answerer.lastTitle();
  }
  EXPECT_EQ(text, L"×ボタンで閉じる事は出来ません。終了ボタンを押してください。");
  EXPECT_EQ(title, L"警告");
  EXPECT_TRUE(IsWindow(h));
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_FALSE(app->ended());
}

TEST_F(MainWindowTest, MinimiseDuringACaptureIsRefused) {
  HWND h = mainWindow();
  app->state().CaptureActive = program::kTrue;
  std::wstring text;
  {
    BoxAnswerer answerer;
    SendMessageW(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    sys.doEvents();
    text = answerer.lastText();
  }
  EXPECT_EQ(text, L"切り取りが終わるまで最小化できません");
  EXPECT_FALSE(IsIconic(h));
  app->state().CaptureActive = program::kFalse;
}

// A press on the window's background drags the window while the button is held. One
// that reaches the program after the button is already up must not start the drag: the
// move loop would hold the mouse until some later release.
TEST_F(MainWindowTest, APressHandledAfterItsReleaseStartsNoMoveLoop) {
  HWND h = mainWindow();
  RECT before{};
  GetWindowRect(h, &before);
  ASSERT_GE(GetKeyState(VK_LBUTTON), 0) << "the test needs the button up";
  // Ends a move loop, should one start, so that the test reports instead of hanging.
  const DWORD thread = GetCurrentThreadId();
  HANDLE rescue = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD {
        Sleep(3000);
        PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(p)), WM_KEYDOWN, VK_ESCAPE,
                           0);
        return 0;
      },
      reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(thread)), 0, nullptr);
  const ULONGLONG start = GetTickCount64();
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  const ULONGLONG took = GetTickCount64() - start;
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(thread, &gui);
  EXPECT_LT(took, 1000u) << "a move loop ran until the rescue ended it";
  EXPECT_EQ(gui.flags & GUI_INMOVESIZE, 0u);
  EXPECT_EQ(GetCapture(), nullptr);
  RECT after{};
  GetWindowRect(h, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  TerminateThread(rescue, 0);
  CloseHandle(rescue);
}

// A tool tip shown over the window lets a press through to what lies under it.
TEST_F(MainWindowTest, APressOnAToolTipReachesTheWindowUnderIt) {
  HWND h = mainWindow();
  HWND tip = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM out) {
        wchar_t cls[64] = {};
        GetClassNameW(w, cls, 64);
        if (lstrcmpiW(cls, TOOLTIPS_CLASSW) != 0) return TRUE;
        if (GetWindow(w, GW_OWNER) != *reinterpret_cast<HWND*>(out)) return TRUE;
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&(tip = h)));
  ASSERT_NE(tip, h) << "no tool tip window owned by the main window";
  // The first tool drawn by the window itself: the pointer rests on it until its tip shows.
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  for (UINT i = 0; SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&ti)); ++i) {
    if (!(ti.uFlags & TTF_IDISHWND)) break;
  }
  ASSERT_FALSE(ti.uFlags & TTF_IDISHWND) << "no windowless control with a tip";
  POINT over{(ti.rect.left + ti.rect.right) / 2, (ti.rect.top + ti.rect.bottom) / 2};
  ClientToScreen(ti.hwnd, &over);
  SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
  SetCursorPos(over.x, over.y);
  for (int i = 0; i < 50 && !IsWindowVisible(tip); ++i) {
    sys.doEvents();
    Sleep(10);
  }
  ASSERT_TRUE(IsWindowVisible(tip));
  RECT r{};
  GetWindowRect(tip, &r);
  const POINT onTip{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  EXPECT_NE(WindowFromPoint(onTip), tip);
  SendMessageW(tip, TTM_POP, 0, 0);
}

TEST_F(MainWindowTest, WindowlessLabelTakesThePressAndClicksOnlyWhenReleasedOverIt) {
  auto& label = app->main().Labelクリア;
  ASSERT_TRUE(label.shownOnForm() && label.enabled());
  int clicks = 0, doubles = 0;
  std::vector<tk::MouseEvent> downs, ups;
  label.onClick = [&] { ++clicks; };
  label.onDblClick = [&] { ++doubles; };
  label.onMouseDown = [&](const tk::MouseEvent& e) { downs.push_back(e); };
  label.onMouseUp = [&](const tk::MouseEvent& e) { ups.push_back(e); };
  const double tx = sys.twipsPerPixelX(), ty = sys.twipsPerPixelY();
  const int left = static_cast<int>(std::lround(label.left() / tx));
  const int top = static_cast<int>(std::lround(label.top() / ty));
  const int x = left + 10, y = top + 5;
  HWND h = mainWindow();
  auto send = [&](UINT msg, WPARAM wp, int px, int py) {
    SendMessageW(h, msg, wp, MAKELPARAM(px, py));
  };

  // In the label's own twips, from its corner.
  send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  send(WM_LBUTTONUP, 0, x + 3, y);
  EXPECT_EQ(clicks, 1);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].button, tk::kLeftButton);
  EXPECT_DOUBLE_EQ(downs[0].x, 10 * tx);
  EXPECT_DOUBLE_EQ(downs[0].y, 5 * ty);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_DOUBLE_EQ(ups[0].x, 13 * tx);

  // Released away from it: the label still hears the release, but no Click.
  send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  send(WM_LBUTTONUP, 0, 2, 2);
  EXPECT_EQ(clicks, 1);
  ASSERT_EQ(ups.size(), 2u);
  EXPECT_DOUBLE_EQ(ups[1].x, (2 - left) * tx);

  // The second press of a double click is a DblClick, and its release no Click.
  send(WM_LBUTTONDBLCLK, MK_LBUTTON, x, y);
  send(WM_LBUTTONUP, 0, x, y);
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(clicks, 1);

  // Another window took the mouse during the press: the release is not the label's.
  send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
  SendMessageW(h, WM_CAPTURECHANGED, 0, 0);
  send(WM_LBUTTONUP, 0, x, y);
  EXPECT_EQ(ups.size(), 3u);
  EXPECT_EQ(clicks, 1);
  ReleaseCapture();
}

TEST(Cp932Files, RoundTripOnTheRealFileSystem) {
  win32::Win32System sys;
  const std::wstring path = sys.exeFolder() + L"cp932_test.txt";
  const std::vector<std::wstring> lines = {L"画像形式=PNG", L"保存先=C:\\ファイル名\\", L""};
  ASSERT_TRUE(sys::writeTextLines(sys, path, lines));
  const auto bytes = sys.readFile(path);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->substr(0, 2), "\x89\xE6");
  EXPECT_EQ(bytes->substr(bytes->size() - 4), "\r\n\r\n");
  const auto back = sys::readTextLines(sys, path);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->at(0), lines[0]);
  EXPECT_EQ(back->at(1), lines[1]);
  DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace pelnoro
