#include "app/skins.h"

#include <algorithm>
#include <cmath>

namespace pelnoro::app {

namespace {

using image::Surface;

std::uint32_t rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
         (static_cast<std::uint32_t>(b) << 16);
}

int channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

std::uint32_t mix(std::uint32_t a, std::uint32_t b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto m = [&](int s) {
    return static_cast<int>(std::lround(channel(a, s) * (1 - t) + channel(b, s) * t));
  };
  return rgb(m(0), m(8), m(16));
}

void verticalGradient(Surface& s, std::uint32_t top, std::uint32_t bottom) {
  for (int y = 0; y < s.height(); ++y) {
    const auto c = mix(top, bottom, s.height() > 1 ? double(y) / (s.height() - 1) : 0);
    std::fill(s.row(y), s.row(y) + s.width(), c);
  }
}

// Anti-aliased disc ring between radii r0 and r1 around (cx, cy).
void ring(Surface& s, double cx, double cy, double r0, double r1, std::uint32_t color) {
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      const double cover = std::clamp(r1 - d + 0.5, 0.0, 1.0) * std::clamp(d - r0 + 0.5, 0.0, 1.0);
      if (cover > 0) s.row(y)[x] = mix(s.row(y)[x], color, cover);
    }
  }
}

void disc(Surface& s, double cx, double cy, double r, std::uint32_t color) {
  ring(s, cx, cy, -1, r, color);
}

// Anti-aliased thick segment.
void segment(Surface& s, double x0, double y0, double x1, double y1, double w, std::uint32_t color) {
  const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double t = len2 > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / len2, 0.0, 1.0) : 0;
      const double d = std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
      const double cover = std::clamp(w / 2 - d + 0.5, 0.0, 1.0);
      if (cover > 0) s.row(y)[x] = mix(s.row(y)[x], color, cover);
    }
  }
}

void roundedPanel(Surface& s, int x0, int y0, int x1, int y1, double r, std::uint32_t fill,
                  std::uint32_t border) {
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const double cx = std::clamp(x + 0.5, x0 + r, x1 - r), cy = std::clamp(y + 0.5, y0 + r, y1 - r);
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      const double inside = std::clamp(r - d + 0.5, 0.0, 1.0);
      const double edge = std::clamp(1.0 - std::abs(r - 0.5 - d), 0.0, 1.0);
      if (inside > 0) s.row(y)[x] = mix(s.row(y)[x], fill, inside);
      if (edge > 0 && (d > 0 || r < 1)) s.row(y)[x] = mix(s.row(y)[x], border, edge * inside);
    }
  }
}

Picture make(Surface s) { return std::make_shared<const Surface>(std::move(s)); }

Picture dialogSkin() {
  Surface s(600, 300);
  verticalGradient(s, rgb(0xEA, 0xF2, 0xFA), rgb(0xD2, 0xE2, 0xF2));
  // A quiet band of light diagonal stripes along the bottom edge.
  for (int y = 240; y < 300; ++y) {
    for (int x = 0; x < 600; ++x) {
      if ((x + y) % 12 < 2) s.row(y)[x] = mix(s.row(y)[x], rgb(255, 255, 255), 0.35);
    }
  }
  return make(std::move(s));
}

}  // namespace

Picture MainWindowSkin() {
  static const Picture p = [] {
    Surface s(246, 156);
    verticalGradient(s, rgb(0xDC, 0xE8, 0xF4), rgb(0xB8, 0xCC, 0xE2));
    // The button column on the right gets a lighter panel.
    roundedPanel(s, 156, 4, 242, 118, 6, rgb(0xEE, 0xF4, 0xFA), rgb(0x98, 0xB0, 0xCC));
    // The status line sits on a darker strip.
    for (int y = 124; y < 156; ++y) {
      for (int x = 0; x < 246; ++x) s.row(y)[x] = mix(s.row(y)[x], rgb(0x88, 0xA4, 0xC4), 0.35);
    }
    return make(std::move(s));
  }();
  return p;
}

Picture ShutterPicture() {
  static const Picture p = [] {
    Surface s(64, 60, rgb(0xC0, 0xC0, 0xC0));
    verticalGradient(s, rgb(0xE4, 0xE4, 0xE4), rgb(0xA8, 0xA8, 0xA8));
    const double cx = 32, cy = 30;
    disc(s, cx, cy, 26, rgb(0x30, 0x30, 0x34));
    ring(s, cx, cy, 22, 24, rgb(0x90, 0x90, 0x98));
    disc(s, cx, cy, 18, rgb(0x20, 0x38, 0x60));
    disc(s, cx, cy, 11, rgb(0x10, 0x18, 0x30));
    disc(s, cx - 6, cy - 7, 4.5, rgb(0xE8, 0xF0, 0xFF));
    disc(s, cx + 7, cy + 6, 2, rgb(0x90, 0xA8, 0xD0));
    return make(std::move(s));
  }();
  return p;
}

Picture CutPicture() {
  static const Picture p = [] {
    Surface s(40, 40, rgb(0xC0, 0xFF, 0xC0));
    const auto steel = rgb(0x50, 0x58, 0x60), handle = rgb(0xC0, 0x30, 0x30);
    segment(s, 8, 6, 27, 27, 3.2, steel);
    segment(s, 32, 6, 13, 27, 3.2, steel);
    ring(s, 11, 31, 3, 6, handle);
    ring(s, 29, 31, 3, 6, handle);
    disc(s, 20, 17.5, 1.6, rgb(0xE0, 0xE0, 0xE0));
    return make(std::move(s));
  }();
  return p;
}

Picture PropertyBoxSkin() {
  static const Picture p = dialogSkin();
  return p;
}

Picture FolderChooserSkin() {
  static const Picture p = dialogSkin();
  return p;
}

}  // namespace pelnoro::app
