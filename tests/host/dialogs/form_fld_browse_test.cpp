// The folder chooser: opening from the property box, browsing, OK and Cancel,
// and the texts it refuses.
#include "dialogs/form_fld_browse.h"

#include <gtest/gtest.h>

#include <array>

#include "app_fixture.h"
#include "system/text_file.h"

namespace pelnoro {
namespace {

const std::wstring kExe = L"C:\\Program Files\\Pelnoro";

class ChooserTest : public testing::AppTest {
 protected:
  void SetUp() override {
    sys.drives = {L"C:\\", L"D:\\", L"E:\\"};
    sys.notReadyDrives = {L"E:\\"};
    sys.putFolder(kExe);
    sys.putFolder(L"C:\\clip\\old");
    sys.putFolder(L"D:\\photos");
    sys.putFile(L"C:\\clip\\note.txt", "x");
    start();
    main().Labelファイル名.setCaption(L"TEST00.BMP");
    box().SetSaveFolder(L"C:\\clip\\");
  }
  dialogs::FormFLD_browse& chooser() { return app->folderChooser(); }
  void open() { box().Command保存先選択.raiseClick(); }
  int dirRow(const std::wstring& path) {
    const auto& rows = chooser().DirFLD_br.items();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i] == path) return static_cast<int>(i);
    }
    ADD_FAILURE() << "no such folder row";
    return -1;
  }
  void ok(const std::wstring& text) {
    chooser().TextFLD_name.setText(text);
    chooser().CommandFLD_br_OK.raiseClick();
  }
  // What OK stores, all in one place.
  void expectSaveFolder(const std::wstring& folder) {
    EXPECT_EQ(box().Label保存先.caption(), folder);
    EXPECT_EQ(main().Label保存フォルダ.caption(), folder);
    EXPECT_EQ(pic().Picture_CHANGE1.toolTip(), folder + L"TEST00.BMP");
  }
  void expectUnchanged() {
    EXPECT_EQ(box().Label保存先.caption(), L"C:\\clip\\");
    EXPECT_EQ(main().Label保存フォルダ.caption(), L"");
    EXPECT_EQ(pic().Picture_CHANGE1.toolTip(), L"");
  }
};

TEST_F(ChooserTest, DesignOfTheWindow) {
  auto& c = chooser();
  EXPECT_EQ(c.borderStyle(), tk::BorderStyle::None);
  EXPECT_EQ(c.Label1.caption(), L"　フォルダの選択");
  EXPECT_EQ(c.Label1.backColor(), 0x00E0E0E0u);
  EXPECT_EQ(c.picture()->width(), 600);
  EXPECT_EQ(c.picture()->height(), 300);
  EXPECT_EQ(c.CommandFLD_br_OK.caption(), L"OK");
  EXPECT_EQ(c.CommandFLD_br_CANCEL.caption(), L"Cancel");
  const std::pair<tk::Control*, std::array<double, 4>> design[] = {
      {&c.Label1, {120, 120, 2775, 195}},
      {&c.DriveFLD_br, {120, 480, 2895, 300}},
      {&c.DirFLD_br, {120, 840, 2895, 1770}},
      {&c.TextFLD_name, {120, 2760, 2895, 270}},
      {&c.CommandFLD_br_OK, {480, 3240, 855, 375}},
      {&c.CommandFLD_br_CANCEL, {1800, 3240, 855, 375}}};
  for (const auto& [ctl, r] : design) {
    EXPECT_EQ((std::array<double, 4>{ctl->left(), ctl->top(), ctl->width(), ctl->height()}), r);
  }
  EXPECT_EQ(c.scaleWidth(), 3180);
  EXPECT_EQ(c.scaleHeight(), 3825);
  // Before any folder was entered or clicked, OK is off.
  EXPECT_FALSE(c.CommandFLD_br_OK.enabled());
}

TEST_F(ChooserTest, OpensOnTheSaveFolderCentred) {
  open();
  auto& c = chooser();
  EXPECT_TRUE(c.visible());
  EXPECT_EQ(c.DriveFLD_br.drive(), L"C:");
  EXPECT_EQ(c.DirFLD_br.path(), L"C:\\clip");
  EXPECT_EQ(c.TextFLD_name.text(), L"C:\\clip\\");
  EXPECT_TRUE(c.CommandFLD_br_OK.enabled());
  EXPECT_EQ(c.left(), 1920 * 15 / 2 - c.width() / 2);
  EXPECT_EQ(c.top(), 1080 * 15 / 2 - c.height() / 2);
}

