// Turns, mirrors and the mosaic of the cut image, on whole buffers.
#pragma once

#include "image/surface.h"

namespace pelnoro::image {

// Quarter turn into an H x W result. Clockwise ("R90"): source (x, y) goes to
// (H - 1 - y, x); counter-clockwise ("R270"): (x, y) goes to (y, W - 1 - x).
Surface RotateQuarter(const Surface& src, bool clockwise);

// Half turn ("R180"): (x, y) goes to (W - 1 - x, H - 1 - y).
Surface RotateHalf(const Surface& src);

// Left-right mirror ("RF"): (x, y) goes to (W - 1 - x, y).
Surface MirrorLeftRight(const Surface& src);

// Top-bottom mirror ("UD"): (x, y) goes to (x, H - 1 - y).
Surface MirrorTopBottom(const Surface& src);

// Mosaic over the selection (sx, sy)-(ex, ey). Block left edges run sx, sx + block, ...
// while bx <= ex - block; top edges sy, sy + block, ... while by <= ey - block, or just
// sy when the selection is lower than one block. Blocks are made column by column
// (each column top to bottom, columns left to right). A block averages its
// block x block samples of the image as it stands by then (samples outside the
// surface left out; none inside gives black), each channel rounded to nearest with
// halves to even, and fills (bx, by)-(bx + block, by + block) with both corners
// included: one pixel more than it samples, which the next block then samples over.
// A block of 0 or less does nothing.
void Mosaic(Surface& s, int sx, int sy, int ex, int ey, int block = 6);

}  // namespace pelnoro::image
