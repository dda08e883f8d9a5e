// The save panel, from a cut to the written file.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "dialogs/form_fld_browse.h"
#include "output/save_target.h"
#include "output/texts.h"
#include "system/text_file.h"

namespace pelnoro {
namespace {

class SavePanelTest : public testing::AppTest {
 protected:
  void SetUp() override {
    patternScreen(320, 200);
    sys.putFile(L"C:\\clips\\keep.txt", "x");
    sys.putFile(L"C:\\Program Files\\Pelnoro\\pelnoro.ini",
                sys::toCp932(L"画像形式=JPEG\r\nファイル名=clip\r\n保存先=C:\\clips\\\r\n"));
    start();
    main().Imageシャッターボタン.raiseClick();
    drag(pic().PicturePic_Screen, 10, 20, 210, 170);
    main().Image切り取りボタン.raiseClick();
    ASSERT_EQ(st().SaveFileName, L"clip00.JPG");
    main().Label保存開く.raiseClick();
  }
  void type(const std::wstring& text) {
    auto& box = main().Textファイル名変更;
    for (wchar_t c : text) {
      int key = c;
      box.raiseKeyDown(key, 0);
      box.setTextFromPeer(box.text() + c);
    }
  }
  void enter() {
    int key = 13;
    main().Textファイル名変更.raiseKeyDown(key, 0);
  }
  void save() { main().Label保存実行.raiseClick(); }
  std::optional<std::string> written(const std::wstring& name) {
    return sys.file(L"C:\\clips\\" + name);
  }
};

TEST_F(SavePanelTest, WhileWritingTheStatusLineSaysWhatAndTheCursorWaits) {
  sys.userActions.push_back([&] {
    EXPECT_TRUE(main().visible());
    EXPECT_EQ(main().Labelステータス.caption(), L"書き込み中: C:\\clips\\clip00.JPG");
    EXPECT_EQ(main().mousePointer(), tk::Pointer::kHourglass);
    EXPECT_FALSE(written(L"clip00.JPG"));
  });
  save();
  EXPECT_TRUE(sys.userActions.empty());
  EXPECT_TRUE(written(L"clip00.JPG"));
  EXPECT_EQ(main().mousePointer(), tk::Pointer::kDefault);
  EXPECT_EQ(main().Labelステータス.caption(), L"");
}

TEST_F(SavePanelTest, OpeningReplacesTheMenu) {
  EXPECT_FALSE(main().Listメインメニュー.visible());
  EXPECT_TRUE(main().Label保存実行.visible());
  EXPECT_TRUE(main().Labelファイル名.visible());
  EXPECT_FALSE(main().Textファイル名変更.visible());
  EXPECT_EQ(main().Label保存フォルダ.caption(), L"C:\\clips\\");
}

TEST_F(SavePanelTest, RenameInPlaceAndSave) {
  main().Labelファイル名.raiseClick();
  EXPECT_TRUE(main().Textファイル名変更.visible());
  EXPECT_EQ(main().Textファイル名変更.text(), L"clip00.JPG");
  type(L"a");
  enter();
  EXPECT_EQ(main().Labelファイル名.caption(), L"clip00.JPGa");
  EXPECT_EQ(st().SaveFileName, L"clip00.JPGa");
  EXPECT_FALSE(main().Textファイル名変更.visible());
  save();
  const auto file = written(L"clip00.JPGa");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->substr(0, 2), "\xFF\xD8");  // the cut's format, whatever the name says
  // Back to idle, on top.
  EXPECT_TRUE(main().visible());
  EXPECT_TRUE(main().topmost());
  EXPECT_FALSE(pic().visible());
  EXPECT_EQ(main().Label保存開く.caption(), L"画像開く");
  EXPECT_TRUE(main().Listメインメニュー.visible());
  EXPECT_FALSE(main().Label保存実行.visible());
  EXPECT_EQ(box().List保存履歴.list(0), L"C:\\clips\\");
}

TEST_F(SavePanelTest, TypingWithoutEnterSavesTheTypedName) {
  main().Labelファイル名.raiseClick();
  type(L"x");
  save();
  EXPECT_TRUE(written(L"clip00.JPGx"));
  EXPECT_FALSE(main().Textファイル名変更.visible());
}

TEST_F(SavePanelTest, RenameButtonTwiceChangesNothing) {
  main().Labelファイル名変更.raiseClick();
  EXPECT_TRUE(main().Textファイル名変更.visible());
  main().Labelファイル名変更.raiseClick();
  EXPECT_FALSE(main().Textファイル名変更.visible());
  EXPECT_EQ(main().Labelファイル名.caption(), L"clip00.JPG");
  EXPECT_EQ(pic().Picture_CHANGE1.toolTip(), L"C:\\clips\\clip00.JPG");
}

TEST_F(SavePanelTest, MissingFolderWritesNothing) {
  main().Label保存フォルダ.setCaption(L"C:\\gone\\");
  save();
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text, L"[C:\\gone\\]フォルダーは有りません");
  EXPECT_EQ(sys.messages[0].title, L"フォルダー確認");
  EXPECT_EQ(sys.messages[0].style, 0x30u);
  EXPECT_FALSE(written(L"clip00.JPG"));
  EXPECT_TRUE(main().Label保存実行.visible());
  // A drive that is not there fails the same way.
  main().Label保存フォルダ.setCaption(L"Q:\\");
  save();
  EXPECT_EQ(sys.messages.size(), 2u);
}

