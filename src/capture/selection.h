// Routines of the selection that other subsystems use too.
#pragma once

namespace pelnoro::app {
class Application;
}

namespace pelnoro::capture {

// Copies the edit image into the undo image and notes its size.
void SaveUndoImage(app::Application& app);

}  // namespace pelnoro::capture
