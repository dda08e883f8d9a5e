// The main window's start, size, close and exit rules, the hover frame and the
// in-window prompt, on headless forms.
#include "app/form_pelnoro.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/texts.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "dialogs/form_fld_browse.h"
#include "dialogs/form_property_box.h"
#include "fake_system.h"
#include "system/number_text.h"
#include "system/text_file.h"

namespace pelnoro {
namespace {

using app::Application;
using app::FormPELNORO;

class ShellTest : public ::testing::Test {
 protected:
  testing::FakeSystem sys;
  std::unique_ptr<app::Application> app;
  void start() {
    app = std::make_unique<app::Application>(sys);
    ASSERT_TRUE(app->start());
  }
  FormPELNORO& main() { return app->main(); }
  program::AppState& st() { return app->state(); }
};

TEST_F(ShellTest, SecondCopyIsRefusedWithoutTouchingFiles) {
  sys.otherInstance = true;
  app = std::make_unique<app::Application>(sys);
  EXPECT_FALSE(app->start());
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text, L"このプログラムは既に起動されています。");
  EXPECT_EQ(sys.messages[0].style & 0xF0, sys::kMbIconExclamation);
  EXPECT_TRUE(sys.quitCalled);
  EXPECT_FALSE(main().visible());
  EXPECT_FALSE(sys.file(L"C:\\Program Files\\Pelnoro\\pelnoro.ini"));
}

TEST_F(ShellTest, StartPreparesEveryWindow) {
  sys.screenW = 1280;
  sys.screenH = 1024;
  start();
  EXPECT_TRUE(main().visible());
  EXPECT_TRUE(main().topmost());
  EXPECT_EQ(main().width(), 3450);
  EXPECT_EQ(main().height(), 2610);
  EXPECT_EQ(st().LayeredWindowsOK, program::kTrue);
  EXPECT_EQ(main().Listメインメニュー.items(), (std::vector<std::wstring>{L"＋ツール", L"＋設定"}));
  EXPECT_EQ(main().Listメインメニュー.backColor(), 0x00FFF8F0u);
  EXPECT_EQ(main().Label保存開く.caption(), L"画像開く");
  EXPECT_EQ(main().Labelファイル名.left(), 120);
  EXPECT_EQ(main().Label保存キャンセル.left(), 1170);
  EXPECT_EQ(main().Textファイル名変更.top(), main().Labelファイル名.top());
  EXPECT_EQ(main().FrameON_MSG.left(), 60);
  EXPECT_EQ(main().Shapeシャッターボタン.fillStyle(), 0);

  auto& box = app->propertyBox();
  EXPECT_EQ(box.width(), 5190);
  EXPECT_EQ(box.height(), 4400);
  EXPECT_EQ(box.Frame画像.left(), 120);
  EXPECT_EQ(box.Frame画像.top(), 480);
  EXPECT_EQ(box.Check自動ナンバリング.toolTip(),
            L"ファイル名の後に通し番号を振ります。 連続して保存するとき便利 (^^)v");
  auto& chooser = app->folderChooser();
  EXPECT_EQ(chooser.left(), 1280 * 15 / 2 - chooser.width() / 2);
  EXPECT_EQ(chooser.top(), 1024 * 15 / 2 - chooser.height() / 2);
  auto& loupe = app->loupe();
  EXPECT_EQ(loupe.width(), 1800);
  EXPECT_EQ(loupe.left(), main().left());
  EXPECT_EQ(loupe.top(), -(2610 + main().top()));
  EXPECT_EQ(app->loupeLayer().top(), loupe.top());
  EXPECT_TRUE(app->pic().Picture_CHANGE3.autoRedraw());
}

TEST_F(ShellTest, LayeredWindowsFromVersionFiveOn) {
  sys.osMajor = 4;
  start();
  EXPECT_EQ(st().LayeredWindowsOK, program::kFalse);
  sys.osMajor = 6;
  start();
  EXPECT_EQ(st().LayeredWindowsOK, program::kTrue);
}

TEST_F(ShellTest, SizeIsFixedAndMaximiseSnapsBack) {
  start();
  main().move(main().left(), main().top(), 5000, 4000);
  main().raiseResize();
  EXPECT_EQ(main().width(), 3450);
  EXPECT_EQ(main().height(), 2610);
  main().setWindowState(tk::WindowState::Maximized);
  EXPECT_EQ(main().windowState(), tk::WindowState::Normal);
  EXPECT_EQ(main().width(), 3450);
}

TEST_F(ShellTest, MinimiseRefusedOnlyDuringCapture) {
  start();
  main().setWindowState(tk::WindowState::Minimized);
  EXPECT_EQ(main().windowState(), tk::WindowState::Minimized);
  EXPECT_TRUE(sys.messages.empty());
  main().setWindowState(tk::WindowState::Normal);

  st().CaptureActive = program::kTrue;
  main().setWindowState(tk::WindowState::Minimized);
  EXPECT_EQ(main().windowState(), tk::WindowState::Normal);
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text, L"切り取りが終わるまで最小化できません");
  EXPECT_TRUE(sys.messages[0].style & sys::kMbSetForeground);
  EXPECT_EQ(app->loupe().left(), main().left() + 120);
  EXPECT_EQ(app->loupe().top(), main().top() + 380);
  EXPECT_TRUE(app->loupe().topmost());
  EXPECT_TRUE(app->loupeLayer().topmost());
}

