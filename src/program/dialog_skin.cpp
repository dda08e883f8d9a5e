#include "program/dialog_skin.h"

#include "image/draw.h"

namespace pelnoro::program {

std::shared_ptr<const image::Surface> DialogSkin() {
  static const auto picture = [] {
    using namespace image;
    Surface s(600, 300);
    VerticalGradient(s, Rgb(0xEA, 0xF2, 0xFA), Rgb(0xD2, 0xE2, 0xF2));
    // A quiet band of light diagonal stripes along the bottom edge.
    for (int y = 240; y < 300; ++y) {
      for (int x = 0; x < 600; ++x) {
        if ((x + y) % 12 < 2) s.row(y)[x] = Mix(s.row(y)[x], Rgb(255, 255, 255), 0.35);
      }
    }
    return std::make_shared<const Surface>(std::move(s));
  }();
  return picture;
}

}  // namespace pelnoro::program
