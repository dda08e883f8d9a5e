// What the link-target dialog hands over for one area of the map.
#pragma once

#include <optional>
#include <string>

#include "capture/form_pic_geometry.h"

namespace pelnoro::imagemap {

struct AreaLink {
  std::wstring target;    // as typed or chosen, backslashes kept
  std::wstring fileName;  // the name of the file it names; its base names the popup
  // When the target is a picture: the size measured for the preview, which its popup
  // window gets (plus a margin).
  std::optional<capture::PixelSize> picture;
};

}  // namespace pelnoro::imagemap
