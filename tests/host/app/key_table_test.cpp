// The key table: what each key with its modifiers stands for in each state.
#include "app/key_table.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "toolkit/form.h"

namespace pelnoro {
namespace {

using app::KeyCommand;
using app::KeyState;

TEST(KeyTable, EachKeyStandsForOneCommandInItsState) {
  struct Case {
    int key, shift;
    KeyState state;
    bool bound;
    KeyCommand command;
    int dx, dy;
  };
  const int ctrl = tk::kCtrlKey, shift = tk::kShiftKey;
  const Case cases[] = {
      {tk::kKeyLeft, 0, KeyState::kCapture, true, KeyCommand::kMovePointer, -1, 0},
      {tk::kKeyRight, 0, KeyState::kCapture, true, KeyCommand::kMovePointer, 1, 0},
      {tk::kKeyUp, 0, KeyState::kCapture, true, KeyCommand::kMovePointer, 0, -1},
      {tk::kKeyDown, 0, KeyState::kCapture, true, KeyCommand::kMovePointer, 0, 1},
      {tk::kKeyLeft, shift, KeyState::kCapture, true, KeyCommand::kMovePointer, -10, 0},
      {tk::kKeyDown, shift, KeyState::kCapture, true, KeyCommand::kMovePointer, 0, 10},
      {tk::kKeyUp, shift, KeyState::kCapture, true, KeyCommand::kMovePointer, 0, -10},
      // Other modifiers are other keys.
      {tk::kKeyLeft, ctrl, KeyState::kCapture, false, {}, 0, 0},
      {tk::kKeyLeft, 0, KeyState::kImageWaits, false, {}, 0, 0},
      {tk::kKeySpace, 0, KeyState::kCapture, true, KeyCommand::kMark, 0, 0},
      {tk::kKeySpace, 0, KeyState::kImageWaits, false, {}, 0, 0},
      {tk::kKeyReturn, 0, KeyState::kCapture, true, KeyCommand::kCut, 0, 0},
      {tk::kKeyReturn, 0, KeyState::kImageWaits, false, {}, 0, 0},
      {tk::kKeyReturn, 0, KeyState::kSavePanel, true, KeyCommand::kSave, 0, 0},
      {tk::kKeyEscape, 0, KeyState::kCapture, true, KeyCommand::kClear, 0, 0},
      {tk::kKeyEscape, 0, KeyState::kImageWaits, true, KeyCommand::kClear, 0, 0},
      {tk::kKeyEscape, 0, KeyState::kSavePanel, true, KeyCommand::kCancelSave, 0, 0},
      {tk::kKeyEscape, 0, KeyState::kIdle, false, {}, 0, 0},
      {'C', ctrl, KeyState::kImageWaits, true, KeyCommand::kCopy, 0, 0},
      {'C', 0, KeyState::kImageWaits, false, {}, 0, 0},
      {'C', ctrl | shift, KeyState::kImageWaits, false, {}, 0, 0},
      {'C', ctrl, KeyState::kCapture, false, {}, 0, 0},
      {'S', ctrl, KeyState::kImageWaits, true, KeyCommand::kOpenSavePanel, 0, 0},
      {'S', ctrl, KeyState::kSavePanel, false, {}, 0, 0},
      {'Z', ctrl, KeyState::kImageWaits, true, KeyCommand::kMenuEntry, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "key " << c.key << " shift " << c.shift << " state "
                                      << static_cast<int>(c.state));
    const app::KeyBinding* k = app::FindKeyBinding(c.key, c.shift, c.state);
    ASSERT_EQ(k != nullptr, c.bound);
    if (!k) continue;
    EXPECT_EQ(k->command, c.command);
    EXPECT_EQ(k->dx, c.dx);
    EXPECT_EQ(k->dy, c.dy);
    // Only the pointer keeps moving while a key is held.
    EXPECT_EQ(k->repeats, c.command == KeyCommand::kMovePointer);
  }
}

TEST(KeyTable, TurnsAndUndoNameTheMenuEntriesAndNoKeyStandsTwice) {
  const std::tuple<int, const wchar_t*> entries[] = {
      {'Z', L"2t取り消し"}, {'R', L"2t90°"}, {'L', L"2t270°"}};
  for (const auto& [key, entry] : entries) {
    const app::KeyBinding* k = app::FindKeyBinding(key, tk::kCtrlKey, KeyState::kImageWaits);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(std::wstring(k->menuEntry), entry);
  }
  std::set<std::tuple<int, int, KeyState>> seen;
  for (const app::KeyBinding& k : app::KeyBindings()) {
    EXPECT_TRUE(seen.insert({k.keyCode, k.shift, k.state}).second) << k.keyCode;
  }
  EXPECT_EQ(app::WithKeyName(L"切り取り", KeyCommand::kCut, KeyState::kCapture),
            L"切り取り (Enter)");
  EXPECT_EQ(app::WithKeyName(L"保存", KeyCommand::kOpenSavePanel, KeyState::kImageWaits),
            L"保存 (Ctrl+S)");
  EXPECT_EQ(app::WithKeyName(L"保存", KeyCommand::kOpenSavePanel, KeyState::kCapture), L"保存");
}

}  // namespace
}  // namespace pelnoro
