#include "imagemap/link_mode.h"

namespace pelnoro::imagemap {

// Link mode cannot be entered yet: the menu entries change nothing.
void StartLinkSetting(app::Application&) {}
void FinishLinkSetting(app::Application&) {}

}  // namespace pelnoro::imagemap
