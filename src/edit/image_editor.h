// The menu's image commands: turns, mirrors, mosaic, undo, reset and replace, all on
// the images of the picture window. The pixel work is done on whole buffers, so each
// change is finished before the next event; a change that waits for the user (the
// replace question) holds the others off until it is answered.
#pragma once

#include <functional>
#include <string>

#include "capture/form_pic.h"
#include "program/app_state.h"
#include "program/prompt.h"

namespace pelnoro::edit {

class ImageEditor {
 public:
  ImageEditor(program::AppState& state, capture::FormPic& pic, program::Prompt& prompt);

  // Wired by the program: takes the main window out of view (true) and back (false).
  std::function<void(bool aside)> mainWindowAside;

  // A menu turn or mirror: the undo image is taken, then the operation runs.
  // Codes "R90", "R270" (quarter turns), "R180", "RF", "UD".
  void Turn(const std::wstring& code);
  void RotateQuarterTurn(const std::wstring& code);
  void RotateHalfOrFlip(const std::wstring& code);
  void ApplyMosaic();
  void UndoEdit();
  void ResetEdit();
  void ReplaceOriginal();

 private:
  // Whether a change may start now: there is an image and no other change runs.
  bool mayChange() const;

  program::AppState& state_;
  capture::FormPic& pic_;
  program::Prompt& prompt_;
};

}  // namespace pelnoro::edit
