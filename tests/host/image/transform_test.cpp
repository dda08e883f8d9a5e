// Turns, mirrors and the mosaic on whole pixel buffers.
#include "image/transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace pelnoro {
namespace {

using image::Surface;
using Rows = std::vector<std::string>;

Surface fromRows(const Rows& rows) {
  Surface s(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) s.setPixel(x, y, static_cast<unsigned char>(rows[y][x]));
  return s;
}

Rows rowsOf(const Surface& s) {
  Rows rows(static_cast<std::size_t>(s.height()));
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) rows[y] += static_cast<char>(s.pixel(x, y));
  return rows;
}

// Every pixel different, x and y weighted differently.
Surface numbered(int w, int h) {
  Surface s(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.setPixel(x, y, static_cast<std::uint32_t>(1 + x + 1000 * y));
  return s;
}

bool same(const Surface& a, const Surface& b) {
  return a.width() == b.width() && a.height() == b.height() && a.pixels() == b.pixels();
}

TEST(RotateFlipTest, ThreeByTwoMappings) {
  const Surface s = fromRows({"abc", "def"});
  EXPECT_EQ(rowsOf(image::RotateQuarter(s, true)), (Rows{"da", "eb", "fc"}));
  EXPECT_EQ(rowsOf(image::RotateQuarter(s, false)), (Rows{"cf", "be", "ad"}));
  EXPECT_EQ(rowsOf(image::RotateHalf(s)), (Rows{"fed", "cba"}));
  EXPECT_EQ(rowsOf(image::MirrorLeftRight(s)), (Rows{"cba", "fed"}));
  EXPECT_EQ(rowsOf(image::MirrorTopBottom(s)), (Rows{"def", "abc"}));
}

TEST(RotateFlipTest, QuarterTurnsAcrossTileEdgesAndCompositions) {
  // No multiple of any tile or strip size, so the ragged edges are covered.
  const Surface s = numbered(300, 203);
  const Surface cw = image::RotateQuarter(s, true), ccw = image::RotateQuarter(s, false);
  ASSERT_EQ(cw.width(), 203);
  ASSERT_EQ(cw.height(), 300);
  int wrong = 0;
  for (int y = 0; y < 203; ++y)
    for (int x = 0; x < 300; ++x)
      wrong += (cw.pixel(202 - y, x) != s.pixel(x, y)) + (ccw.pixel(y, 299 - x) != s.pixel(x, y));
  EXPECT_EQ(wrong, 0);

  EXPECT_TRUE(same(image::RotateQuarter(cw, true), image::RotateHalf(s)));
  EXPECT_TRUE(same(image::RotateQuarter(cw, false), s));
  Surface four = s;
  for (int i = 0; i < 4; ++i) four = image::RotateQuarter(four, true);
  EXPECT_TRUE(same(four, s));
  EXPECT_TRUE(same(image::MirrorLeftRight(image::MirrorLeftRight(s)), s));
  EXPECT_TRUE(same(image::MirrorTopBottom(image::MirrorTopBottom(s)), s));
  EXPECT_TRUE(same(image::MirrorTopBottom(image::MirrorLeftRight(s)), image::RotateHalf(s)));
}

TEST(RotateFlipTest, LinesAndEmptySurfaces) {
  const Surface row = fromRows({"abcde"}), column = fromRows({"a", "b", "c", "d", "e"});
  EXPECT_TRUE(same(image::RotateQuarter(row, true), column));
  EXPECT_EQ(rowsOf(image::RotateQuarter(row, false)), (Rows{"e", "d", "c", "b", "a"}));
  EXPECT_EQ(rowsOf(image::RotateQuarter(column, true)), (Rows{"edcba"}));
  EXPECT_EQ(rowsOf(image::RotateHalf(row)), (Rows{"edcba"}));
  EXPECT_TRUE(same(image::MirrorTopBottom(row), row));
  EXPECT_TRUE(same(image::MirrorLeftRight(column), column));
  for (const Surface& e : {Surface(), Surface(0, 4), Surface(3, 0)}) {
    const Surface q = image::RotateQuarter(e, false);
    EXPECT_TRUE(q.empty());
    EXPECT_EQ(q.width(), e.height());
    EXPECT_TRUE(image::RotateHalf(e).empty() && image::MirrorLeftRight(e).empty() &&
                image::MirrorTopBottom(e).empty());
  }
}

std::uint32_t rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r | g << 8 | b << 16);
}

// The box "x0,y0-x1,y1" of the pixels that differ, "+gaps" when not all inside it do.
std::string changed(const Surface& before, const Surface& after) {
  int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1, n = 0;
  for (int y = 0; y < before.height(); ++y)
    for (int x = 0; x < before.width(); ++x)
      if (before.pixel(x, y) != after.pixel(x, y))
        ++n, x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  if (n == 0) return "none";
  const std::string box = std::to_string(x0) + "," + std::to_string(y0) + "-" + std::to_string(x1) +
                          "," + std::to_string(y1);
  return n == (x1 - x0 + 1) * (y1 - y0 + 1) ? box : box + "+gaps";
}

// On black and white squares every block's average is grey, whatever it samples:
// a pixel changes exactly when a block fills it.
std::string mosaicOnCheckers(int w, int h, int sx, int sy, int ex, int ey) {
  Surface before(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) before.setPixel(x, y, (x + y) % 2 ? 0xFFFFFF : 0);
  Surface after = before;
  image::Mosaic(after, sx, sy, ex, ey);
  return changed(before, after);
}

