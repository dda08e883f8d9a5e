// The save panel of the main window.
#pragma once

namespace pelnoro::app {
class Application;
}

namespace pelnoro::output {

// Hides the panel's seven controls, then the file-name edit box.
void HideSavePanel(app::Application& app);

}  // namespace pelnoro::output
