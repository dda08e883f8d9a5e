// A clip from the keyboard: the shutter's key, the pointer and the selection moved by
// the arrows, and the keys that run the buttons' and the menu's commands.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "capture/form_loupe.h"
#include "system/text_file.h"

namespace pelnoro {
namespace {

constexpr int kCtrl = tk::kCtrlKey;

class KeysTest : public testing::AppTest {
 protected:
  void SetUp() override {
    patternScreen(320, 200);
    sys.putFile(L"C:\\clips\\keep.txt", "x");
    sys.putFile(
        L"C:\\Program Files\\Pelnoro\\pelnoro.ini",
        sys::toCp932(L"保存先=C:\\clips\\\r\nファイル名=clip\r\n自動ナンバリング=しない\r\n"));
    start();
  }
  // Keys go to the window that has the focus: the frozen screen's during a capture.
  bool key(int code, int shift = 0, bool repeat = false) {
    tk::Form& to = st().CaptureActive ? static_cast<tk::Form&>(pic()) : main();
    return to.raiseKeyDown({code, shift, repeat});
  }
  void press(int code, int times, int shift = 0) {
    for (int i = 0; i < times; ++i) key(code, shift);
  }
  void shutterKey() {
    ASSERT_EQ(sys.hotKeys.count(tk::kKeyPrintScreen), 1u);
    sys.hotKeys[tk::kKeyPrintScreen]();
  }
  std::vector<std::wstring> record() {
    return {main().Label始点X.caption(), main().Label始点Y.caption(), main().Label終点X.caption(),
            main().Label終点Y.caption()};
  }
  // A 60 x 40 cut from (20, 10), waiting in the cut window.
  void cutWaits() {
    shutterKey();
    sys.cursor = {20, 10};
    key(tk::kKeySpace);
    press(tk::kKeyRight, 6, tk::kShiftKey);
    press(tk::kKeyDown, 4, tk::kShiftKey);
    key(tk::kKeyReturn);
    ASSERT_TRUE(pic().HasEditImage());
  }
};

TEST_F(KeysTest, AClipWithoutTheMouseCutsAndSavesTheRectangleChosen) {
  EXPECT_EQ(main().Imageシャッターボタン.toolTip(), L"シャッター (Print Screen)");
  sys.cursor = {50, 40};
  shutterKey();
  ASSERT_TRUE(pic().PicturePic_Screen.visible());
  press(tk::kKeyRight, 3);
  press(tk::kKeyDown, 2, tk::kShiftKey);
  // The pointer moved, and the loupe and the pointer labels followed as for the mouse.
  EXPECT_EQ(sys.cursor, (sys::ScreenPoint{53, 60}));
  EXPECT_EQ(main().LabelポインタX.caption(), L"53");
  EXPECT_EQ(main().LabelポインタY.caption(), L"60");
  EXPECT_EQ(app->loupe().PictureLOUPE.surface().pixel(60, 60), 53u + 4096 * 60);
  EXPECT_TRUE(pic().PicturePic_Screen.focusRects().empty());

  key(tk::kKeySpace);
  EXPECT_TRUE(st().SelectDragging);
  press(tk::kKeyRight, 5, tk::kShiftKey);
  press(tk::kKeyLeft, 1);
  press(tk::kKeyDown, 7);
  // One band, from the first Space to the pointer.
  ASSERT_EQ(pic().PicturePic_Screen.focusRects().size(), 1u);
  EXPECT_EQ(pic().PicturePic_Screen.focusRects()[0], (tk::Rect{53, 60, 102, 67}));
  key(tk::kKeySpace);
  EXPECT_FALSE(st().SelectDragging);
  EXPECT_EQ(record(), (std::vector<std::wstring>{L"53", L"60", L"102", L"67"}));

  EXPECT_TRUE(key(tk::kKeyReturn));
  EXPECT_FALSE(st().CaptureActive);
  const auto& cut = pic().Picture_CHANGE1.surface();
  ASSERT_EQ(cut.width(), 49);
  ASSERT_EQ(cut.height(), 7);
  EXPECT_EQ(cut.pixel(0, 0), 53u + 4096 * 60);
  EXPECT_EQ(cut.pixel(48, 6), 101u + 4096 * 66);

  key('S', kCtrl);
  EXPECT_TRUE(main().Label保存実行.visible());
  key(tk::kKeyReturn);
  EXPECT_TRUE(sys.file(L"C:\\clips\\clip.BMP").has_value());
  EXPECT_FALSE(pic().visible());
}

TEST_F(KeysTest, ArrowsMoveTheEndOfAMouseDragAndStopAtTheScreensEdge) {
  shutterKey();
  auto& screen = pic().PicturePic_Screen;
  sys.cursor = {300, 190};
  screen.raiseMouseDown({tk::kLeftButton, 0, 300, 190});
  press(tk::kKeyRight, 3, tk::kShiftKey);
  press(tk::kKeyDown, 2, tk::kShiftKey);
  EXPECT_EQ(sys.cursor, (sys::ScreenPoint{319, 199}));
  EXPECT_EQ(screen.focusRects().back(), (tk::Rect{300, 190, 319, 199}));
  // The release comes where the keys left the pointer.
  screen.raiseMouseUp({tk::kLeftButton, 0, 319, 199});
  EXPECT_EQ(record(), (std::vector<std::wstring>{L"300", L"190", L"319", L"199"}));
  press(tk::kKeyLeft, 4, tk::kShiftKey);
  EXPECT_EQ(sys.cursor, (sys::ScreenPoint{279, 199}));
  // Moves without a selection under way leave the band as the release left it.
  ASSERT_EQ(screen.focusRects().size(), 1u);
  EXPECT_EQ(screen.focusRects()[0], (tk::Rect{300, 190, 319, 199}));
}

TEST_F(KeysTest, APlaceTheKeysLeftReportedLateIsNotTheMouses) {
  shutterKey();
  sys.cursor = {100, 100};
  press(tk::kKeyRight, 3);
  // The system still reports an earlier place, even the one the keys started from: the
  // next step goes on from the last.
  for (const int late : {101, 100}) {
    sys.cursor = {late, 100};
    key(tk::kKeyRight);
  }
  EXPECT_EQ(sys.cursor, (sys::ScreenPoint{105, 100}));
  sys.cursor = {102, 100};
  key(tk::kKeySpace);
  EXPECT_EQ(main().Label始点X.caption(), L"105");
  // The mouse went elsewhere: the keys start from there.
  sys.cursor = {10, 20};
  key(tk::kKeyDown);
  EXPECT_EQ(sys.cursor, (sys::ScreenPoint{10, 21}));
}

TEST_F(KeysTest, EnterEndsASelectionUnderWayAndAHeldKeyRunsOnce) {
  shutterKey();
  sys.cursor = {10, 10};
  key(tk::kKeySpace);
  key(tk::kKeySpace, 0, true);  // held: the selection goes on
  EXPECT_TRUE(st().SelectDragging);
  press(tk::kKeyRight, 2, tk::kShiftKey);
  press(tk::kKeyDown, 1, tk::kShiftKey);
  key(tk::kKeyReturn);
  EXPECT_EQ(pic().Picture_CHANGE1.surface().width(), 20);
  EXPECT_EQ(pic().Picture_CHANGE1.surface().height(), 10);
  EXPECT_TRUE(key(tk::kKeyEscape, 0, true));
  EXPECT_TRUE(pic().HasEditImage());
  key(tk::kKeyEscape);
  EXPECT_FALSE(pic().visible());
}

TEST_F(KeysTest, EscapeFromTheFrozenScreenReturnsToIdle) {
  shutterKey();
  sys.cursor = {30, 30};
  key(tk::kKeySpace);
  key(tk::kKeyEscape);
  EXPECT_FALSE(st().CaptureActive);
  EXPECT_FALSE(st().SelectDragging);
  EXPECT_FALSE(pic().visible());
  EXPECT_TRUE(main().Imageシャッターボタン.enabled());
  // Idle: the keys are the controls' again, the shutter's key works.
  EXPECT_FALSE(key(tk::kKeyEscape));
  EXPECT_FALSE(key(tk::kKeyLeft));
  shutterKey();
  EXPECT_TRUE(st().CaptureActive);
}

TEST_F(KeysTest, TheShutterKeyRunsTheShutterWithItsGuards) {
  int copies = 0;
  sys.onCaptureScreen = [&] { ++copies; };
  shutterKey();
  shutterKey();  // the shutter is disabled during a capture
  EXPECT_EQ(copies, 1);
}

TEST_F(KeysTest, ATakenShutterKeyIsSaidOnceInTheStatusLine) {
  testing::FakeSystem other;
  other.hotKeysTaken.insert(tk::kKeyPrintScreen);
  app::Application second(other);
  ASSERT_TRUE(second.start());
  EXPECT_EQ(second.main().Labelステータス.caption(),
            L"Print Screen キーは他のプログラムが使用中です。シャッターボタンを押してください。");
  EXPECT_EQ(second.main().Imageシャッターボタン.toolTip(), L"シャッター");
  EXPECT_TRUE(other.hotKeys.empty());
  // Nothing of it goes to the settings file.
  second.main().Label終了.raiseClick();
  EXPECT_EQ(sys::fromCp932(*other.file(L"C:\\Program Files\\Pelnoro\\pelnoro.ini")).find(L"Print"),
            std::wstring::npos);
}

TEST_F(KeysTest, CopyPutsTheImageAsShownOnTheClipboardAndKeepsIt) {
  cutWaits();
  key('R', kCtrl);  // turned: 40 x 60 as shown
  key('C', kCtrl);
  ASSERT_TRUE(sys.clipboard.has_value());
  EXPECT_EQ(sys.clipboard->width(), 40);
  EXPECT_EQ(sys.clipboard->pixels(), pic().Picture_CHANGE1.surface().pixels());
  EXPECT_TRUE(pic().HasEditImage());
  EXPECT_EQ(main().Labelステータス.caption(), L"画像をクリップボードにコピーしました。");

  sys.clipboardFails = true;
  key('C', kCtrl);
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].title, L"ｴﾗｰ");
  EXPECT_NE(sys.messages[0].text.find(L"521"), std::wstring::npos);
  EXPECT_TRUE(pic().HasEditImage());
}

