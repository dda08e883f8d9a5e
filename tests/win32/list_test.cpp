// A list box realised as a native list, edited row by row the way the program
// fills its history and settings lists.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "win32/win32_peer_factory.h"
#include "win32/win32_system.h"

namespace pelnoro {
namespace {

class NativeListBoxTest : public ::testing::Test {
 protected:
  struct ListForm {
    tk::Form form{L"Form1"};
    tk::ListBox list{&form, L"List1"};
  };

  void SetUp() override {
    f.form.setBorderStyle(tk::BorderStyle::FixedSingle);
    f.form.move(1500, 1500, 4500, 4500);
    f.list.move(120, 120, 3000, 3000);
    win32::Win32PeerFactory peers(sys.twipsPerPixelX(), sys.twipsPerPixelY());
    peers.realise(f.form);
    f.form.show();
    sys.doEvents();
  }

  HWND list() const { return static_cast<HWND>(f.list.nativeTag); }

  std::vector<std::wstring> nativeRows() const {
    std::vector<std::wstring> out;
    const auto n = SendMessageW(list(), LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
      const auto len = SendMessageW(list(), LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
      std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
      SendMessageW(list(), LB_GETTEXT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(text.data()));
      text.resize(static_cast<std::size_t>(len));
      out.push_back(text);
    }
    return out;
  }

  void expectMirrored(const char* step) {
    EXPECT_EQ(nativeRows(), f.list.items()) << step;
    EXPECT_EQ(SendMessageW(list(), LB_GETCURSEL, 0, 0), f.list.listIndex()) << step;
  }

  win32::Win32System sys;
  ListForm f;
};

TEST_F(NativeListBoxTest, RowsAndSelectionFollowEveryKindOfEdit) {
  for (int i = 0; i < 20; ++i) f.list.addItem(L"row " + std::to_wstring(i));
  f.list.setListIndex(5);
  expectMirrored("appended, row 5 selected");

  f.list.insertItem(0, L"top");
  ASSERT_EQ(f.list.listIndex(), 6);
  expectMirrored("inserted at the top");
  f.list.removeItem(10);
  expectMirrored("a row below the selection removed");
  f.list.removeItem(2);
  ASSERT_EQ(f.list.listIndex(), 5);
  expectMirrored("a row above the selection removed");
  f.list.setList(5, L"replaced");
  expectMirrored("the selected row replaced");
  f.list.setList(0, L"first replaced");
  expectMirrored("another row replaced");
  f.list.removeItem(5);
  ASSERT_EQ(f.list.listIndex(), -1);
  expectMirrored("the selected row removed");

  f.list.clear();
  expectMirrored("cleared");
  for (int i = 0; i < 50; ++i) f.list.addItem(L"again " + std::to_wstring(i));
  f.list.setListIndex(49);
  expectMirrored("refilled");
  sys.doEvents();
  expectMirrored("after the message loop ran");
}

TEST_F(NativeListBoxTest, AppendingKeepsTheRowsTheListAlreadyHad) {
  for (int i = 0; i < 10; ++i) f.list.addItem(L"row " + std::to_wstring(i));
  // Native data on a row survives only if the row was never made again.
  SendMessageW(list(), LB_SETITEMDATA, 3, 1234);
  for (int i = 10; i < 20; ++i) f.list.addItem(L"row " + std::to_wstring(i));
  f.list.insertItem(15, L"inserted");
  f.list.setList(12, L"replaced");
  f.list.removeItem(18);
  EXPECT_EQ(SendMessageW(list(), LB_GETITEMDATA, 3, 0), 1234);
  expectMirrored("after appends, an insert, a replace and a removal below");
}

TEST_F(NativeListBoxTest, ALongListScrollsToItsEndAndTakesClicksThere) {
  constexpr int kRows = 5000;
  for (int i = 0; i < kRows; ++i) f.list.addItem(L"row " + std::to_wstring(i));
  sys.doEvents();  // the list draws again, with its scroll bar
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  ASSERT_TRUE(GetScrollInfo(list(), SB_VERT, &si));
  EXPECT_EQ(si.nMax, kRows - 1);
  EXPECT_GT(si.nPage, 1u);

  SendMessageW(list(), LB_SETTOPINDEX, kRows - 1, 0);
  sys.doEvents();
  const auto top = SendMessageW(list(), LB_GETTOPINDEX, 0, 0);
  EXPECT_GT(top, kRows - 100);
  RECT last{}, client{};
  SendMessageW(list(), LB_GETITEMRECT, kRows - 1, reinterpret_cast<LPARAM>(&last));
  GetClientRect(list(), &client);
  EXPECT_GT(last.top, 0);
  EXPECT_LE(last.bottom, client.bottom);

  int clicks = 0;
  f.list.onClick = [&] { ++clicks; };
  SendMessageW(list(), LB_SETCURSEL, kRows - 2, 0);
  SendMessageW(GetParent(list()), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list()));
  EXPECT_EQ(f.list.listIndex(), kRows - 2);
  EXPECT_EQ(clicks, 1);
  // A row added below keeps the place scrolled to and the selection.
  f.list.addItem(L"one more");
  EXPECT_EQ(SendMessageW(list(), LB_GETTOPINDEX, 0, 0), top);
  expectMirrored("one more row at the end");
}

}  // namespace
}  // namespace pelnoro