TEST_F(ChooserTest, OpensOnTheProgramsFolderWhileTheSaveFolderIsMissing) {
  box().Label保存先.setCaption(L"D:\\photos\\2024\\");
  open();
  auto& c = chooser();
  EXPECT_EQ(c.DriveFLD_br.drive(), L"C:");
  EXPECT_EQ(c.DirFLD_br.path(), kExe);
  EXPECT_EQ(c.TextFLD_name.text(), L"D:\\photos\\2024\\");
}

TEST_F(ChooserTest, ClickingAFolderPutsItsPathWithOneTrailingBackslash) {
  open();
  auto& dir = chooser().DirFLD_br;
  chooser().CommandFLD_br_OK.setEnabled(false);
  dir.clickRow(dirRow(L"C:\\"));
  EXPECT_EQ(chooser().TextFLD_name.text(), L"C:\\");
  EXPECT_TRUE(chooser().CommandFLD_br_OK.enabled());
  dir.clickRow(dirRow(L"C:\\clip\\old"));
  EXPECT_EQ(chooser().TextFLD_name.text(), L"C:\\clip\\old\\");
  // A click selects; only opening enters.
  EXPECT_EQ(dir.path(), L"C:\\clip");
  dir.openRow(dirRow(L"C:\\clip\\old"));
  EXPECT_EQ(dir.path(), L"C:\\clip\\old");
}

TEST_F(ChooserTest, ChangingTheDriveClearsTheTextAndTurnsOkOff) {
  open();
  chooser().DriveFLD_br.setDrive(L"D:");
  EXPECT_EQ(chooser().DirFLD_br.path(), L"D:\\");
  EXPECT_EQ(chooser().TextFLD_name.text(), L"");
  EXPECT_FALSE(chooser().CommandFLD_br_OK.enabled());
  chooser().DirFLD_br.openRow(dirRow(L"D:\\photos"));
  EXPECT_TRUE(chooser().CommandFLD_br_OK.enabled());
  EXPECT_TRUE(sys.messages.empty());
}

TEST_F(ChooserTest, ExistingFolderGetsItsBackslashWithoutAQuestion) {
  open();
  ok(L"C:\\clip");
  EXPECT_TRUE(sys.messages.empty());
  EXPECT_FALSE(chooser().visible());
  expectSaveFolder(L"C:\\clip\\");
}

TEST_F(ChooserTest, DriveRootStaysAsItIs) {
  open();
  ok(L"C:\\");
  expectSaveFolder(L"C:\\");
}

TEST_F(ChooserTest, MissingFolderIsCreatedOnYes) {
  open();
  sys.answers.push_back(sys::kIdYes);
  ok(L"C:\\clip\\new\\");
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text, L"[C:\\clip\\new\\]フォルダーを作成しますか?");
  EXPECT_EQ(sys.messages[0].title, L"フォルダー確認");
  EXPECT_EQ(sys.messages[0].style, 4u);
  EXPECT_TRUE(sys.folderExists(L"C:\\clip\\new"));
  expectSaveFolder(L"C:\\clip\\new\\");
  // The folder list shows the new folder at once.
  EXPECT_NO_FATAL_FAILURE(dirRow(L"C:\\clip\\new"));
}

TEST_F(ChooserTest, NoToTheQuestionChangesNothing) {
  open();
  sys.answers.push_back(sys::kIdNo);
  ok(L"C:\\clip\\new\\");
  EXPECT_EQ(sys.messages.size(), 1u);
  EXPECT_FALSE(sys.folderExists(L"C:\\clip\\new"));
  EXPECT_TRUE(chooser().visible());
  expectUnchanged();
}

TEST_F(ChooserTest, CancelAfterBrowsingChangesNothing) {
  open();
  chooser().DriveFLD_br.setDrive(L"D:");
  chooser().DirFLD_br.openRow(dirRow(L"D:\\photos"));
  chooser().DirFLD_br.clickRow(0);
  chooser().CommandFLD_br_CANCEL.raiseClick();
  EXPECT_FALSE(chooser().visible());
  expectUnchanged();
}