TEST_F(ShellTest, CloseBoxRefusedButSessionEndLeavesWithoutWriting) {
  start();
  EXPECT_FALSE(main().queryUnload(tk::UnloadMode::ControlMenu));
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text, L"×ボタンで閉じる事は出来ません。終了ボタンを押してください。");
  EXPECT_EQ(sys.messages[0].title, L"警告");
  EXPECT_EQ(sys.messages[0].style & 0xF0, sys::kMbIconStop);
  EXPECT_FALSE(app->ended());

  EXPECT_TRUE(main().queryUnload(tk::UnloadMode::AppWindows));
  EXPECT_TRUE(app->ended());
  EXPECT_FALSE(sys.file(L"C:\\Program Files\\Pelnoro\\pelnoro.ini"));
}

TEST_F(ShellTest, ExitWritesBothFilesAndEnds) {
  start();
  main().move(-225, 1234.5, main().width(), main().height());
  main().Label終了.raiseClick();
  EXPECT_TRUE(app->ended());
  const auto ini = sys::readTextLines(sys, L"C:\\Program Files\\Pelnoro\\pelnoro.ini");
  ASSERT_TRUE(ini);
  EXPECT_EQ(ini->at(5), L"現在の位置XY=-225-1234.5");
  EXPECT_TRUE(sys.file(L"C:\\Program Files\\Pelnoro\\save_log.pel"));
}

TEST_F(ShellTest, ExitFailureIsReportedAndStillEnds) {
  start();
  sys.failWrites = true;
  main().Label終了.raiseClick();
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_NE(sys.messages[0].text.find(L"C:\\Program Files\\Pelnoro\\"), std::wstring::npos);
  EXPECT_TRUE(app->ended());
}

TEST_F(ShellTest, ExitInLinkModeOnlyWarns) {
  start();
  st().LinkModeActive = program::kTrue;
  sys.userActions.push_back([&] {
    EXPECT_TRUE(main().FrameON_MSG.visible());
    EXPECT_EQ(main().LabelON_MSG_TITLE.caption(), L" 設定未終了");
    EXPECT_EQ(main().LabelON_MSG_COMMENT.caption(),
              L"リンク設定が閉じてないのでHTMLファイルが不完全です。\n"
              L"戻って設定終了を実行してください。");
    EXPECT_FALSE(main().CommandON_MSG_NO.enabled());
    main().CommandON_MSG_NO.raiseClick();  // greyed: ignored
    main().CommandON_MSG_YES.raiseClick();
  });
  main().Label終了.raiseClick();
  EXPECT_FALSE(app->ended());
  EXPECT_FALSE(main().FrameON_MSG.visible());
  EXPECT_EQ(st().OnMsgAnswer, L"Y");
  EXPECT_FALSE(sys.file(L"C:\\Program Files\\Pelnoro\\pelnoro.ini"));
}

TEST_F(ShellTest, DragStartsOnlyWithTheLeftButtonAndMouseUpHidesThePropertyBox) {
  start();
  app->propertyBox().show();
  app->propertyBox().Frame画像.setVisible(true);
  main().raiseMouseUp({tk::kLeftButton, 0, 10, 10});
  EXPECT_FALSE(app->propertyBox().visible());
  EXPECT_FALSE(app->propertyBox().Frame画像.visible());
  EXPECT_EQ(app->propertyBox().ListPROPERTY_設定.listCount(), 6);
}

// The settings file at start and exit: read into the property box and the window's
// place, written back from them.
const std::wstring kIni = L"C:\\Program Files\\Pelnoro\\pelnoro.ini";
const std::wstring kLog = L"C:\\Program Files\\Pelnoro\\save_log.pel";

std::string sjis(const std::vector<std::wstring>& lines) {
  std::wstring t;
  for (const auto& l : lines) t += l + L"\r\n";
  return sys::toCp932(t);
}

class SettingsTest : public ::testing::Test {
 protected:
  testing::FakeSystem sys;
  std::unique_ptr<Application> app;
  void startWith(const std::vector<std::wstring>& lines) {
    sys.putFile(kIni, sjis(lines));
    app = std::make_unique<Application>(sys);
    ASSERT_TRUE(app->start());
  }
  dialogs::FormPROPERTY_BOX& box() { return app->propertyBox(); }
};

