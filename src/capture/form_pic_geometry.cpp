#include "capture/form_pic_geometry.h"

#include "system/number_text.h"

namespace pelnoro::capture {

std::optional<PixelSize> FitToBox(double w, double h, int w2, int h2) {
  // A zero size would divide by zero below: like a negative one, it changes nothing.
  if (w <= 0 || h <= 0 || w2 <= 0 || h2 <= 0) return std::nullopt;
  const long c = sys::RoundHalfEven(w), d = sys::RoundHalfEven(h);
  if (c <= 0 || d <= 0) return std::nullopt;
  // The shapes are compared in single precision.
  const float imageRatio = static_cast<float>(w2) / static_cast<float>(h2);
  const float boxRatio = static_cast<float>(c) / static_cast<float>(d);
  if (imageRatio > boxRatio) {
    return PixelSize{static_cast<int>(c),
                     static_cast<int>(sys::RoundHalfEven(static_cast<double>(c) * h2 / w2))};
  }
  return PixelSize{static_cast<int>(sys::RoundHalfEven(static_cast<double>(d) * w2 / h2)),
                   static_cast<int>(d)};
}

PixelSize PictureWindowSize(Framing framing, int w, int h) {
  switch (framing) {
    case Framing::kCut:
      return {w + 2 * kImageMargin, h + 2 * kImageMargin};
    case Framing::kEdited:
      return {w + 38, h + 53};
    case Framing::kOpened:
      return {w + 40, h + 50};
  }
  return {w, h};
}

}  // namespace pelnoro::capture
