// The keyboard: which command a key with its modifiers stands for in each state of the
// program. Every command is one a button or a menu entry already has; the key runs it
// through the same handler.
#pragma once

#include <span>
#include <string>

namespace pelnoro::app {

// What the program shows when a key comes.
enum class KeyState {
  kIdle,
  kCapture,     // the frozen screen
  kImageWaits,  // a cut or an opened picture, the save panel closed
  kSavePanel,
};

enum class KeyCommand {
  kMovePointer,  // by dx, dy pixels
  kMark,         // a selection starts, or ends, at the pointer
  kCut,
  kClear,
  kCopy,  // the image as shown to the clipboard
  kOpenSavePanel,
  kSave,
  kCancelSave,
  kMenuEntry,  // the command of that entry of the menu's table
};

struct KeyBinding {
  int keyCode;
  int shift;  // exactly these modifiers
  KeyState state;
  KeyCommand command;
  const wchar_t* keyName;  // as tool tips and the README name it
  int dx = 0, dy = 0;
  const wchar_t* menuEntry = L"";
  // Held down, the key repeats the command.
  bool repeats = false;
};

// The shutter's key works wherever the focus is, in every state.
inline constexpr const wchar_t* kShutterKeyName = L"Print Screen";

std::span<const KeyBinding> KeyBindings();
// The binding of that key in that state; null when it stands for nothing there.
const KeyBinding* FindKeyBinding(int keyCode, int shift, KeyState state);
// "切り取り (Enter)": a button's caption with the key of its command, for its tool tip.
std::wstring WithKeyName(const std::wstring& caption, KeyCommand command, KeyState state);

}  // namespace pelnoro::app
