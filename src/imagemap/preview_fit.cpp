#include "imagemap/preview_fit.h"

#include <algorithm>
#include <cmath>

namespace pelnoro::imagemap {

namespace {

// Nearest integer, halves to even. Kept in a double: a very tall picture's
// intermediate height can exceed 16 bits, and only the final sizes (at most 200)
// have to fit into one.
double roundHalfEven(double v) {
  const double f = std::floor(v), d = v - f;
  if (d > 0.5) return f + 1;
  if (d < 0.5) return f;
  return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

}  // namespace

PreviewFit FitPreview(int naturalWidth, int naturalHeight) {
  const double w2 = naturalWidth, h2 = naturalHeight;
  double t = 0, u = 0;
  // The quotients are taken first, then multiplied, so that halves fall exactly
  // where the dialog has always put them.
  if (naturalWidth > 200) {
    u = roundHalfEven(200 / w2 * h2);
    t = 200;
    if (u >= 151) {
      t = roundHalfEven(150 / u * 200);
      u = 150;
    }
  } else if (naturalHeight > 150) {
    t = roundHalfEven(150 / h2 * w2);
    u = 150;
    if (t >= 201) {
      u = roundHalfEven(200 / t * 150);
      t = 200;
    }
  } else {
    t = w2;
    u = h2;
  }
  PreviewFit fit;
  fit.width = static_cast<int>(t);
  fit.height = static_cast<int>(u);
  fit.left = 476 - t / 2;
  fit.top = 107 - u / 2;
  return fit;
}

int PreviewShrink(int naturalWidth, int naturalHeight, const PreviewFit& fit) {
  if (fit.width <= 0 || fit.height <= 0) return 1;
  return std::max(1, std::min(naturalWidth / (2 * fit.width), naturalHeight / (2 * fit.height)));
}

}  // namespace pelnoro::imagemap
