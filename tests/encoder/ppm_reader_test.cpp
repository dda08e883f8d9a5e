#include "ppm_reader.h"

#include <gtest/gtest.h>

namespace pelnoro::tools {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

TEST(PpmReader, ReadsHeaderWithCommentsAndOrdersChannels) {
  PpmImage image;
  const std::string file("P6 # made by hand\n2 1\n# max\n255\n\x01\x02\x03\xFF\x00\x80", 38);
  ASSERT_EQ(ParsePpm(Bytes(file), image), "");
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 1);
  EXPECT_EQ(image.pixels, (std::vector<std::uint32_t>{0x030201, 0x8000FF}));
}

TEST(PpmReader, RefusesDamagedFilesWithAReason) {
  using namespace std::string_literals;
  const std::pair<std::string, std::string> cases[] = {
      {""s, "not a binary PPM (P6) file"},
      {"P3 1 1 255\n"s, "not a binary PPM (P6) file"},
      {"P6 1 1"s, "malformed PPM header"},
      {"P6 1 x 255\n"s, "malformed PPM header"},
      {"P6 1 1 255"s, "malformed PPM header"},  // no blank before the pixels
      {"P6 0 5 255\n"s, "zero image size"},
      {"P6 1 1 65535\n\0\0\0\0\0\0"s, "PPM maxval must be 255"},
      {"P6 70000 1 255\n\0\0\0"s, "malformed PPM header"},  // field too large
      {"P6 1 1 15\n\0\0\0"s, "PPM maxval must be 255"},
      {"P6 2 2 255\n\0\0\0\0\0\0\0\0\0\0\0"s, "truncated PPM pixel data"},
      // Huge sizes are refused by the data length, before any allocation.
      {"P6 65535 65535 255\n\0\0\0"s, "truncated PPM pixel data"},
  };
  for (const auto& [text, reason] : cases) {
    PpmImage image;
    EXPECT_EQ(ParsePpm(Bytes(text), image), reason) << text;
    EXPECT_TRUE(image.pixels.empty());
  }
}

}  // namespace
}  // namespace pelnoro::tools
