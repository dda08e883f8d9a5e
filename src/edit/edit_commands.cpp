#include "edit/edit_commands.h"

namespace pelnoro::edit {

// The image commands are reachable from the menu but change nothing yet.
void RotateQuarterTurn(app::Application&, const std::wstring&) {}
void RotateHalfOrFlip(app::Application&, const std::wstring&) {}
void ApplyMosaic(app::Application&) {}
void UndoEdit(app::Application&) {}
void ResetEdit(app::Application&) {}
void ReplaceOriginal(app::Application&) {}

}  // namespace pelnoro::edit
