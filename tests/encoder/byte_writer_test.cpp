#include "encoder/byte_writer.h"

#include <gtest/gtest.h>

namespace pelnoro::encoder {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Every byte of the values differs, so a swapped or shifted byte shows.
TEST(ByteWriter, BigAndLittleEndianFieldsPutEachByteInItsPlace) {
  std::uint8_t p[4] = {};
  StoreBe32(p, 0x8A0B0C0Du);
  EXPECT_EQ(Bytes(p, p + 4), (Bytes{0x8A, 0x0B, 0x0C, 0x0D}));
  StoreLe32(p, 0x8A0B0C0Du);
  EXPECT_EQ(Bytes(p, p + 4), (Bytes{0x0D, 0x0C, 0x0B, 0x8A}));
  StoreBe16(p, 0xF102u);
  StoreLe16(p + 2, 0xF102u);
  EXPECT_EQ(Bytes(p, p + 4), (Bytes{0xF1, 0x02, 0x02, 0xF1}));

  Bytes out = {0x55};
  AppendBe16(out, 0x1234u);
  AppendBe32(out, 0xFEDCBA98u);
  EXPECT_EQ(out, (Bytes{0x55, 0x12, 0x34, 0xFE, 0xDC, 0xBA, 0x98}));
}

}  // namespace
}  // namespace pelnoro::encoder
