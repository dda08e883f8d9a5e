// Bit packing for JPEG entropy-coded data: most significant bit first, a zero byte
// stuffed after every 0xFF so no marker appears inside a scan.
#pragma once

#include <cstdint>
#include <vector>

namespace pelnoro::encoder {

class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  // `bits` holds exactly `count` (1..24) significant bits.
  void Put(std::uint32_t bits, int count) {
    buffer_ = (buffer_ << count) | bits;
    filled_ += count;
    while (filled_ >= 8) {
      filled_ -= 8;
      const auto byte = static_cast<std::uint8_t>(buffer_ >> filled_);
      out_.push_back(byte);
      if (byte == 0xFF) out_.push_back(0x00);
    }
  }

  // Pads the last byte with one-bits, as T.81 asks.
  void Flush() {
    if (filled_ > 0) Put((1u << (8 - filled_)) - 1, 8 - filled_);
    buffer_ = 0;
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint64_t buffer_ = 0;
  int filled_ = 0;
};

}  // namespace pelnoro::encoder
