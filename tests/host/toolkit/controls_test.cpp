// What a list box's peer learns about its rows: only what changed, so that a
// list filled row by row costs one native row per row.
#include "toolkit/controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "toolkit/form.h"

namespace pelnoro {
namespace {

using K = tk::RowChange::Kind;

// A peer keeping its own copy of the rows from the changes alone, reading a
// row's text only where a change names it. It looks at the changes on every
// sync, or only when told to (as a peer that waits for the message loop would).
class MirrorPeer : public tk::ControlPeer {
 public:
  MirrorPeer(tk::ListBox& list, bool eager) : list_(list), eager_(eager) {}
  void sync(tk::Prop what) override {
    if (what == tk::Prop::Items && eager_) take();
  }
  void take() {
    const tk::RowChange c = list_.takeRowChange();
    seen.push_back(c);
    switch (c.kind) {
      case K::None:
        break;
      case K::Inserted:
        for (int i = c.first; i < c.first + c.count; ++i) {
          rows.insert(rows.begin() + i, list_.list(i));
          ++rowsRead;
        }
        break;
      case K::Removed:
        rows.erase(rows.begin() + c.first, rows.begin() + c.first + c.count);
        break;
      case K::Replaced:
        rows[static_cast<std::size_t>(c.first)] = list_.list(c.first);
        ++rowsRead;
        break;
      case K::Reset:
        rows = list_.items();
        rowsRead += list_.listCount();
        break;
    }
  }

  std::vector<tk::RowChange> seen;
  std::vector<std::wstring> rows;
  long rowsRead = 0;

