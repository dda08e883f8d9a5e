// Bit packing for JPEG entropy-coded data: most significant bit first, a zero byte
// stuffed after every 0xFF so no marker appears inside a scan.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace pelnoro::encoder {

// Writes into memory the caller has sized: at most twice the number of whole bytes the
// bits make (every byte could be 0xFF), plus 8.
class BitWriter {
 public:
  explicit BitWriter(std::uint8_t* out) : out_(out) {}

  // `bits` holds exactly `count` (0..32) significant bits.
  void Put(std::uint64_t bits, int count) {
    if (count < free_) {
      buffer_ = buffer_ << count | bits;
      free_ -= count;
      return;
    }
    // Fill the buffer, send it, and keep the bits that did not fit. Bits above those are
    // stale but get shifted out before the buffer is sent again.
    const int rest = count - free_;
    buffer_ = buffer_ << free_ | bits >> rest;
    Send(buffer_);
    buffer_ = bits;
    free_ = 64 - rest;
  }

  // Pads the last byte with one-bits, as decoders expect, and returns the end of the
  // written bytes.
  std::uint8_t* Finish() {
    const int used = 64 - free_;
    const int pad = (8 - used % 8) % 8;
    const std::uint64_t bits = (buffer_ << pad | ((std::uint64_t{1} << pad) - 1));
    for (int shift = used + pad - 8; shift >= 0; shift -= 8) SendByte(bits >> shift);
    buffer_ = 0;
    free_ = 64;
    return out_;
  }

 private:
  void SendByte(std::uint64_t bits) {
    const auto byte = static_cast<std::uint8_t>(bits);
    *out_++ = byte;
    if (byte == 0xFF) *out_++ = 0;
  }

  void Send(std::uint64_t word) {
    // A byte of `word` is 0xFF exactly when that byte of ~word is zero.
    const std::uint64_t inverted = ~word;
    const bool has_ff = ((inverted - 0x0101010101010101u) & ~inverted & 0x8080808080808080u) != 0;
    if (!has_ff) {
      std::uint64_t big_endian = word;
      if constexpr (std::endian::native == std::endian::little)
        big_endian = __builtin_bswap64(word);
      std::memcpy(out_, &big_endian, 8);
      out_ += 8;
      return;
    }
    for (int shift = 56; shift >= 0; shift -= 8) SendByte(word >> shift);
  }

  std::uint8_t* out_;
  std::uint64_t buffer_ = 0;
  int free_ = 64;  // bits of buffer_ not yet filled
};

}  // namespace pelnoro::encoder
