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

// Where a window of width x height saved at (x, y) starts: pushed back 200 twips inside
// the right and bottom edges when it would pass them, and onto the screen at the left
// and top, so that a position left by a monitor that is gone never hides the window.
Box StartPlace(double x, double y, double width, double height, double screenWidth,
               double screenHeight);

// Centred on the screen.
Box Centred(double width, double height, double screenWidth, double screenHeight);

}  // namespace pelnoro::tk