 private:
  tk::ListBox& list_;
  bool eager_;
};

struct ListForm {
  tk::Form form{L"Form1"};
  tk::ListBox list{&form, L"List1"};
  MirrorPeer* peer = nullptr;
  explicit ListForm(bool eager = true) {
    auto p = std::make_unique<MirrorPeer>(list, eager);
    peer = p.get();
    list.setPeer(std::move(p));
  }
};

std::wstring row(int i) {
  return L"row " + std::to_wstring(i);
}

TEST(ListBoxChanges, EachEditReachesThePeerAsJustThatEdit) {
  ListForm f;
  for (int i = 0; i < 3; ++i) f.list.addItem(row(i));
  f.list.insertItem(0, L"first");
  f.list.insertItem(99, L"last");  // past the end: appended
  f.list.removeItem(2);
  f.list.removeItem(-1);  // no such rows: nothing happens
  f.list.removeItem(f.list.listCount());
  f.list.setList(1, L"new");
  f.list.setList(7, L"nowhere");
  f.list.clear();
  const std::vector<tk::RowChange> want = {
      {K::Inserted, 0, 1}, {K::Inserted, 1, 1}, {K::Inserted, 2, 1}, {K::Inserted, 0, 1},
      {K::Inserted, 4, 1}, {K::Removed, 2, 1},  {K::Replaced, 1, 1}, {K::Reset, 0, 0}};
  EXPECT_EQ(f.peer->seen, want);
  EXPECT_TRUE(f.peer->rows.empty());
}

TEST(ListBoxChanges, FillingRowByRowNeverRebuildsTheList) {
  // Row by row, after a clear too: each row is read once, never the whole list again.
  ListForm f;
  constexpr int n = 2000;
  for (int round = 0; round < 2; ++round) {
    f.list.clear();
    f.peer->seen.clear();
    f.peer->rowsRead = 0;
    for (int i = 0; i < n; ++i) f.list.addItem(row(i));
    ASSERT_EQ(f.peer->seen.size(), static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      ASSERT_EQ(f.peer->seen[static_cast<std::size_t>(i)], (tk::RowChange{K::Inserted, i, 1}));
    }
    EXPECT_EQ(f.peer->rowsRead, n);
    EXPECT_EQ(f.peer->rows, f.list.items());
  }
}

TEST(ListBoxChanges, EditsWaitingForThePeerCombineIntoOneRunOrAReset) {
  ListForm f(false);
  for (int i = 0; i < 1000; ++i) f.list.addItem(row(i));
  f.peer->take();
  EXPECT_EQ(f.peer->seen.back(), (tk::RowChange{K::Inserted, 0, 1000}));

  // A clear and a refill: one Reset, the rows read once.
  f.peer->rowsRead = 0;
  f.list.clear();
  for (int i = 0; i < 500; ++i) f.list.addItem(row(i));
  f.peer->take();
  EXPECT_EQ(f.peer->seen.back(), (tk::RowChange{K::Reset, 0, 0}));
  EXPECT_EQ(f.peer->rowsRead, 500);

  // Rows inserted at the top, one above the other, stay one block.
  f.list.insertItem(0, L"b");
  f.list.insertItem(0, L"a");
  f.list.setList(1, L"B");
  f.peer->take();
  EXPECT_EQ(f.peer->seen.back(), (tk::RowChange{K::Inserted, 0, 2}));

  // Removing the rows below one row, as the menu closes a group; then from the back.
  for (int i = 0; i < 5; ++i) f.list.removeItem(10);
  f.peer->take();
  EXPECT_EQ(f.peer->seen.back(), (tk::RowChange{K::Removed, 10, 5}));
  for (int i = 20; i > 17; --i) f.list.removeItem(i);
  f.peer->take();
  EXPECT_EQ(f.peer->seen.back(), (tk::RowChange{K::Removed, 18, 3}));

  // A mix that no run describes.
  f.list.addItem(L"end");
  f.list.removeItem(0);
  f.peer->take();
  EXPECT_EQ(f.peer->seen.back(), (tk::RowChange{K::Reset, 0, 0}));
  f.peer->take();
  EXPECT_EQ(f.peer->seen.back(), (tk::RowChange{K::None, 0, 0}));
  EXPECT_EQ(f.peer->rows, f.list.items());
}

TEST(ListBoxChanges, APeerFollowingTheChangesEndsWithTheControlsRows) {
  // Random edits, the peer looking after every edit or only now and then.
  for (const bool eager : {true, false}) {
    ListForm f(eager);
    std::mt19937 random(eager ? 7 : 11);
    int next = 0, last = 0;
    std::size_t seen = 0;
    for (int step = 0; step < 4000; ++step) {
      // Often next to the row edited before, where edits combine.
      const int n = f.list.listCount();
      int at = random() % 2 ? last + static_cast<int>(random() % 4) - 1
                            : static_cast<int>(random() % static_cast<unsigned>(n + 1));
      at = n ? std::clamp(at, 0, n - 1) : 0;
      last = at;
      switch (random() % 8) {
        case 0:
        case 1:
        case 2:
          f.list.addItem(row(next++));
          break;
        case 3:
          f.list.insertItem(at, row(next++));
          break;
        case 4:
          f.list.removeItem(at);
          break;
        case 5:
          f.list.setList(at, row(next++));
          break;
        case 6:
          if (random() % 20 == 0) f.list.clear();
          break;
        default:
          f.list.removeItem(at);
          f.list.removeItem(at);
          break;
      }
      if (!eager && random() % 5 == 0) f.peer->take();
      if (f.peer->seen.size() > seen) {
        seen = f.peer->seen.size();
        ASSERT_EQ(f.peer->rows, f.list.items()) << "step " << step;
      }
    }
    f.peer->take();
    EXPECT_EQ(f.peer->rows, f.list.items()) << (eager ? "eager" : "lazy");
  }
}

TEST(ListBoxChanges, SelectionFollowsItsRow) {
  ListForm f;
  for (int i = 0; i < 5; ++i) f.list.addItem(row(i));
  f.list.setListIndex(2);
  f.list.insertItem(0, L"top");
  EXPECT_EQ(f.list.listIndex(), 3);
  f.list.insertItem(4, L"below");
  EXPECT_EQ(f.list.listIndex(), 3);
  f.list.removeItem(0);
  EXPECT_EQ(f.list.listIndex(), 2);
  f.list.setList(2, L"renamed");
  EXPECT_EQ(f.list.listIndex(), 2);
  f.list.removeItem(2);
  EXPECT_EQ(f.list.listIndex(), -1);
  f.list.setListIndex(f.list.listCount());
  EXPECT_EQ(f.list.listIndex(), -1);
}

}  // namespace
}  // namespace pelnoro
