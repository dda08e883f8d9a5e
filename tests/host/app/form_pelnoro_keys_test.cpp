// A clip from the keyboard, and the keys' guards: each runs its button's or entry's
// handler, with that handler's refusals.
#include <gtest/gtest.h>

#include "app_fixture.h"

namespace pelnoro {
namespace {

constexpr int kCtrl = tk::kCtrlKey, kShift = tk::kShiftKey;
using Point = sys::ScreenPoint;

class KeysTest : public testing::CaptureTest {
 protected:
  // To the window with the focus: the frozen screen's during a capture.
  bool key(int code, int shift = 0, int times = 1, bool repeat = false) {
    tk::Form& to = st().CaptureActive ? static_cast<tk::Form&>(pic()) : main();
    bool taken = false;
    for (int i = 0; i < times; ++i) taken = to.raiseKeyDown({code, shift, repeat});
    return taken;
  }
  void shutterKey() { sys.hotKeys.at(tk::kKeyPrintScreen)(); }
};

TEST_F(KeysTest, AClipWithoutTheMouseIsTheRectangleChosen) {
  EXPECT_EQ(main().Imageシャッターボタン.toolTip(), L"シャッター (Print Screen)");
  EXPECT_EQ(main().Image切り取りボタン.toolTip(), L"切り取り (Enter)");
  sys.cursor = {50, 40};
  shutterKey();
  key(tk::kKeyRight, 0, 3);
  key(tk::kKeyDown, kShift, 2);
  // The loupe follows as for a mouse move.
  EXPECT_EQ(app->loupe().PictureLOUPE.surface().pixel(60, 60), 53u + 4096 * 60);
  key(tk::kKeySpace);
  key(tk::kKeySpace, 0, 1, true);  // held, it does not end the selection
  key(tk::kKeyRight, kShift, 5);
  key(tk::kKeyLeft);
  key(tk::kKeyDown, 0, 7);
  ASSERT_EQ(pic().PicturePic_Screen.focusRects().size(), 1u);
  EXPECT_EQ(pic().PicturePic_Screen.focusRects()[0], (tk::Rect{53, 60, 102, 67}));
  key(tk::kKeySpace);
  EXPECT_EQ(screenRecord(), (std::vector<std::wstring>{L"53", L"60", L"102", L"67"}));
  key(tk::kKeyReturn);
  const auto& cut = pic().Picture_CHANGE1.surface();
  ASSERT_EQ(std::pair(cut.width(), cut.height()), std::pair(49, 7));
  EXPECT_EQ(cut.pixel(48, 6), 101u + 4096 * 66);
  key('C', kCtrl);
  ASSERT_TRUE(sys.clipboard.has_value());
  EXPECT_EQ(sys.clipboard->pixels(), cut.pixels());
  key('S', kCtrl);
  EXPECT_TRUE(main().Label保存実行.visible());
}

TEST_F(KeysTest, ArrowsMoveAMouseDragsEndAndALatePlaceIsNotTheMouses) {
  shutterKey();
  sys.cursor = {300, 190};
  pic().PicturePic_Screen.raiseMouseDown({tk::kLeftButton, 0, 300, 190});
  key(tk::kKeyRight, kShift, 3);
  key(tk::kKeyDown, kShift, 2);
  EXPECT_EQ(pic().PicturePic_Screen.focusRects().back(), (tk::Rect{300, 190, 319, 199}));
  // The system still reports earlier places, even the start: steps go on from the last.
  for (const Point late : {Point{310, 190}, Point{300, 190}}) {
    sys.cursor = late;
    key(tk::kKeyLeft);
  }
  EXPECT_EQ(sys.cursor, (Point{317, 199}));
  sys.cursor = {10, 20};  // the mouse moved
  key(tk::kKeyUp);
  // Enter ends a selection under way at the pointer, then cuts.
  key(tk::kKeyReturn);
  EXPECT_EQ(screenRecord(), (std::vector<std::wstring>{L"10", L"19", L"300", L"190"}));
}

TEST_F(KeysTest, KeysRunTheCommandsWithTheirRefusals) {
  shutterKey();
  pic().PicturePic_Screen.raiseMouseDown({tk::kLeftButton, 0, 20, 10});
  sys.cursor = {80, 50};
  key(tk::kKeyReturn);
  const struct {
    int key, shift;
    bool linkMode, refused;
    int width;  // of the image as shown afterwards
  } cases[] = {{'R', kCtrl, false, false, 40},      {'Z', kCtrl, false, false, 60},
               {'L', kCtrl, true, true, 60},        {tk::kKeyEscape, 0, true, true, 60},
               {'S', kCtrl, true, false, 60},       {tk::kKeyReturn, 0, true, true, 60},
               {tk::kKeyEscape, 0, true, false, 60}};  // cancels the save panel
  for (const auto& c : cases) {
    st().LinkModeActive = c.linkMode ? program::kTrue : program::kFalse;
    bool asked = false;
    sys.userActions.push_back([&] {
      asked = main().LabelON_MSG_TITLE.caption() == L" 設定未終了";
      EXPECT_FALSE(key(tk::kKeyEscape));  // a waiting question keeps the keys out
      main().CommandON_MSG_YES.raiseClick();
    });
    EXPECT_TRUE(key(c.key, c.shift));
    EXPECT_EQ(asked, c.refused) << c.key;
    sys.userActions.clear();
    EXPECT_EQ(pic().Picture_CHANGE1.surface().width(), c.width) << c.key;
  }
  EXPECT_TRUE(pic().HasEditImage());
  sys.clipboardFails = true;
  key('C', kCtrl);
  EXPECT_EQ(sys.messages.back().title, L"ｴﾗｰ");
  EXPECT_TRUE(pic().HasEditImage());

  testing::FakeSystem other;  // where another program holds the shutter's key
  other.hotKeysTaken.insert(tk::kKeyPrintScreen);
  app::Application second(other);
  ASSERT_TRUE(second.start());
  EXPECT_EQ(second.main().Labelステータス.caption(),
            L"Print Screen キーは他のプログラムが使用中です。シャッターボタンを押してください。");
  EXPECT_EQ(second.main().Imageシャッターボタン.toolTip(), L"シャッター");
}

}  // namespace
}  // namespace pelnoro
