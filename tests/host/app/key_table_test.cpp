// The key table: what each key with its modifiers stands for in each state.
#include "app/key_table.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "toolkit/form.h"

namespace pelnoro {
namespace {

using enum app::KeyCommand;
using enum app::KeyState;
constexpr int kCtrl = tk::kCtrlKey, kShift = tk::kShiftKey;
constexpr auto kNone = static_cast<app::KeyCommand>(-1);

TEST(KeyTable, EachKeyStandsForOneCommandInItsStateOnly) {
  const struct {
    int key, shift;
    app::KeyState state;
    app::KeyCommand command;
    int dx, dy;
  } cases[] = {{tk::kKeyLeft, kShift, kCapture, kMovePointer, -10, 0},
               {tk::kKeyUp, kShift, kCapture, kMovePointer, 0, -10},
               {tk::kKeyLeft, kCtrl, kCapture, kNone, 0, 0},
               {tk::kKeyLeft, 0, kImageWaits, kNone, 0, 0},
               {tk::kKeyEscape, 0, kIdle, kNone, 0, 0},
               {'C', kCtrl | kShift, kImageWaits, kNone, 0, 0},
               {'C', kCtrl, kCapture, kNone, 0, 0}};
  for (const auto& c : cases) {
    const app::KeyBinding* k = app::FindKeyBinding(c.key, c.shift, c.state);
    ASSERT_EQ(k ? k->command : kNone, c.command) << c.key << " shift " << c.shift;
    EXPECT_EQ(k ? std::pair(k->dx, k->dy) : std::pair(0, 0), std::pair(c.dx, c.dy)) << c.key;
  }
  std::set<std::tuple<int, int, app::KeyState>> seen;
  for (const app::KeyBinding& k : app::KeyBindings()) {
    EXPECT_TRUE(seen.insert({k.keyCode, k.shift, k.state}).second) << k.keyName;
  }
}

}  // namespace
}  // namespace pelnoro
