// Where windows go on the screen: plain rules on rectangles in twips.
#pragma once

namespace pelnoro::tk {

struct Box {
  double left = 0, top = 0, width = 0, height = 0;
  double right() const { return left + width; }
  double bottom() const { return top + height; }
  bool operator==(const Box&) const = default;
};

// A window of width x height next to `anchor`: right edges aligned, directly below the
// anchor, or directly above it when below would pass the screen's bottom. A window wider
// than the anchor would reach past the screen's left edge near it, so its left edge is
// kept on the screen.
Box PlaceBeside(const Box& anchor, double width, double height, double screenWidth,
                double screenHeight);

// Centred on the screen.
Box Centred(double width, double height, double screenWidth, double screenHeight);

}  // namespace pelnoro::tk
