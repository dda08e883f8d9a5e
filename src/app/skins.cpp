#include "app/skins.h"

#include "image/draw.h"

namespace pelnoro::app {

namespace {

using image::Surface;
using namespace image;

Picture make(Surface s) {
  return std::make_shared<const Surface>(std::move(s));
}

}  // namespace

Picture MainWindowSkin() {
  static const Picture p = [] {
    Surface s(246, 156);
    VerticalGradient(s, Rgb(0xDC, 0xE8, 0xF4), Rgb(0xB8, 0xCC, 0xE2));
    // The button column on the right gets a lighter panel.
    RoundedPanel(s, 156, 4, 242, 118, 6, Rgb(0xEE, 0xF4, 0xFA), Rgb(0x98, 0xB0, 0xCC));
    // The status line sits on a darker strip.
    for (int y = 124; y < 156; ++y) {
      for (int x = 0; x < 246; ++x) s.row(y)[x] = Mix(s.row(y)[x], Rgb(0x88, 0xA4, 0xC4), 0.35);
    }
    return make(std::move(s));
  }();
  return p;
}

Picture ShutterPicture() {
  static const Picture p = [] {
    Surface s(64, 60, Rgb(0xC0, 0xC0, 0xC0));
    VerticalGradient(s, Rgb(0xE4, 0xE4, 0xE4), Rgb(0xA8, 0xA8, 0xA8));
    const double cx = 32, cy = 30;
    Disc(s, cx, cy, 26, Rgb(0x30, 0x30, 0x34));
    Ring(s, cx, cy, 22, 24, Rgb(0x90, 0x90, 0x98));
    Disc(s, cx, cy, 18, Rgb(0x20, 0x38, 0x60));
    Disc(s, cx, cy, 11, Rgb(0x10, 0x18, 0x30));
    Disc(s, cx - 6, cy - 7, 4.5, Rgb(0xE8, 0xF0, 0xFF));
    Disc(s, cx + 7, cy + 6, 2, Rgb(0x90, 0xA8, 0xD0));
    return make(std::move(s));
  }();
  return p;
}

Picture CutPicture() {
  static const Picture p = [] {
    Surface s(40, 40, Rgb(0xC0, 0xFF, 0xC0));
    const auto steel = Rgb(0x50, 0x58, 0x60), handle = Rgb(0xC0, 0x30, 0x30);
    Segment(s, 8, 6, 27, 27, 3.2, steel);
    Segment(s, 32, 6, 13, 27, 3.2, steel);
    Ring(s, 11, 31, 3, 6, handle);
    Ring(s, 29, 31, 3, 6, handle);
    Disc(s, 20, 17.5, 1.6, Rgb(0xE0, 0xE0, 0xE0));
    return make(std::move(s));
  }();
  return p;
}

}  // namespace pelnoro::app
