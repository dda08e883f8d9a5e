// A list box realised as a native list, edited row by row the way the program
// fills its history and settings lists.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native_control.h"
#include "toolkit/controls.h"

namespace pelnoro {
namespace {

class NativeListBoxTest : public testing::NativeControlTest<tk::ListBox> {
 protected:
  void SetUp() override { realise(4500, 4500, 3000, 3000); }

  HWND list() const { return native(); }

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
    EXPECT_EQ(nativeRows(), f.control.items()) << step;
    EXPECT_EQ(SendMessageW(list(), LB_GETCURSEL, 0, 0), f.control.listIndex()) << step;
  }
};

TEST_F(NativeListBoxTest, RowsAndSelectionFollowEveryKindOfEdit) {
  for (int i = 0; i < 20; ++i) f.control.addItem(L"row " + std::to_wstring(i));
  f.control.setListIndex(5);
  expectMirrored("appended, row 5 selected");

  f.control.insertItem(0, L"top");
  ASSERT_EQ(f.control.listIndex(), 6);
  expectMirrored("inserted at the top");
  f.control.removeItem(10);
  expectMirrored("a row below the selection removed");
  f.control.removeItem(2);
  ASSERT_EQ(f.control.listIndex(), 5);
  expectMirrored("a row above the selection removed");
  f.control.setList(5, L"replaced");
  expectMirrored("the selected row replaced");
  f.control.setList(0, L"first replaced");
  expectMirrored("another row replaced");
  f.control.removeItem(5);
  ASSERT_EQ(f.control.listIndex(), -1);
  expectMirrored("the selected row removed");

  f.control.clear();
  expectMirrored("cleared");
  for (int i = 0; i < 50; ++i) f.control.addItem(L"again " + std::to_wstring(i));
  f.control.setListIndex(49);
  expectMirrored("refilled");
  sys.doEvents();
  expectMirrored("after the message loop ran");
}

TEST_F(NativeListBoxTest, AppendingKeepsTheRowsTheListAlreadyHad) {
  for (int i = 0; i < 10; ++i) f.control.addItem(L"row " + std::to_wstring(i));
  // Native data on a row survives only if the row was never made again.
  SendMessageW(list(), LB_SETITEMDATA, 3, 1234);
  for (int i = 10; i < 20; ++i) f.control.addItem(L"row " + std::to_wstring(i));
  f.control.insertItem(15, L"inserted");
  f.control.setList(12, L"replaced");
  f.control.removeItem(18);
  EXPECT_EQ(SendMessageW(list(), LB_GETITEMDATA, 3, 0), 1234);
  expectMirrored("after appends, an insert, a replace and a removal below");
}

TEST_F(NativeListBoxTest, ALongListScrollsToItsEndAndTakesClicksThere) {
  constexpr int kRows = 5000;
  for (int i = 0; i < kRows; ++i) f.control.addItem(L"row " + std::to_wstring(i));
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
  f.control.onClick = [&] { ++clicks; };
  SendMessageW(list(), LB_SETCURSEL, kRows - 2, 0);
  SendMessageW(GetParent(list()), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list()));
  EXPECT_EQ(f.control.listIndex(), kRows - 2);
  EXPECT_EQ(clicks, 1);
  // A row added below keeps the place scrolled to and the selection.
  f.control.addItem(L"one more");
  EXPECT_EQ(SendMessageW(list(), LB_GETTOPINDEX, 0, 0), top);
  expectMirrored("one more row at the end");
}

TEST_F(NativeListBoxTest, EveryPressOnARowIsAClickTheSecondOfADoubleClickToo) {
  for (int i = 0; i < 6; ++i) f.control.addItem(L"row " + std::to_wstring(i));
  std::vector<int> clicked;
  f.control.onClick = [&] { clicked.push_back(f.control.listIndex()); };
  // The messages quick clicks give: a press, and within the double-click time the
  // double-click press in its place.
  struct Case {
    int row;
    std::vector<UINT> presses;
    std::vector<int> clicks;
  } cases[] = {
      {1, {WM_LBUTTONDOWN}, {1}},
      {3, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}, {3, 3}},
      {0, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}, {0, 0, 0, 0}},
      {5, {WM_LBUTTONDBLCLK}, {5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    clicked.clear();
    RECT r{};
    SendMessageW(list(), LB_GETITEMRECT, static_cast<WPARAM>(c.row), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
    for (UINT press : c.presses) {
      SendMessageW(list(), press, MK_LBUTTON, at);
      SendMessageW(list(), WM_LBUTTONUP, 0, at);
    }
    EXPECT_EQ(clicked, c.clicks);
  }
}

}  // namespace
}  // namespace pelnoro
