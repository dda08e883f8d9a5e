// Multi-byte fields of file headers: JPEG and PNG store them big-endian, BMP
// little-endian. One place for both so that no writer gets the order wrong.
#pragma once

#include <cstdint>
#include <vector>

namespace pelnoro::encoder {

inline void StoreBe16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}
inline void StoreBe32(std::uint8_t* p, std::uint32_t v) {
  StoreBe16(p, v >> 16);
  StoreBe16(p + 2, v);
}
inline void StoreLe16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreLe32(std::uint8_t* p, std::uint32_t v) {
  StoreLe16(p, v);
  StoreLe16(p + 2, v >> 16);
}

inline void AppendBe16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  out.insert(out.end(), bytes, bytes + 2);
}
inline void AppendBe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  std::uint8_t bytes[4];
  StoreBe32(bytes, v);
  out.insert(out.end(), bytes, bytes + 4);
}

}  // namespace pelnoro::encoder
