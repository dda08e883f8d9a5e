#include "image/picture_file.h"

#include <gtest/gtest.h>

#include <string>

namespace pelnoro {
namespace {

std::string chunk(const std::string& type, const std::string& data) {
  std::string c;
  const auto n = static_cast<std::uint32_t>(data.size());
  for (int shift = 24; shift >= 0; shift -= 8) c.push_back(static_cast<char>(n >> shift));
  return c + type + data + "CRC!";
}

TEST(PngIsWhole, ChunksToIendWithinTheFile) {
  const std::string signature("\x89PNG\r\n\x1a\n", 8);
  const std::string whole = signature + chunk("IHDR", std::string(13, '\0')) +
                            chunk("IDAT", std::string(100, 'x')) + chunk("IEND", "");
  EXPECT_TRUE(image::PngIsWhole(whole));
  // Cut anywhere before the end of IEND: damaged.
  for (std::size_t cut : {whole.size() - 1, whole.size() - 12, whole.size() - 13, std::size_t{60},
                          std::size_t{33}, std::size_t{9}}) {
    EXPECT_FALSE(image::PngIsWhole(whole.substr(0, cut))) << cut;
  }
  // A chunk length past the end of the file, and no IEND at all.
  std::string lying = whole;
  lying[signature.size() + 8 + 13 + 4] = '\x7F';  // IDAT's length's first byte
  EXPECT_FALSE(image::PngIsWhole(lying));
  EXPECT_FALSE(image::PngIsWhole(signature + chunk("IHDR", std::string(13, '\0'))));
  EXPECT_FALSE(image::PngIsWhole("GIF89a"));
}

}  // namespace
}  // namespace pelnoro
