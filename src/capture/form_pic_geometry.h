// Size rules of the picture window and its edit image.
#pragma once

#include <optional>

namespace pelnoro::capture {

struct PixelSize {
  int width = 0, height = 0;
  bool operator==(const PixelSize&) const = default;
};

// The size a w2 x h2 working image is scaled to so that it fits a box of w x h pixels
// from its top-left corner, keeping its shape; nothing for a box without area.
std::optional<PixelSize> FitToBox(double w, double h, int w2, int h2);

// How the picture window frames its image: after a cut the image has a 15-pixel margin
// all round; after a turn or an undo the window gets room for its sizable frame too;
// an opened picture gets a little more.
enum class Framing { kCut, kEdited, kOpened };

// The picture window's outer size in pixels around an image of w x h.
PixelSize PictureWindowSize(Framing framing, int w, int h);

// Where the image stands in the window's client area, pixels from the left and the top.
inline constexpr int kImageMargin = 15;

// The largest side a cut or an opened picture may have: beyond it the image can be
// neither encoded nor shown.
inline constexpr int kMaxImageSide = 16384;

}  // namespace pelnoro::capture
