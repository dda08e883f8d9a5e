#include "app/key_table.h"

#include "toolkit/form.h"

namespace pelnoro::app {

namespace {

using enum KeyCommand;
using enum KeyState;

constexpr int kStep = 1;
// Shift moves ten times as far: across a screen quickly, the last pixels one by one.
constexpr int kLongStep = 10;

constexpr KeyBinding Move(int keyCode, int shift, const wchar_t* name, int dx, int dy) {
  return {keyCode, shift, kCapture, kMovePointer, name, dx, dy, L"", true};
}

constexpr KeyBinding kKeys[] = {
    Move(tk::kKeyLeft, 0, L"←", -kStep, 0),
    Move(tk::kKeyRight, 0, L"→", kStep, 0),
    Move(tk::kKeyUp, 0, L"↑", 0, -kStep),
    Move(tk::kKeyDown, 0, L"↓", 0, kStep),
    Move(tk::kKeyLeft, tk::kShiftKey, L"Shift+←", -kLongStep, 0),
    Move(tk::kKeyRight, tk::kShiftKey, L"Shift+→", kLongStep, 0),
    Move(tk::kKeyUp, tk::kShiftKey, L"Shift+↑", 0, -kLongStep),
    Move(tk::kKeyDown, tk::kShiftKey, L"Shift+↓", 0, kLongStep),
    {tk::kKeySpace, 0, kCapture, kMark, L"Space"},
    {tk::kKeyReturn, 0, kCapture, kCut, L"Enter"},
    {tk::kKeyEscape, 0, kCapture, kClear, L"Esc"},
    {'C', tk::kCtrlKey, kImageWaits, kCopy, L"Ctrl+C"},
    {'S', tk::kCtrlKey, kImageWaits, kOpenSavePanel, L"Ctrl+S"},
    {'Z', tk::kCtrlKey, kImageWaits, kMenuEntry, L"Ctrl+Z", 0, 0, L"2t取り消し"},
    {'R', tk::kCtrlKey, kImageWaits, kMenuEntry, L"Ctrl+R", 0, 0, L"2t90°"},
    {'L', tk::kCtrlKey, kImageWaits, kMenuEntry, L"Ctrl+L", 0, 0, L"2t270°"},
    {tk::kKeyEscape, 0, kImageWaits, kClear, L"Esc"},
    {tk::kKeyReturn, 0, kSavePanel, kSave, L"Enter"},
    {tk::kKeyEscape, 0, kSavePanel, kCancelSave, L"Esc"},
};

}  // namespace

std::span<const KeyBinding> KeyBindings() {
  return kKeys;
}

const KeyBinding* FindKeyBinding(int keyCode, int shift, KeyState state) {
  for (const KeyBinding& k : kKeys) {
    if (k.keyCode == keyCode && k.shift == shift && k.state == state) return &k;
  }
  return nullptr;
}

std::wstring WithKeyName(const std::wstring& caption, KeyCommand command, KeyState state) {
  for (const KeyBinding& k : kKeys) {
    if (k.command == command && k.state == state) return caption + L" (" + k.keyName + L")";
  }
  return caption;
}

}  // namespace pelnoro::app