TEST_F(ChooserTest, FolderThatCannotBeCreatedIsReportedAndTheChooserStays) {
  open();
  sys.refusedFolders = {L"C:\\locked"};
  for (const std::wstring text : {L"C:\\no\\such\\", L"C:\\locked\\", L"C:\\clip\\a?b"}) {
    SCOPED_TRACE(text.size());
    sys.messages.clear();
    sys.answers.push_back(sys::kIdYes);
    ok(text);
    ASSERT_EQ(sys.messages.size(), 2u);
    EXPECT_EQ(sys.messages[1].text.rfind(L"[" + text + L"]フォルダーを作成できませんでした。", 0),
              0u);
    EXPECT_EQ(sys.messages[1].style, sys::kMbOk | sys::kMbIconExclamation);
    EXPECT_TRUE(chooser().visible());
    EXPECT_EQ(chooser().TextFLD_name.text(), text);
    expectUnchanged();
  }
  EXPECT_FALSE(sys.folderExists(L"C:\\no\\such"));
}

TEST_F(ChooserTest, EmptyTextFilesAndRelativePathsAreRefused) {
  open();
  const std::pair<std::wstring, std::wstring> refused[] = {
      {L"", L"保存先のフォルダーが入力されていません。"},
      {L"  ", L"保存先のフォルダーが入力されていません。"},
      {L"C:\\clip\\note.txt", L"[C:\\clip\\note.txt]はファイルです。"},
      {L"C:\\clip\\note.txt\\", L"[C:\\clip\\note.txt\\]はファイルです。"},
      {L"clip\\new", L"[clip\\new]はドライブから始まるパスではありません。"},
      // Relative to the drive's current folder, or to the current drive's root.
      {L"C:clip", L"[C:clip]はドライブから始まるパスではありません。"},
      {L"\\clip\\new", L"[\\clip\\new]はドライブから始まるパスではありません。"},
  };
  for (const auto& [text, message] : refused) {
    sys.messages.clear();
    ok(text);
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text.rfind(message, 0), 0u);
    EXPECT_TRUE(chooser().visible());
    expectUnchanged();
  }
}

TEST_F(ChooserTest, DriveNotReadyIsReportedAndThePreviousDriveKept) {
  open();
  chooser().DirFLD_br.clickRow(dirRow(L"C:\\clip\\old"));
  ASSERT_EQ(chooser().TextFLD_name.text(), L"C:\\clip\\old\\");
  chooser().DriveFLD_br.chooseRow(2);
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text.rfind(L"ドライブ E: の準備ができていません。", 0), 0u);
  EXPECT_EQ(chooser().DriveFLD_br.drive(), L"C:");
  EXPECT_EQ(chooser().DirFLD_br.path(), L"C:\\clip");
  EXPECT_EQ(chooser().TextFLD_name.text(), L"C:\\clip\\old\\");
  EXPECT_TRUE(chooser().CommandFLD_br_OK.enabled());
}

TEST_F(ChooserTest, TextToolTipShowsTheText) {
  open();
  chooser().TextFLD_name.raiseMouseMove({});
  EXPECT_EQ(chooser().TextFLD_name.toolTip(), L"C:\\clip\\");
}

TEST_F(ChooserTest, AFolderTheSettingsFileCannotHoldIsUsedButNotKept) {
  sys.putFolder(L"C:\\clip\\한글");
  open();
  ok(L"C:\\clip\\한글\\");
  // Used for this session...
  expectSaveFolder(L"C:\\clip\\한글\\");
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_NE(sys.messages[0].text.find(L"[C:\\clip\\]"), std::wstring::npos);
  // ...but the settings file and the save log keep what they can read back.
  app->main().Label保存実行.setVisible(true);
  box().PushFolderHistory(L"C:\\clip\\한글\\");
  app->main().Label終了.raiseClick();
  const auto ini = sys::readTextLines(sys, kExe + L"\\pelnoro.ini");
  ASSERT_TRUE(ini);
  EXPECT_EQ(ini->at(3), L"保存先=C:\\clip\\");
  const auto log = sys::readTextLines(sys, kExe + L"\\save_log.pel");
  ASSERT_TRUE(log);
  for (const auto& row : *log) EXPECT_EQ(row.find(L"한"), std::wstring::npos);
  EXPECT_FALSE(log->empty());
}

}  // namespace
}  // namespace pelnoro
