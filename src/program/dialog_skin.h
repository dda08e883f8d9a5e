// The 600 x 300 background picture of the borderless dialogs (property box, folder
// chooser, link-target dialog).
#pragma once

#include <memory>

#include "image/surface.h"

namespace pelnoro::program {

std::shared_ptr<const image::Surface> DialogSkin();

}  // namespace pelnoro::program