TEST(MosaicTest, RangesOfBlocks) {
  // Last edges equal to end - 6 are included; each fill reaches one pixel further.
  EXPECT_EQ(mosaicOnCheckers(20, 15, 0, 0, 12, 12), "0,0-12,12");
  // 6 > 11 - 6: only the column at 0, with blocks at 0 and 6.
  EXPECT_EQ(mosaicOnCheckers(20, 15, 0, 0, 11, 12), "0,0-6,12");
  EXPECT_EQ(mosaicOnCheckers(20, 25, 0, 0, 5, 20), "none");
  // Lower than a block: one row at the top, reaching 3 pixels below the selection.
  EXPECT_EQ(mosaicOnCheckers(30, 12, 0, 0, 20, 3), "0,0-18,6");
  EXPECT_EQ(mosaicOnCheckers(30, 20, 3, 2, 17, 14), "3,2-15,14");
  // Partly outside: clipped. Wholly outside, also on the negative side: nothing.
  EXPECT_EQ(mosaicOnCheckers(10, 8, 3, -4, 30, 30), "3,0-9,7");
  EXPECT_EQ(mosaicOnCheckers(10, 8, 10, 0, 40, 30), "none");
  EXPECT_EQ(mosaicOnCheckers(10, 8, -40, -30, -7, -7), "none");
  EXPECT_EQ(mosaicOnCheckers(10, 8, INT_MIN, INT_MIN, INT_MAX, INT_MAX), "0,0-9,7");
  // Nothing to do: an empty surface, no block size.
  Surface empty, noBlock(9, 9);
  image::Mosaic(empty, 0, 0, 20, 20);
  image::Mosaic(noBlock, 0, 0, 8, 8, 0);
  EXPECT_EQ(changed(Surface(9, 9), noBlock), "none");
}

TEST(MosaicTest, BlocksGoColumnByColumnAndSampleEarlierFills) {
  // Four quarters of distinct reds, and greens that tell left from right.
  Surface s(16, 14);
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 16; ++x)
      s.setPixel(x, y, rgb(x < 6 ? (y < 6 ? 10 : 200) : (y < 6 ? 40 : 100), x < 6 ? 1 : 2, 0));
  image::Mosaic(s, 0, 0, 12, 12);
  EXPECT_EQ(s.pixel(5, 5), rgb(10, 1, 0));
  // (0, 6) samples the row 6 that (0, 0) filled: (6 * 10 + 30 * 200) / 36 = 168.3.
  EXPECT_EQ(s.pixel(0, 12), rgb(168, 1, 0));
  // (6, 0) samples column 6 of (0, 0): (6 * 10 + 30 * 40) / 36 = 35; green 66 / 36.
  EXPECT_EQ(s.pixel(12, 0), rgb(35, 2, 0));
  // (6, 6) last; its corner (6, 6) was filled by (6, 0) after (0, 6):
  // (6 * 35 + 5 * 168 + 25 * 100) / 36 = 98.6. Row by row it would be 102.
  EXPECT_EQ(s.pixel(6, 6), rgb(99, 2, 0));
  EXPECT_EQ(s.pixel(12, 12), rgb(99, 2, 0));
  EXPECT_EQ(s.pixel(13, 13), rgb(100, 2, 0));
}

TEST(MosaicTest, Averages) {
  Surface s(8, 8, rgb(99, 99, 99));
  for (int k = 0; k < 36; ++k) {
    const int red = k < 4 ? 10 : 11;                                // 392 / 36 = 10.89 -> 11
    const int green = k % 2 ? 10 : 11;                              // 378 / 36 = 10.5 -> 10
    const int blue = k < 18 ? 11 : 12;                              // 414 / 36 = 11.5 -> 12
    s.setPixel(k % 6, k / 6, rgb(red, green, blue) | 0xFF000000u);  // the top byte is no colour
  }
  image::Mosaic(s, 0, 0, 6, 6);
  EXPECT_EQ(changed(Surface(8, 8, rgb(99, 99, 99)), s), "0,0-6,6");
  EXPECT_EQ(s.pixel(6, 6), rgb(11, 10, 12));

  // Samples off the surface are left out: at (7, 5) 3 x 3 of them are on it.
  Surface g(10, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) g.setPixel(x, y, rgb(10 * x + y, 20 * y, 3));
  Surface right = g, left = g;
  image::Mosaic(right, 7, 5, 13, 11);
  EXPECT_EQ(right.pixel(7, 5), rgb(86, 120, 3));
  // At (-3, -2): columns 0..2, rows 0..3; red 10 + 1.5 -> 12 (half to even).
  image::Mosaic(left, -3, -2, 4, 5);
  EXPECT_EQ(left.pixel(3, 4), rgb(12, 30, 3));
  EXPECT_EQ(changed(g, left), "0,0-3,4");
  // A block with no sample on the surface is black: here only its fill's corner shows.
  Surface white(10, 8, 0xFFFFFF), corner = white;
  image::Mosaic(corner, -6, -6, 0, 0);
  EXPECT_EQ(changed(white, corner), "0,0-0,0");
  EXPECT_EQ(corner.pixel(0, 0), 0);
}

}  // namespace
}  // namespace pelnoro
