// Link mode of the clickable-map authoring.
#pragma once

namespace pelnoro::app {
class Application;
}

namespace pelnoro::imagemap {

void StartLinkSetting(app::Application& app);
void FinishLinkSetting(app::Application& app);

}  // namespace pelnoro::imagemap
