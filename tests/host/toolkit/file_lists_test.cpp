// The drive, folder and file lists on the fake file system.
#include "toolkit/file_lists.h"

#include <gtest/gtest.h>

#include "fake_system.h"
#include "toolkit/form.h"

namespace pelnoro {
namespace {

using Rows = std::vector<std::wstring>;

TEST(PathTextTest, FoldersDrivesAndPatterns) {
  EXPECT_EQ(tk::NormalizeFolder(L"c:/pics/"), L"C:\\pics");
  EXPECT_EQ(tk::NormalizeFolder(L"C:\\pics\\\\"), L"C:\\pics");
  EXPECT_EQ(tk::NormalizeFolder(L"C:"), L"C:\\");
  EXPECT_EQ(tk::NormalizeFolder(L"C:\\"), L"C:\\");
  EXPECT_EQ(tk::NormalizeFolder(L"\\\\srv\\share\\a\\"), L"\\\\srv\\share\\a");
  EXPECT_EQ(tk::NormalizeFolder(L"\\\\srv\\share\\"), L"\\\\srv\\share\\");
  EXPECT_EQ(tk::DriveOf(L"d:\\x"), L"D:");
  EXPECT_EQ(tk::DriveOf(L"\\\\srv\\share"), L"");
  EXPECT_EQ(tk::JoinPath(L"C:\\", L"a"), L"C:\\a");
  EXPECT_EQ(tk::JoinPath(L"C:\\x", L"a"), L"C:\\x\\a");

  EXPECT_TRUE(tk::MatchesPattern(L"README", L"*.*"));
  EXPECT_TRUE(tk::MatchesPattern(L"photo.JPG", L"*.bmp; *.jpg"));
  EXPECT_FALSE(tk::MatchesPattern(L"photo.jpeg", L"*.jpg"));
  EXPECT_TRUE(tk::MatchesPattern(L"a1.png", L"a?.png"));
  EXPECT_FALSE(tk::MatchesPattern(L"a12.png", L"a?.png"));
  EXPECT_TRUE(tk::MatchesPattern(L"x.tar.gz", L"*.gz"));
  EXPECT_TRUE(tk::MatchesPattern(L"anything", L""));
}

class FileListTest : public ::testing::Test {
 protected:
  testing::FakeSystem sys;
  tk::Form form{L"Form1"};
  tk::DriveListBox drives{&form, L"Drive1"};
  tk::DirListBox dirs{&form, L"Dir1"};
  tk::FileListBox files{&form, L"File1"};
  int changes = 0;

