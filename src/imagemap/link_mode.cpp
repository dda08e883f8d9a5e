#include "imagemap/link_mode.h"

namespace pelnoro::imagemap {

// Link mode cannot be entered yet: the menu entries change nothing.
void LinkMode::StartLinkSetting() {}
void LinkMode::FinishLinkSetting() {}

}  // namespace pelnoro::imagemap
