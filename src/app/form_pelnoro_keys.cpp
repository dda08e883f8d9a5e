// The keyboard: the shutter's key wherever the focus is, and the keys of a clip, each
// running the handler of the button or menu entry it stands for.
#include "app/application.h"
#include "app/form_pelnoro.h"
#include "app/texts.h"
#include "capture/form_pic.h"
#include "output/texts.h"
#include "program/run_error.h"

namespace pelnoro::app {

void FormPELNORO::TakeShutterKey() {
  const bool taken =
      app_.sys().registerHotKey(tk::kKeyPrintScreen, [this] { Imageシャッターボタン_Click(); });
  if (taken) {
    Imageシャッターボタン.setToolTip(std::wstring(text::kShutter) + L" (" + kShutterKeyName + L")");
  } else {
    // The program works without it; the user learns why the key does nothing.
    Labelステータス.setCaption(text::kShutterKeyTaken);
  }
}

KeyState FormPELNORO::keyState() {
  auto& pic = app_.pic();
  if (app_.state().CaptureActive && pic.PicturePic_Screen.visible()) return KeyState::kCapture;
  if (Label保存実行.visible()) return KeyState::kSavePanel;
  if (pic.HasEditImage()) return KeyState::kImageWaits;
  return KeyState::kIdle;
}

bool FormPELNORO::Form_KeyDown(const tk::KeyPress& key) {
  // A waiting question covers the menu and the save panel: only its own buttons answer.
  if (promptDepth() > 0) return false;
  const KeyBinding* binding = FindKeyBinding(key.keyCode, key.shift, keyState());
  if (!binding) return false;
  // A held Enter must not cut and then save; only the pointer keeps moving.
  if (key.repeat && !binding->repeats) return true;
  runKeyCommand(*binding);
  return true;
}

void FormPELNORO::runKeyCommand(const KeyBinding& key) {
  auto& pic = app_.pic();
  // A selection begun with Space and not yet ended ends at the pointer before a cut or
  // a clear, as a mouse's drag ends with its release before the button is clicked.
  const bool endsSelection = key.command == KeyCommand::kCut || key.command == KeyCommand::kClear;
  if (endsSelection && key.state == KeyState::kCapture && app_.state().SelectDragging) {
    pic.MarkAtPointer();
  }
  switch (key.command) {
    case KeyCommand::kMovePointer:
      pic.MovePointerBy(key.dx, key.dy);
      break;
    case KeyCommand::kMark:
      pic.MarkAtPointer();
      break;
    case KeyCommand::kCut:
      Image切り取りボタン_Click();
      // The loupe, which had the keys, has left the screen; they go on to the main
      // window, where a click on the cut button would have left them.
      if (!app_.state().CaptureActive) setTopmost();
      break;
    case KeyCommand::kClear:
      Labelクリア_Click();
      break;
    case KeyCommand::kCopy:
      copyShownImage();
      break;
    case KeyCommand::kOpenSavePanel:
      Label保存開く_Click();
      break;
    case KeyCommand::kSave:
      Label保存実行_Click();
      break;
    case KeyCommand::kCancelSave:
      Label保存キャンセル_Click();
      break;
    case KeyCommand::kMenuEntry:
      runMenuEntry(key.menuEntry);
      break;
  }
}

void FormPELNORO::runMenuEntry(const std::wstring& entry) {
  for (std::size_t i = 0; i < menuTable_.size(); ++i) {
    if (menuTable_[i] != entry) continue;
    SelectedMenuEntry = entry;
    runMenuCommand(static_cast<int>(i));
    return;
  }
}

void FormPELNORO::copyShownImage() {
  auto& sys = app_.sys();
  // Half turned, the image is not yet the one shown.
  if (app_.state().ImageChanging) return;
  sys.clearClipboard();
  if (sys.setClipboardBitmap(app_.pic().Picture_CHANGE1.surface())) {
    Labelステータス.setCaption(text::kImageCopied);
    return;
  }
  // As the clipboard delivery reports it, but the image stays: it can still be saved.
  sys.messageBox(
      program::ErrorMessageText(521, output::text::kErrorSource, output::text::kClipboardFailed),
      output::text::kErrorTitle, sys::kMbOk);
}

}  // namespace pelnoro::app
