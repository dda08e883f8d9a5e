// Pixel operations at full-HD size on the host build.
#include <cstdio>

#include "bench_clock.h"
#include "image/pixel_ops.h"
#include "image/transform.h"

using namespace pelnoro;

int main() {
  image::Surface screen(1920, 1080);
  for (int y = 0; y < 1080; ++y)
    for (int x = 0; x < 1920; ++x)
      screen.setPixel(x, y, static_cast<std::uint32_t>(x * 7 + y * 13));
  image::Surface loupe(120, 120), cut(1920, 1080), half(960, 540);
  int x = 0;
  std::printf("%-44s %10s\n", "operation (1920 x 1080 source)", "median ms");
  std::printf("%-44s %10.4f\n", "loupe feed: 31 x 31 -> 120 x 120", bench::medianMs(2000, [&] {
                image::StretchNearest(screen, (x++ % 1800), 500, 31, 31, loupe, 0, 0, 120, 120);
              }));
  std::printf("%-44s %10.3f\n", "cut: copy the whole screen",
              bench::medianMs(50, [&] { image::CopyRect(screen, 0, 0, 1920, 1080, cut, 0, 0); }));
  std::printf("%-44s %10.3f\n", "cut: copy 800 x 600 at (-100, -50)", bench::medianMs(50, [&] {
                image::CopyRect(screen, -100, -50, 800, 600, cut, 0, 0);
              }));
  std::printf("%-44s %10.3f\n", "scale to 960 x 540 (nearest pixel)", bench::medianMs(50, [&] {
                image::StretchNearest(screen, 0, 0, 1920, 1080, half, 0, 0, 960, 540);
              }));
  std::printf("%-44s %10.3f\n", "mirror left-right in place of a copy", bench::medianMs(50, [&] {
                image::StretchNearest(screen, 0, 0, 1920, 1080, cut, 1919, 0, -1920, 1080);
              }));
  std::printf("%-44s %10.3f\n", "quarter turn clockwise (R90)",
              bench::medianMs(50, [&] { cut = image::RotateQuarter(screen, true); }));
  std::printf("%-44s %10.3f\n", "quarter turn counter-clockwise (R270)",
              bench::medianMs(50, [&] { cut = image::RotateQuarter(screen, false); }));
  std::printf("%-44s %10.3f\n", "half turn (R180)",
              bench::medianMs(50, [&] { cut = image::RotateHalf(screen); }));
  std::printf("%-44s %10.3f\n", "mirror left-right (RF)",
              bench::medianMs(50, [&] { cut = image::MirrorLeftRight(screen); }));
  std::printf("%-44s %10.3f\n", "mirror top-bottom (UD)",
              bench::medianMs(50, [&] { cut = image::MirrorTopBottom(screen); }));
  // Each run on a fresh copy, so that every one averages the same picture; the
  // copy is timed apart and taken off.
  const double copyMs = bench::medianMs(50, [&] { cut = screen; });
  std::printf("%-44s %10.3f\n", "mosaic over the whole image (6 x 6 blocks)",
              bench::medianMs(50, [&] {
                cut = screen;
                image::Mosaic(cut, 0, 0, 1919, 1079);
              }) - copyMs);
  return 0;
}