const std::vector<std::wstring> kExample = {
    L"画像形式=PNG",
    L"ファイル名=shot",
    L"自動ナンバリング=しない",
    L"保存先=C:\\tmp\\",
    L"解像度=80",
    L"現在の位置XY=1500-900",
    L"※このファイルを人為的に再編集した場合の動作は保証されません。"};

TEST_F(SettingsTest, ExampleReadsBackAndWritesByteIdenticalShiftJis) {
  sys.putFile(L"C:\\tmp\\a.txt", "x");
  startWith(kExample);
  EXPECT_TRUE(box().OptionPNG.value());
  EXPECT_FALSE(box().OptionBMP.value());
  EXPECT_EQ(box().Text保存ファイル名.text(), L"shot");
  EXPECT_EQ(box().Check自動ナンバリング.value(), 0);
  EXPECT_EQ(box().Label保存先.caption(), L"C:\\tmp\\");
  EXPECT_EQ(box().Label解像度.caption(), L"80");
  EXPECT_EQ(box().VScrollJPEG_解像度.value(), 20);
  EXPECT_EQ(app->main().left(), 1500);
  EXPECT_EQ(app->main().top(), 900);
  // PropertyLines holds the raw lines, the comment included.
  EXPECT_EQ(box().ListPROPERTY_設定.listCount(), 7);

  app->main().Label終了.raiseClick();
  EXPECT_TRUE(sys.messages.empty());
  const auto written = sys.file(kIni);
  ASSERT_TRUE(written);
  EXPECT_EQ(*written, sjis(kExample));
  // The bytes really are Shift_JIS: 画 is 0x89 0xE6.
  EXPECT_EQ(written->substr(0, 2), "\x89\xE6");
}

TEST_F(SettingsTest, MissingFileStartsWithDefaultsAndExitCreatesIt) {
  app = std::make_unique<Application>(sys);
  ASSERT_TRUE(app->start());
  EXPECT_TRUE(box().OptionBMP.value());
  EXPECT_EQ(box().Text保存ファイル名.text(), L"TEST");
  EXPECT_EQ(box().Check自動ナンバリング.value(), 1);
  EXPECT_EQ(box().Label解像度.caption(), L"50");
  app->main().Label終了.raiseClick();
  const auto lines = sys::readTextLines(sys, kIni);
  ASSERT_TRUE(lines);
  EXPECT_EQ(*lines, (std::vector<std::wstring>{
                        L"画像形式=BMP", L"ファイル名=TEST", L"自動ナンバリング=する", L"保存先=",
                        L"解像度=50", L"現在の位置XY=1200-1200",
                        L"※このファイルを人為的に再編集した場合の動作は保証されません。"}));
  EXPECT_TRUE(sys.file(kLog));
}

TEST_F(SettingsTest, PositionKeptOnTheScreenAtEveryEdge) {
  // 1920 x 1080 pixels at 15 twips: 28800 x 16200 twips.
  startWith({L"現在の位置XY=26000-14000"});
  EXPECT_EQ(app->main().left(), 28800 - 3450 - 200);
  EXPECT_EQ(app->main().top(), 16200 - 2610 - 200);
  // Just inside the right and bottom edges stays where it was.
  startWith({L"現在の位置XY=25349-13589"});
  EXPECT_EQ(app->main().left(), 25349);
  EXPECT_EQ(app->main().top(), 13589);
  // Left of the screen (a monitor that is gone), or above it: brought onto it.
  startWith({L"現在の位置XY=-1500-300"});
  EXPECT_EQ(app->main().left(), 0);
  EXPECT_EQ(app->main().top(), 300);
  // -99999 left, 99999 down: the left edge and the bottom rule both apply.
  startWith({L"現在の位置XY=-99999-99999"});
  EXPECT_EQ(app->main().left(), 0);
  EXPECT_EQ(app->main().top(), 16200 - 2610 - 200);
  startWith({L"現在の位置XY=700--40"});
  EXPECT_EQ(app->main().left(), 700);
  EXPECT_EQ(app->main().top(), 0);
}

TEST_F(SettingsTest, AReadOnlySettingsFileIsReportedAndLeftAsItWas) {
  startWith(kExample);
  const auto before = sys.file(kIni);
  sys.setReadOnly(kIni);
  box().OptionJPEG.setValue(true);
  app->main().Label終了.raiseClick();
  EXPECT_EQ(sys.file(kIni), before);
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text.rfind(L"設定ファイルを書き込めませんでした。", 0), 0u);
  EXPECT_TRUE(app->ended());
}

}  // namespace
}  // namespace pelnoro
