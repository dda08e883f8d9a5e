// The windows' design-time pictures, drawn by code so that no image file ships.
#pragma once

#include <memory>

#include "image/surface.h"

namespace pelnoro::app {

using Picture = std::shared_ptr<const image::Surface>;

Picture MainWindowSkin();  // 246 x 156
Picture ShutterPicture();  // a camera lens
Picture CutPicture();      // scissors

}  // namespace pelnoro::app
