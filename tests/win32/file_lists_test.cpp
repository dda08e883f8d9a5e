// The drive, folder and file lists on a real file system, realised as native
// list and combo boxes.
#include <windows.h>

#include "toolkit/file_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/form.h"
#include "win32/win32_peer_factory.h"
#include "win32/win32_system.h"

namespace pelnoro {
namespace {

class NativeListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    root = std::wstring(tmp) + L"pelnoro_lists_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root.c_str(), nullptr);
    for (const wchar_t* d : {L"\\b_sub", L"\\A_sub", L"\\A_sub\\inner"}) {
      CreateDirectoryW((root + d).c_str(), nullptr);
    }
    for (const wchar_t* f : {L"\\x.txt", L"\\y.PNG"}) {
      HANDLE h =
          CreateFileW((root + f).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      CloseHandle(h);
    }
  }
  void TearDown() override {
    form.reset();
    DeleteFileW((root + L"\\x.txt").c_str());
    DeleteFileW((root + L"\\y.PNG").c_str());
    for (const wchar_t* d : {L"\\A_sub\\inner", L"\\A_sub", L"\\b_sub", L"\\made", L""}) {
      RemoveDirectoryW((root + d).c_str());
    }
  }

  // A shown form holding the three lists, realised.
  struct ListForm {
    tk::Form form{L"Form1"};
    tk::DriveListBox drives{&form, L"Drive1"};
    tk::DirListBox dirs{&form, L"Dir1"};
    tk::FileListBox files{&form, L"File1"};
  };
  void realise() {
    form = std::make_unique<ListForm>();
    form->form.setBorderStyle(tk::BorderStyle::None);
    form->form.move(1500, 1500, 6000, 4500);
    form->drives.move(120, 120, 2800, 300);
    form->dirs.move(120, 540, 2800, 3000);
    form->files.move(3000, 540, 2800, 3000);
    for (tk::FileSystemList* l :
         std::initializer_list<tk::FileSystemList*>{&form->drives, &form->dirs, &form->files}) {
      l->setSystem(sys);
    }
    ASSERT_TRUE(form->dirs.setPath(root));
    ASSERT_TRUE(form->files.setPath(root));
    win32::Win32PeerFactory peers(sys.twipsPerPixelX(), sys.twipsPerPixelY());
    peers.realise(form->form);
    form->form.show();
    sys.doEvents();
  }
  // The list or combo box inside a list's host window.
  static HWND inner(const tk::Control& c) {
    return GetWindow(static_cast<HWND>(c.nativeTag), GW_CHILD);
  }
  static std::vector<std::wstring> rows(HWND list) {
    std::vector<std::wstring> out;
    const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      wchar_t buf[MAX_PATH];
      SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
      out.emplace_back(buf);
    }
    return out;
  }
  void userSelects(const tk::Control& c, int row, WORD code) {
    HWND list = inner(c);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageW(static_cast<HWND>(c.nativeTag), WM_COMMAND, MAKEWPARAM(1, code),
                 reinterpret_cast<LPARAM>(list));
    sys.doEvents();
  }

  win32::Win32System sys;
  std::wstring root;
  std::unique_ptr<ListForm> form;
};

TEST_F(NativeListsTest, SystemListsDrivesAndFoldersAndCreatesOneLevel) {
  const auto drives = sys.listDrives();
  ASSERT_FALSE(drives.empty());
  EXPECT_EQ(drives.front().size(), 3u);
  EXPECT_EQ(drives.front().substr(1), L":\\");
  const std::wstring systemRoot = std::wstring(1, tk::DriveOf(root)[0]) + L":\\";
  EXPECT_TRUE(sys.driveReady(systemRoot));
  EXPECT_EQ(sys.listFolders(root), (std::vector<std::wstring>{L"A_sub", L"b_sub"}));
  EXPECT_EQ(sys.listFolders(root + L"\\"), sys.listFolders(root));
  EXPECT_TRUE(sys.listFolders(root + L"\\nowhere").empty());
  EXPECT_FALSE(sys.createFolder(root + L"\\missing\\child"));
  EXPECT_TRUE(sys.createFolder(root + L"\\made\\"));
  EXPECT_TRUE(sys.folderExists(root + L"\\made"));
  EXPECT_FALSE(sys.createFolder(root + L"\\bad?name"));
}

TEST_F(NativeListsTest, FolderListShowsNamesAndFollowsClicksAndDoubleClicks) {
  ASSERT_NO_FATAL_FAILURE(realise());
  auto& dirs = form->dirs;
  HWND list = inner(dirs);
  ASSERT_TRUE(IsWindow(list));
  const auto shown = rows(list);
  ASSERT_EQ(static_cast<int>(shown.size()), dirs.listCount());
  EXPECT_EQ(shown[0], dirs.list(0));  // the root shows in full
  EXPECT_EQ(shown[static_cast<std::size_t>(dirs.currentRow()) + 1], L"A_sub");
  EXPECT_EQ(shown.back(), L"b_sub");
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), dirs.currentRow());

  int clicks = 0, changes = 0;
  dirs.onClick = [&] { ++clicks; };
  dirs.onChange = [&] { ++changes; };
  const int sub = dirs.currentRow() + 1;
  userSelects(dirs, sub, LBN_SELCHANGE);
  EXPECT_EQ(dirs.listIndex(), sub);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 0);

  userSelects(dirs, sub, LBN_DBLCLK);
  EXPECT_EQ(dirs.path(), root + L"\\A_sub");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(rows(list).back(), L"inner");

  // Backspace goes up, Enter goes into the selected folder.
  SendMessageW(list, WM_KEYDOWN, VK_BACK, 0);
  sys.doEvents();
  EXPECT_EQ(dirs.path(), root);
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(dirs.listCount() - 1), 0);
  SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
  sys.doEvents();
  EXPECT_EQ(dirs.path(), root + L"\\b_sub");
}

TEST_F(NativeListsTest, DriveAndFileListsMirrorTheirControls) {
  ASSERT_NO_FATAL_FAILURE(realise());
  HWND combo = inner(form->drives);
  EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), form->drives.listCount());
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), form->drives.listIndex());

  auto& files = form->files;
  HWND list = inner(files);
  EXPECT_EQ(rows(list), (std::vector<std::wstring>{L"x.txt", L"y.PNG"}));
  files.setPattern(L"*.png");
  EXPECT_EQ(rows(list), (std::vector<std::wstring>{L"y.PNG"}));
  int opens = 0;
  files.onDblClick = [&] { ++opens; };
  userSelects(files, 0, LBN_DBLCLK);
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(files.fileName(), L"y.PNG");
}

}  // namespace
}  // namespace pelnoro