  void SetUp() override {
    sys.drives = {L"C:\\", L"D:\\", L"E:\\"};
    sys.exe = L"D:\\tools\\";
    sys.putFolder(L"D:\\tools");
    sys.putFolder(L"C:\\clip\\zeta");
    sys.putFolder(L"C:\\clip\\Alpha");
    sys.putFolder(L"C:\\clip\\beta\\deeper");
    sys.putFile(L"C:\\clip\\b.png", "x");
    sys.putFile(L"C:\\clip\\A.jpg", "x");
    sys.putFile(L"C:\\clip\\notes.txt", "x");
  }
};

TEST_F(FileListTest, DrivesStartOnTheProgramsDriveAndChangeOnlyWhenMoved) {
  drives.setSystem(sys);
  drives.onChange = [&] { ++changes; };
  EXPECT_EQ(drives.items(), (Rows{L"C:", L"D:", L"E:"}));
  EXPECT_EQ(drives.drive(), L"D:");
  EXPECT_TRUE(drives.setDrive(L"c:\\clip\\beta"));
  EXPECT_EQ(drives.drive(), L"C:");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(drives.setDrive(L"C:"));
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(drives.setDrive(L"Q:\\"));
  EXPECT_FALSE(drives.setDrive(L"\\\\srv\\share"));
  EXPECT_EQ(drives.drive(), L"C:");
  drives.chooseRow(2);
  EXPECT_EQ(drives.drive(), L"E:");
  EXPECT_EQ(changes, 2);
  // A drive that went away: the list keeps what is still there.
  sys.drives = {L"C:\\", L"D:\\"};
  drives.refresh();
  EXPECT_EQ(drives.items(), (Rows{L"C:", L"D:"}));
  EXPECT_EQ(drives.drive(), L"C:");
}

TEST_F(FileListTest, FolderRowsAreAncestorsTheFolderAndItsSubfoldersSorted) {
  dirs.setSystem(sys);
  dirs.onChange = [&] { ++changes; };
  ASSERT_TRUE(dirs.setPath(L"c:\\clip\\"));
  EXPECT_EQ(dirs.path(), L"C:\\clip");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(dirs.items(),
            (Rows{L"C:\\", L"C:\\clip", L"C:\\clip\\Alpha", L"C:\\clip\\beta", L"C:\\clip\\zeta"}));
  EXPECT_EQ(dirs.currentRow(), 1);
  EXPECT_EQ(dirs.listIndex(), 1);
  EXPECT_EQ(dirs.depth(0), 0);
  EXPECT_EQ(dirs.depth(1), 1);
  EXPECT_EQ(dirs.depth(4), 2);

  // Entering a subfolder, then going back up to the root.
  dirs.openRow(3);
  EXPECT_EQ(dirs.path(), L"C:\\clip\\beta");
  EXPECT_EQ(dirs.items(),
            (Rows{L"C:\\", L"C:\\clip", L"C:\\clip\\beta", L"C:\\clip\\beta\\deeper"}));
  dirs.openRow(0);
  EXPECT_EQ(dirs.path(), L"C:\\");
  EXPECT_EQ(dirs.items(), (Rows{L"C:\\", L"C:\\clip"}));
  EXPECT_EQ(changes, 3);

  // The same folder spelled differently is no change; a missing one is refused.
  EXPECT_TRUE(dirs.setPath(L"c:"));
  EXPECT_FALSE(dirs.setPath(L"C:\\nowhere"));
  EXPECT_FALSE(dirs.setPath(L""));
  EXPECT_EQ(dirs.path(), L"C:\\");
  EXPECT_EQ(changes, 3);
}

TEST_F(FileListTest, ClickSelectsWithoutEnteringAndRefreshShowsNewFolders) {
  dirs.setSystem(sys);
  dirs.setPath(L"C:\\clip");
  int clicks = 0;
  dirs.onClick = [&] { ++clicks; };
  dirs.onChange = [&] { ++changes; };
  dirs.clickRow(2);
  EXPECT_EQ(dirs.listIndex(), 2);
  EXPECT_EQ(dirs.path(), L"C:\\clip");
  EXPECT_EQ(clicks, 1);
  dirs.clickRow(9);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 0);

  ASSERT_TRUE(sys.createFolder(L"C:\\clip\\gamma"));
  dirs.refresh();
  EXPECT_EQ(dirs.list(4), L"C:\\clip\\gamma");
  EXPECT_EQ(dirs.listIndex(), dirs.currentRow());
}

TEST_F(FileListTest, FilesFollowThePatternSortedWithoutCase) {
  files.setSystem(sys);
  int pathChanges = 0, opens = 0;
  files.onPathChange = [&] { ++pathChanges; };
  files.onDblClick = [&] { ++opens; };
  ASSERT_TRUE(files.setPath(L"C:\\clip\\"));
  EXPECT_EQ(files.path(), L"C:\\clip");
  EXPECT_EQ(files.listCount(), 3);
  EXPECT_EQ(files.fileName(), L"");
  files.setPattern(L"*.png;*.jpg");
  ASSERT_EQ(files.listCount(), 2);
  EXPECT_EQ(files.list(0).size(), 5u);  // A.jpg before b.png, whatever the case
  EXPECT_EQ(files.list(0)[0], L'A');
  files.openRow(1);
  EXPECT_EQ(files.listIndex(), 1);
  EXPECT_EQ(opens, 1);
  EXPECT_FALSE(files.setPath(L"C:\\nowhere"));
  EXPECT_EQ(files.path(), L"C:\\clip");
  EXPECT_EQ(pathChanges, 1);
}

TEST_F(FileListTest, WithoutASystemTheListsStayEmpty) {
  EXPECT_EQ(drives.drive(), L"");
  EXPECT_TRUE(dirs.setPath(L"C:\\a\\b"));
  EXPECT_EQ(dirs.items(), (Rows{L"C:\\", L"C:\\a", L"C:\\a\\b"}));
  EXPECT_TRUE(files.setPath(L"C:\\a"));
  EXPECT_EQ(files.listCount(), 0);
}

}  // namespace
}  // namespace pelnoro
