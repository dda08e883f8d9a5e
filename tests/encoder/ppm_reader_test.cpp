#include "ppm_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

// Files are read a slice at a time: pixels must not be lost or shifted at the seams, a
// short file must still be refused, and a header longer than a slice still read.
TEST(PpmReader, FilesReadInSlicesMatchTheWholeFileParse) {
  const auto path = std::filesystem::temp_directory_path() / "pelnoro-ppm-reader-test.ppm";
  const auto write = [&](const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  };
  std::string pixels(301 * 257 * 3, '\0');  // not a multiple of any slice
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<char>(i * 7 % 251);
  const std::string comment = "# " + std::string(300000, 'c') + "\n";
  for (const std::string& header :
       {std::string("P6\n301 257\n255\n"), "P6\n" + comment + "301 257\n255\n"}) {
    write(header + pixels);
    PpmImage whole, sliced;
    ASSERT_EQ(ParsePpm(Bytes(header + pixels), whole), "");
    ASSERT_EQ(ReadPpmFile(path.string(), sliced), "");
    EXPECT_EQ(sliced.width, 301);
    EXPECT_EQ(sliced.height, 257);
    EXPECT_EQ(sliced.pixels, whole.pixels);

    write(header + pixels.substr(0, pixels.size() - 1));
    EXPECT_EQ(ReadPpmFile(path.string(), sliced), "truncated PPM pixel data");
    EXPECT_TRUE(sliced.pixels.empty());
  }
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace pelnoro::tools
