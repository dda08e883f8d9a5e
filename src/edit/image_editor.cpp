#include "edit/image_editor.h"

namespace pelnoro::edit {

ImageEditor::ImageEditor(sys::System& sys, program::AppState& state, capture::FormPic& pic,
                         program::Prompt& prompt)
    : sys_(sys), state_(state), pic_(pic), prompt_(prompt) {}

// The image commands are reachable from the menu but change nothing yet.
void ImageEditor::RotateQuarterTurn(const std::wstring&) {}
void ImageEditor::RotateHalfOrFlip(const std::wstring&) {}
void ImageEditor::ApplyMosaic() {}
void ImageEditor::UndoEdit() {}
void ImageEditor::ResetEdit() {}
void ImageEditor::ReplaceOriginal() {}

}  // namespace pelnoro::edit
