// Deflate's bit order: fields are packed from the lowest bit of each byte up. A stream of
// bits that need not end on a byte boundary, so that pieces compressed apart join with no
// padding between them.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace pelnoro::encoder::deflate {

static_assert(std::endian::native == std::endian::little, "whole words are put low byte first");

struct BitStream {
  std::vector<std::uint8_t> bytes;  // the last byte may be partly used, from its low bit
  std::uint64_t bits = 0;
  // A stored block pads to a byte boundary counted from the stream's start, so a stream
  // that holds one must itself start on a byte boundary wherever it is appended.
  bool holds_stored = false;
};

class BitWriter {
 public:
  // Appends to what `out` already holds.
  explicit BitWriter(BitStream& out) : out_(out) {
    used_ = static_cast<std::size_t>(out.bits / 8);
    filled_ = static_cast<int>(out.bits % 8);
    if (filled_ > 0) acc_ = out.bytes[used_];
    out.bytes.resize(used_);
    Reserve();
  }

  // At most 32 bits at a time, higher bits of `value` zero.
  void Put(std::uint32_t value, int count) {
    acc_ |= static_cast<std::uint64_t>(value) << filled_;
    filled_ += count;
    if (filled_ >= 32) {
      for (int i = 0; i < 4; ++i)
        out_.bytes[used_ + i] = static_cast<std::uint8_t>(acc_ >> (8 * i));
      used_ += 4;
      acc_ >>= 32;
      filled_ -= 32;
      Reserve();
    }
  }

  // Says that a stored block follows, padded as if the stream started on a byte boundary.
  void HoldsStored() { out_.holds_stored = true; }

  // Bits written since the last byte boundary.
  int BitOffset() const { return filled_ % 8; }

  // Pads with zero bits to the next byte boundary.
  void AlignToByte() {
    if (filled_ % 8 != 0) Put(0, 8 - filled_ % 8);
  }

  void PutBytes(const std::uint8_t* data, std::size_t size) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
      std::uint32_t word;
      std::memcpy(&word, data + i, 4);  // little-endian: the first byte in the low bits
      Put(word, 32);
    }
    for (; i < size; ++i) Put(data[i], 8);
  }

  void Append(const BitStream& other) {
    if (other.holds_stored && filled_ % 8 != 0) {
      // An empty stored block brings the stream to a byte boundary.
      Put(0, 3);
      AlignToByte();
      Put(0xFFFF0000u, 32);
    }
    if (other.holds_stored) HoldsStored();
    const std::size_t whole = static_cast<std::size_t>(other.bits / 8);
    PutBytes(other.bytes.data(), whole);
    const int rest = static_cast<int>(other.bits % 8);
    if (rest > 0) Put(other.bytes[whole] & ((1u << rest) - 1), rest);
  }

  // Writes the bits still held; nothing may be put afterwards.
  void Finish() {
    const int bytes = (filled_ + 7) / 8;
    for (int i = 0; i < bytes; ++i)
      out_.bytes[used_ + i] = static_cast<std::uint8_t>(acc_ >> (8 * i));
    out_.bytes.resize(used_ + static_cast<std::size_t>(bytes));
    out_.bits = used_ * 8 + static_cast<std::uint64_t>(filled_);
  }

  BitWriter(const BitWriter&) = delete;
  BitWriter& operator=(const BitWriter&) = delete;

 private:
  // Room for the next four bytes and for what Finish writes, so that it cannot fail.
  void Reserve() {
    if (used_ + 8 > out_.bytes.size())
      out_.bytes.resize(std::max<std::size_t>(out_.bytes.size() * 2, used_ + 4096));
  }

  BitStream& out_;
  std::size_t used_ = 0;
  std::uint64_t acc_ = 0;
  int filled_ = 0;
};

}  // namespace pelnoro::encoder::deflate