TEST_F(KeysTest, TurnsAndUndoRunTheMenusCommands) {
  cutWaits();
  const auto original = pic().Picture_CHANGE1.surface().pixels();
  struct Step {
    int key;
    int width, height;
    std::uint32_t topLeft;
  };
  // The cut is 60 x 40 from (20, 10): turned right its top-left is its bottom-left.
  const Step steps[] = {{'R', 40, 60, 20u + 4096 * 49},
                        {'Z', 60, 40, 20u + 4096 * 10},
                        {'L', 40, 60, 79u + 4096 * 10}};
  for (const Step& s : steps) {
    key(s.key, kCtrl);
    const auto& shown = pic().Picture_CHANGE1.surface();
    EXPECT_EQ(shown.width(), s.width) << static_cast<char>(s.key);
    EXPECT_EQ(shown.height(), s.height) << static_cast<char>(s.key);
    EXPECT_EQ(shown.pixel(0, 0), s.topLeft) << static_cast<char>(s.key);
  }
  key('Z', kCtrl);
  EXPECT_EQ(pic().Picture_CHANGE1.surface().pixels(), original);
}

TEST_F(KeysTest, InLinkModeEveryRefusedCommandsKeyGetsTheRefusal) {
  cutWaits();
  st().LinkModeActive = program::kTrue;
  struct Case {
    int key, shift;
    bool refused;
  };
  const Case cases[] = {{tk::kKeyEscape, 0, true}, {'R', kCtrl, true},  {'L', kCtrl, true},
                        {'C', kCtrl, false},       {'S', kCtrl, false}, {tk::kKeyReturn, 0, true}};
  for (const Case& c : cases) {
    bool asked = false;
    if (c.refused) {
      sys.userActions.push_back([&] {
        asked = main().LabelON_MSG_TITLE.caption() == L" 設定未終了";
        main().CommandON_MSG_YES.raiseClick();
      });
    }
    EXPECT_TRUE(key(c.key, c.shift));
    EXPECT_EQ(asked, c.refused) << c.key;
    EXPECT_TRUE(sys.userActions.empty());
    EXPECT_TRUE(pic().HasEditImage());
  }
  EXPECT_EQ(pic().Picture_CHANGE1.surface().width(), 60);
}

TEST_F(KeysTest, KeysWaitWhileAQuestionIsOpenAndTheSavePanelHasItsOwn) {
  cutWaits();
  key('S', kCtrl);
  ASSERT_TRUE(main().Label保存実行.visible());
  // The menu is under the panel: its keys do nothing here.
  EXPECT_FALSE(key('R', kCtrl));
  key(tk::kKeyEscape);
  EXPECT_FALSE(main().Label保存実行.visible());
  EXPECT_TRUE(pic().HasEditImage());

  st().LinkModeActive = program::kTrue;
  sys.userActions.push_back([&] {
    EXPECT_FALSE(key(tk::kKeyEscape));
    EXPECT_FALSE(key('R', kCtrl));
    main().CommandON_MSG_YES.raiseClick();
  });
  key(tk::kKeyEscape);
  EXPECT_TRUE(sys.userActions.empty());
  EXPECT_EQ(main().Label保存実行.toolTip(), L"保存実行 (Enter)");
  EXPECT_EQ(main().Image切り取りボタン.toolTip(), L"切り取り (Enter)");
  EXPECT_EQ(main().Label保存開く.toolTip(), L"保存 (Ctrl+S)");
}

}  // namespace
}  // namespace pelnoro
