// The menu's image commands: turns, mirrors, mosaic, undo, reset, replace.
#pragma once

#include <string>

namespace pelnoro::app {
class Application;
}

namespace pelnoro::edit {

// Operation codes: "R90", "R270".
void RotateQuarterTurn(app::Application& app, const std::wstring& op);
// Operation codes: "R180", "RF", "UD".
void RotateHalfOrFlip(app::Application& app, const std::wstring& op);
void ApplyMosaic(app::Application& app);
void UndoEdit(app::Application& app);
void ResetEdit(app::Application& app);
void ReplaceOriginal(app::Application& app);

}  // namespace pelnoro::edit
