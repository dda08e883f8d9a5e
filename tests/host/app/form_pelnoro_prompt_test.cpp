// The hover frame around the main window's button labels, and the in-window prompt.
#include <gtest/gtest.h>

#include "app_fixture.h"

namespace pelnoro {
namespace {

using app::FormPELNORO;

using HoverTest = testing::AppTest;

TEST_F(HoverTest, HoverFrameFollowsTheLabelUnderTheMouse) {
  start();
  auto& m = main();
  m.Labelクリア.raiseMouseMove({});
  EXPECT_TRUE(m.LineUP.visible());
  EXPECT_EQ(m.LineUP.y1(), 1560 - 32);
  EXPECT_EQ(m.LineDOWN.y1(), 1560 + 225);
  EXPECT_EQ(m.LineLEFT.x1(), 2400);
  EXPECT_EQ(m.LineRIGHT.x1(), 2400 + 855);
  EXPECT_EQ(m.LineUP.borderColor(), 0x00DCDCDCu);
  EXPECT_EQ(m.LineDOWN.borderColor(), 0x00646464u);

  m.Labelクリア.raiseMouseDown({tk::kLeftButton, 0, 1, 1});
  EXPECT_EQ(m.LineUP.borderColor(), 0x00646464u);
  EXPECT_EQ(m.LineRIGHT.borderColor(), 0x00DCDCDCu);
  EXPECT_EQ(m.LineUP.y1(), 1560 - 32);
  m.Labelクリア.raiseMouseUp({tk::kLeftButton, 0, 1, 1});
  EXPECT_EQ(m.LineUP.borderColor(), 0x00DCDCDCu);

  // Moving to another label redraws around it; the background hides it.
  m.Label終了.raiseMouseMove({});
  EXPECT_EQ(m.LineUP.y1(), 1260 - 32);
  m.Label終了.raiseMouseDown({tk::kLeftButton, 0, 1, 1});
  m.Label終了.raiseMouseUp({tk::kLeftButton, 0, 1, 1});
  EXPECT_EQ(m.LineUP.borderColor(), 0x00646464u);  // the exit label does not raise again
  m.raiseMouseMove({});
  EXPECT_FALSE(m.LineUP.visible());
  m.Labelクリア.raiseMouseMove({});
  m.Listメインメニュー.raiseMouseMove({});
  EXPECT_FALSE(m.LineLEFT.visible());
}

class PromptTest : public HoverTest {
 protected:
  void SetUp() override { start(); }
  std::wstring ask(const std::wstring& title, const std::wstring& mode) {
    st().OnMsgTitle = title;
    st().OnMsgComment = L"comment " + title;
    st().OnMsgMode = mode;
    return main().AskOnFrame();
  }
};

TEST_F(PromptTest, YesNoModeAfterYesModeEnablesNoAgain) {
  sys.userActions.push_back([&] { main().CommandON_MSG_YES.raiseClick(); });
  EXPECT_EQ(ask(L"a", L"yes"), L"Y");
  sys.userActions.push_back([&] {
    EXPECT_TRUE(main().CommandON_MSG_NO.enabled());
    EXPECT_EQ(main().LabelON_MSG_TITLE.caption(), L"b");
    main().CommandON_MSG_NO.raiseClick();
  });
  EXPECT_EQ(ask(L"b", L"yesno"), L"N");
  EXPECT_EQ(st().OnMsgAnswer, L"N");
  EXPECT_FALSE(main().FrameON_MSG.visible());
}

TEST_F(PromptTest, OtherEventsRunWhileWaiting) {
  bool ran = false;
  sys.userActions.push_back([&] {
    main().Labelクリア.raiseMouseMove({});
    ran = true;
  });
  sys.userActions.push_back([&] { main().CommandON_MSG_YES.raiseClick(); });
  EXPECT_EQ(ask(L"a", L"yesno"), L"Y");
  EXPECT_TRUE(ran);
  EXPECT_TRUE(main().LineUP.visible());
}

TEST_F(PromptTest, SecondPromptDuringAWaitGetsItsOwnAnswer) {
  std::wstring inner;
  sys.userActions.push_back([&] {
    // An event handled during the wait asks its own question.
    inner = ask(L"inner", L"yesno");
    // The first question is back on the panel and still waits.
    EXPECT_TRUE(main().FrameON_MSG.visible());
    EXPECT_EQ(main().LabelON_MSG_TITLE.caption(), L"outer");
  });
  sys.userActions.push_back([&] {
    EXPECT_EQ(main().LabelON_MSG_TITLE.caption(), L"inner");
    EXPECT_EQ(main().promptDepth(), 2);
    main().CommandON_MSG_NO.raiseClick();
  });
  sys.userActions.push_back([&] { main().CommandON_MSG_YES.raiseClick(); });
  EXPECT_EQ(ask(L"outer", L"yesno"), L"Y");
  EXPECT_EQ(inner, L"N");
  EXPECT_EQ(main().promptDepth(), 0);
  EXPECT_TRUE(sys.userActions.empty());
}

}  // namespace
}  // namespace pelnoro
