#include <gtest/gtest.h>

#include "app_fixture.h"

namespace pelnoro {
namespace {

class MenuTest : public testing::AppTest {
 protected:
  void SetUp() override { start(); }
  std::vector<std::wstring> rows() { return main().Listメインメニュー.items(); }
  void click(const std::wstring& row) {
    const auto& items = main().Listメインメニュー.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i] == row) {
        main().Listメインメニュー.clickRow(static_cast<int>(i));
        return;
      }
    }
    FAIL() << "no row";
  }
};

TEST_F(MenuTest, OpenToolsThenRotation) {
  click(L"＋ツール");
  click(L" ＋回転");
  EXPECT_EQ(rows(), (std::vector<std::wstring>{L"－ツール", L" －回転", L"  　90°", L"  　180°",
                                               L"  　270°", L"  　左右", L"  　上下", L" ＋リンク",
                                               L" ＋モザイク", L" ＋アンドゥー", L" ＋元画像変更",
                                               L"＋設定"}));
  // Closing removes every deeper row; reopening shows the children closed.
  click(L"－ツール");
  EXPECT_EQ(rows(), (std::vector<std::wstring>{L"＋ツール", L"＋設定"}));
  click(L"＋ツール");
  EXPECT_EQ(rows(),
            (std::vector<std::wstring>{L"－ツール", L" ＋回転", L" ＋リンク", L" ＋モザイク",
                                       L" ＋アンドゥー", L" ＋元画像変更", L"＋設定"}));
}

TEST_F(MenuTest, SettingsKeepsItsChildrenWhenToolsOpensAbove) {
  click(L"＋設定");
  EXPECT_EQ(rows(), (std::vector<std::wstring>{L"＋ツール", L"－設定", L" 　動作", L" 　画像",
                                               L" 　クリッカブルマップ", L" 　プロパティリスト"}));
  click(L"＋ツール");
  EXPECT_EQ(rows(), (std::vector<std::wstring>{L"－ツール", L" ＋回転", L" ＋リンク",
                                               L" ＋モザイク", L" ＋アンドゥー", L" ＋元画像変更",
                                               L"－設定", L" 　動作", L" 　画像",
                                               L" 　クリッカブルマップ", L" 　プロパティリスト"}));
  click(L" ＋アンドゥー");
  click(L" 　画像");
  EXPECT_TRUE(app->propertyBox().visible());
  EXPECT_TRUE(box().Frame画像.visible());
  click(L" 　動作");
  EXPECT_TRUE(box().Frame動作.visible());
  EXPECT_FALSE(box().Frame画像.visible());
  // Closing 設定 hides the box.
  click(L"－設定");
  EXPECT_FALSE(app->propertyBox().visible());
  EXPECT_EQ(rows().back(), L"＋設定");
}

TEST_F(MenuTest, LinkModeGuardsTheTurnsButNotTheMosaic) {
  st().LinkModeActive = program::kTrue;
  click(L"＋ツール");
  click(L" ＋回転");
  sys.userActions.push_back([&] {
    EXPECT_EQ(main().LabelON_MSG_TITLE.caption(), L" 設定未終了");
    main().CommandON_MSG_YES.raiseClick();
  });
  click(L"  　90°");
  EXPECT_TRUE(sys.userActions.empty());
  EXPECT_EQ(main().OperationCode, L"");
  click(L" ＋モザイク");
  click(L"  　モザイクを掛ける");  // no prompt: the fake would throw if it waited
  st().LinkModeActive = program::kFalse;
  click(L"  　270°");
  EXPECT_EQ(main().OperationCode, L"R270");
}

TEST_F(MenuTest, PropertyBoxOpensAboveTheMainWindowNearTheScreenBottom) {
  // Screen 1080 px = 16200 twips; the box is 4400 twips high.
  main().move(3000, 12000, main().width(), main().height());
  click(L"＋設定");
  click(L" 　動作");
  EXPECT_EQ(box().top(), 12000 - 4400);
  EXPECT_EQ(box().left() + box().width(), 3000 + 3450);
  // Near the left edge the box stays on the screen.
  main().move(1000, 1000, main().width(), main().height());
  click(L" 　画像");
  EXPECT_EQ(box().top(), 1000 + 2610);
  EXPECT_EQ(box().left(), 0);
}

TEST_F(MenuTest, FindMenuEntryMatchesTheCaptionAtTheEnd) {
  EXPECT_EQ(main().FindMenuEntry(L"  　元画像の差し替え"), 16);
  EXPECT_EQ(main().SelectedMenuEntry, L"2t元画像の差し替え");
  EXPECT_EQ(main().FindMenuEntry(L"－設定"), 17);
  EXPECT_EQ(main().FindMenuEntry(L" 　設定終了"), 9);
}

}  // namespace
}  // namespace pelnoro
