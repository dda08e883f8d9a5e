// Link mode: areas marked on the cut, their targets chosen in the link-target dialog,
// and the map document in the text view and the .html file.
#include "imagemap/link_mode.h"

#include <gtest/gtest.h>

#include "imagemap/link_fixture.h"

namespace pelnoro {
namespace {

using testing::kHead;
using testing::LinkTest;

TEST_F(LinkTest, AWholeRunToTheTextViewAndTheFile) {
  box().CheckHTML作成.setValue(1);
  area(140, 96, 12, 30);
  EXPECT_TRUE(dialog().visible());
  EXPECT_EQ(dialog().LabelCONT_NAME.caption(), L"　リンクファイル");
  // Below the picture window.
  EXPECT_EQ(dialog().top(), pic().top() + pic().height());
  EXPECT_EQ(dialog().left(), pic().left());
  choose(L"photo.large.jpg");
  // The picture is previewed fitted into 200 x 150 around (476, 107).
  EXPECT_EQ(dialog().ImageVIEW1.width(), 200);
  EXPECT_EQ(dialog().ImageVIEW1.height(), 50);
  EXPECT_EQ(dialog().ImageVIEW1.left(), 376);
  EXPECT_EQ(dialog().ImageVIEW1.top(), 82);
  EXPECT_FALSE(dialog().visible());
  EXPECT_EQ(st().LinkModeActive, program::kTrue);
  EXPECT_TRUE(pic().LabelMESSAGE.visible());
  EXPECT_EQ(pic().LabelMESSAGE.caption(), L" リンクモード ");
  EXPECT_EQ(pic().LabelMESSAGE.top() + pic().LabelMESSAGE.height(), pic().Picture_CHANGE1.top());

  // A second area, linked to a file that is no picture: opened with its program,
  // and a plain entry.
  area(20, 10, 50, 60);
  choose(L"notes.txt");
  ASSERT_EQ(sys.shellOpened.size(), 1u);
  EXPECT_EQ(sys.shellOpened[0].path, L"C:\\pics\\notes.txt");

  const std::wstring popup =
      L"<SCRIPT language=\"JavaScript\">\r\n<!--\r\n"
      L"function Openphoto(){win=window.open(\"file:///C:/pics/photo.large.jpg\",\"new\","
      L"\"width=424,height=124\");}\r\n// -->\r\n</SCRIPT>\r\n"
      L"<area shape=\"rect\" coords=\"12,30,140,96\" href=\"javascript:void(0)\" "
      L"onClick=\"Openphoto()\">\r\n";
  const std::wstring plain =
      L"<area shape=\"rect\" coords=\"20,10,50,60\" href=\"file:///C:/pics/notes.txt\">\r\n";
  EXPECT_EQ(view(), kHead + popup + plain);
  EXPECT_EQ(html(), kHead + popup + plain);

  // Finishing: the tail, link mode off, the save panel open.
  finish(true);
  EXPECT_EQ(st().LinkModeActive, program::kFalse);
  EXPECT_FALSE(pic().LabelMESSAGE.visible());
  EXPECT_TRUE(main().Label保存実行.visible());
  // The file's last line ends with CR LF; the text view's does not.
  EXPECT_EQ(view(), kHead + popup + plain + L"</map>\r\n</p></html>");
  EXPECT_EQ(html(), kHead + popup + plain + L"</map>\r\n</p></html>\r\n");
  // The save writes the image the document names, and empties the text view.
  main().Label保存実行.raiseClick();
  EXPECT_TRUE(sys.file(L"C:\\clips\\TEST.PNG"));
  EXPECT_EQ(view(), L"");
  EXPECT_FALSE(app->textView().visible());
}

TEST_F(LinkTest, SwitchesAreReadAtEveryStep) {
  // Both off: link mode still runs, nothing is written anywhere.
  box().Checkテキスト出力.setValue(0);
  area(12, 30, 140, 96);
  choose(L"notes.txt");
  EXPECT_EQ(st().LinkModeActive, program::kTrue);
  EXPECT_EQ(view(), L"");
  EXPECT_FALSE(html());
  // The file switched on mid-run: the file holds only the later entries and the tail.
  box().CheckHTML作成.setValue(1);
  area(20, 10, 50, 60);
  choose(L"notes.txt");
  finish(true);
  EXPECT_EQ(html(),
            L"<area shape=\"rect\" coords=\"20,10,50,60\" href=\"file:///C:/pics/notes.txt\">\r\n"
            L"</map>\r\n</p></html>\r\n");
}

TEST_F(LinkTest, DocumentPathFollowsTheNumbering) {
  EXPECT_EQ(app->linkMode().MapHtmlPath(), L"C:\\clips\\TEST.html");
  box().Check自動ナンバリング.setValue(1);
  st().NumberText = L"03";
  EXPECT_EQ(app->linkMode().MapHtmlPath(), L"C:\\clips\\TEST03.html");
}

TEST_F(LinkTest, NoAreaNoDialogAndNotLinkingPrompts) {
  sys.userActions.push_back([this] {
    EXPECT_EQ(main().LabelON_MSG_TITLE.caption(), L" 範囲未指定");
    main().CommandON_MSG_YES.raiseClick();
  });
  menuCommand(L"リンクの設定");
  EXPECT_FALSE(dialog().visible());
  sys.userActions.push_back([this] {
    EXPECT_EQ(main().LabelON_MSG_TITLE.caption(), L" 設定");
    main().CommandON_MSG_YES.raiseClick();
  });
  menuCommand(L"設定終了");
  EXPECT_TRUE(sys.userActions.empty());
}

TEST_F(LinkTest, FinishAnsweredNoKeepsLinkModeAndRefusals) {
  area(12, 30, 140, 96);
  choose(L"notes.txt");
  finish(false);
  EXPECT_EQ(st().LinkModeActive, program::kTrue);
  // Save, clear and exit are refused with the link-mode prompt and change nothing.
  for (tk::Label* button : {&main().Label保存実行, &main().Labelクリア, &main().Label終了}) {
    sys.userActions.push_back([this] {
      EXPECT_EQ(main().LabelON_MSG_TITLE.caption(), L" 設定未終了");
      main().CommandON_MSG_YES.raiseClick();
    });
    button->raiseClick();
    EXPECT_TRUE(sys.userActions.empty());
  }
  EXPECT_TRUE(pic().visible());
  EXPECT_FALSE(app->ended());
  EXPECT_FALSE(sys.file(L"C:\\clips\\TEST.PNG"));
}

TEST_F(LinkTest, UnwritableDocumentIsReportedAndLinkModeStaysAsItWas) {
  box().CheckHTML作成.setValue(1);
  sys.failWrites = true;
  area(12, 30, 140, 96);
  choose(L"notes.txt");
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_NE(sys.messages[0].text.find(L"C:\\clips\\TEST.html"), std::wstring::npos);
  EXPECT_EQ(st().LinkModeActive, program::kFalse);
  EXPECT_TRUE(dialog().visible());  // the user can fix the folder and try again
  sys.failWrites = false;
  dialog().CommandコンテナOK.raiseClick();
  EXPECT_EQ(st().LinkModeActive, program::kTrue);
  // The tail that cannot be written leaves link mode on.
  sys.failWrites = true;
  finish(true);
  EXPECT_EQ(st().LinkModeActive, program::kTrue);
  EXPECT_FALSE(main().Label保存実行.visible());
}

TEST_F(LinkTest, AFailedWriteAndItsRetryLeaveTheTextViewAsWholeAsTheFile) {
  box().CheckHTML作成.setValue(1);
  const std::wstring plain =
      L"<area shape=\"rect\" coords=\"12,30,140,96\" href=\"file:///C:/pics/notes.txt\">\r\n";
  // Each step fails once, then is tried again: the head, an area, the tail.
  sys.failWrites = true;
  area(12, 30, 140, 96);
  choose(L"notes.txt");
  EXPECT_EQ(st().LinkModeActive, program::kFalse);
  sys.failWrites = false;
  dialog().CommandコンテナOK.raiseClick();
  EXPECT_EQ(view(), kHead + plain);
  sys.failWrites = true;
  area(12, 30, 140, 96);
  choose(L"notes.txt");
  EXPECT_TRUE(dialog().visible());
  EXPECT_EQ(view(), kHead + plain);
  sys.failWrites = false;
  dialog().CommandコンテナOK.raiseClick();
  EXPECT_EQ(view(), kHead + plain + plain);
  EXPECT_EQ(html(), kHead + plain + plain);
  sys.failWrites = true;
  finish(true);
  EXPECT_EQ(view(), kHead + plain + plain);
  sys.failWrites = false;
  finish(true);
  EXPECT_EQ(view(), kHead + plain + plain + L"</map>\r\n</p></html>");
  EXPECT_EQ(html(), kHead + plain + plain + L"</map>\r\n</p></html>\r\n");
}

}  // namespace
}  // namespace pelnoro
