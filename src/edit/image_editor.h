// The menu's image commands: turns, mirrors, mosaic, undo, reset and replace, all on
// the images of the picture window.
#pragma once

#include <functional>
#include <string>

#include "capture/form_pic.h"
#include "program/app_state.h"
#include "program/prompt.h"
#include "system/system.h"

namespace pelnoro::edit {

class ImageEditor {
 public:
  ImageEditor(sys::System& sys, program::AppState& state, capture::FormPic& pic,
              program::Prompt& prompt);

  // Wired by the program: takes the main window out of view, and back on a second call.
  std::function<void()> toggleMainWindow;

  // Operation codes: "R90", "R270".
  void RotateQuarterTurn(const std::wstring& code);
  // Operation codes: "R180", "RF", "UD".
  void RotateHalfOrFlip(const std::wstring& code);
  void ApplyMosaic();
  void UndoEdit();
  void ResetEdit();
  void ReplaceOriginal();

 private:
  sys::System& sys_;
  program::AppState& state_;
  capture::FormPic& pic_;
  program::Prompt& prompt_;
};

}  // namespace pelnoro::edit