TEST_F(SavePanelTest, CancelRestoresWhatASaveWrites) {
  main().Labelファイル名.raiseClick();
  type(L"zz");
  enter();
  box().Label保存先.setCaption(L"C:\\other\\");
  main().Label保存フォルダ.setCaption(L"C:\\other\\");
  main().Label保存キャンセル.raiseClick();
  EXPECT_EQ(main().Labelファイル名.caption(), L"clip00.JPG");
  EXPECT_EQ(st().SaveFileName, L"clip00.JPG");
  EXPECT_EQ(box().Label保存先.caption(), L"C:\\clips\\");
  EXPECT_TRUE(main().Listメインメニュー.visible());
  EXPECT_FALSE(main().Label保存実行.visible());
  EXPECT_TRUE(main().Label保存開く.enabled());
  EXPECT_EQ(main().Label保存開く.caption(), L"保存");
  main().Label保存開く.raiseClick();
  save();
  EXPECT_TRUE(written(L"clip00.JPG"));
}

TEST_F(SavePanelTest, SaveRefusedInLinkMode) {
  st().LinkModeActive = program::kTrue;
  sys.userActions.push_back([&] { main().CommandON_MSG_YES.raiseClick(); });
  save();
  EXPECT_FALSE(written(L"clip00.JPG"));
  EXPECT_TRUE(main().Label保存実行.visible());
}

TEST_F(SavePanelTest, ANameWindowsCannotCreateIsRefusedByName) {
  for (const wchar_t* name : {L"e??", L"a|b.PNG", L"CON", L"nul.jpg"}) {
    SCOPED_TRACE(name);
    sys.messages.clear();
    st().SaveFileName = name;
    save();
    const std::wstring shown = output::ResolveSaveTarget(name, L".JPG").fileName;
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text, output::text::UnwritableName(shown));
    EXPECT_EQ(sys.messages[0].text.substr(0, shown.size() + 2), L"[" + shown + L"]");
    EXPECT_EQ(sys.messages[0].title, L"ファイル名確認");
    EXPECT_EQ(sys.messages[0].style, 0x30u);
    EXPECT_FALSE(written(shown));
    EXPECT_TRUE(main().Label保存実行.visible());
  }
  st().SaveFileName = L"e\U0001F600.JPG";
  save();
  EXPECT_TRUE(written(L"e\U0001F600.JPG"));
}

TEST_F(SavePanelTest, FailedWriteKeepsTheCutAndThePanel) {
  sys.failWrites = true;
  const auto history = box().List保存履歴.items();
  save();
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text,
            L"書き込みエラーが発生しました。処理を中断します。 return_CODE = 6");
  EXPECT_EQ(sys.messages[0].title, L"中断");
  EXPECT_EQ(sys.messages[0].style, 0x10u);
  EXPECT_EQ(st().SaveResult, 6);
  EXPECT_TRUE(pic().visible());
  EXPECT_TRUE(main().visible());
  EXPECT_TRUE(main().Label保存実行.visible());
  EXPECT_EQ(box().List保存履歴.items(), history);
  // Each failing step has its own code: no file made, none replaced.
  sys.failWith = sys::WriteResult::kCannotCreate;
  save();
  EXPECT_EQ(sys.messages.back().text,
            L"書き込みエラーが発生しました。処理を中断します。 return_CODE = 5");
  sys.failWith = sys::WriteResult::kCannotReplace;
  save();
  EXPECT_EQ(sys.messages.back().text,
            L"書き込みエラーが発生しました。処理を中断します。 return_CODE = 7");
  sys.failWrites = false;
  save();
  EXPECT_TRUE(written(L"clip00.JPG"));
  EXPECT_EQ(st().SaveResult, 0);
}

TEST_F(SavePanelTest, HistoryFollowsSavesAndIsWrittenAtExit) {
  auto& h = box().List保存履歴;
  h.clear();
  for (const auto* f : {L"A", L"B", L"C"}) h.addItem(f);
  sys.putFolder(L"D:\\d\\");
  box().Label保存先.setCaption(L"D:\\d\\");
  main().Label保存フォルダ.setCaption(L"D:\\d\\");
  save();
  ASSERT_EQ(h.listCount(), 16);
  EXPECT_EQ(h.list(0), L"D:\\d\\");
  EXPECT_EQ(h.list(3), L"C");
  EXPECT_EQ(h.list(4), L"");
  EXPECT_EQ(h.list(15), L"");
  EXPECT_TRUE(sys.file(L"D:\\d\\clip00.JPG"));
  main().Label終了.raiseClick();
  const auto log = sys::readTextLines(sys, L"C:\\Program Files\\Pelnoro\\save_log.pel");
  ASSERT_TRUE(log);
  EXPECT_EQ(*log, (std::vector<std::wstring>{L"D:\\d\\", L"A", L"B", L"C"}));
}

TEST_F(SavePanelTest, FolderLabelsToggleTheChooser) {
  main().Labelフォルダ変更.raiseClick();
  EXPECT_TRUE(app->folderChooser().visible());
  main().Label保存フォルダ.raiseClick();
  EXPECT_FALSE(app->folderChooser().visible());
}

}  // namespace
}  // namespace pelnoro
