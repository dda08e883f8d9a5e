// The realised main window on a real Windows (or Wine) desktop.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "box_answerer.h"
#include "dialogs/form_property_box.h"
#include "system/text_file.h"
#include "win32/peer_factory.h"
#include "win32/win32_system.h"

namespace pelnoro {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteFileW((sys.exeFolder() + L"pelnoro.ini").c_str());
    DeleteFileW((sys.exeFolder() + L"save_log.pel").c_str());
    app = std::make_unique<app::Application>(sys);
    peers = std::make_unique<win32::Win32PeerFactory>(sys.twipsPerPixelX(), sys.twipsPerPixelY());
    app->realise(*peers);
    ASSERT_TRUE(app->start());
    sys.doEvents();
  }
  HWND mainWindow() { return static_cast<HWND>(app->main().nativeTag); }

  win32::Win32System sys;
  std::unique_ptr<app::Application> app;
  std::unique_ptr<win32::Win32PeerFactory> peers;
};

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
