#include "toolkit/geometry.h"

#include <algorithm>

namespace pelnoro::tk {

Box PlaceBeside(const Box& anchor, double width, double height, double screenWidth,
                double screenHeight) {
  const double room = std::max(0.0, screenWidth - width);
  const double left = std::clamp(anchor.right() - width, 0.0, room);
  const double top =
      anchor.bottom() + height > screenHeight ? anchor.top - height : anchor.bottom();
  return {left, top, width, height};
}

Box StartPlace(double x, double y, double width, double height, double screenWidth,
               double screenHeight) {
  const double left = x + width < screenWidth ? x : screenWidth - width - 200;
  const double top = y + height < screenHeight ? y : screenHeight - height - 200;
  return {std::max(left, 0.0), std::max(top, 0.0), width, height};
}

Box Centred(double width, double height, double screenWidth, double screenHeight) {
  return {screenWidth / 2 - width / 2, screenHeight / 2 - height / 2, width, height};
}

}  // namespace pelnoro::tk
