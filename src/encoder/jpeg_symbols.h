// Huffman coding of a scan in two steps: the coder's symbols are kept in a compact list
// while they are counted, the tables are fitted to the counts, then the list is written.
// The coefficients are thus walked once, and the picture needs no second transform.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "encoder/jpeg_huffman.h"
#include "encoder/jpeg_kernels.h"

namespace pelnoro::encoder::jpeg {

// Table slots: luma DC, luma AC, chroma DC, chroma AC; raw bits belong to no table.
inline constexpr int kLumaDcSlot = 0;
inline constexpr int kRawSlot = 4;
inline constexpr int kCodedSlots = 4;

class SymbolBuffer {
 public:
  // One entry: the symbol (bits 0-7), its slot (8-10) and the extra bits that follow its
  // code (16-31). How many extra bits follows from the symbol, as JPEG defines it; for
  // raw bits the symbol is their count. Only that many low bits of `extra` are written,
  // so coders need not clear the others.
  static std::uint32_t Entry(int slot, int symbol, std::uint32_t extra) {
    return static_cast<std::uint32_t>(symbol) | static_cast<std::uint32_t>(slot) << 8 | extra << 16;
  }

  void Clear();
  // Makes room for `more` entries past End().
  void Reserve(std::size_t more) {
    if (static_cast<std::size_t>(capacity_end_ - end_) < more) Grow(more);
  }

  // A symbol and its extra bits.
  void Put(int slot, int symbol, std::uint32_t extra) { *end_++ = Entry(slot, symbol, extra); }
  // Up to 16 bits written as they are.
  void PutRaw(std::uint32_t bits, int count) { *end_++ = Entry(kRawSlot, count, bits); }

  // Counts every entry's symbol, for Counts() and RawBits(). One pass over the finished
  // list, four tallies in turn, is quicker than counting each symbol as it is made, where
  // a symbol that comes again at once must wait for its own count to be stored.
  void Tally();
  const HuffmanCounts& Counts(int slot) const { return counts_[slot]; }
  const std::uint32_t* Begin() const { return entries_.get(); }
  const std::uint32_t* End() const { return end_; }
  std::uint64_t RawBits() const { return raw_bits_; }

  // For coders that keep the end in a register: they append at End() and hand it back.
  std::uint32_t* MutableEnd() { return end_; }
  std::uint32_t* MutableBegin() { return entries_.get(); }
  void SetEnd(std::uint32_t* end) { end_ = end; }

 private:
  void Grow(std::size_t more);

  std::unique_ptr<std::uint32_t[]> entries_;
  std::uint32_t* end_ = nullptr;
  std::uint32_t* capacity_end_ = nullptr;
  HuffmanCounts counts_[kCodedSlots] = {};
  std::uint64_t raw_bits_ = 0;
};

// Extra bits after a symbol: DC symbols are the count itself; AC symbols carry it in the
// low four bits, except runs of empty blocks, whose length sits in the high four.
inline int ExtraBitsOf(int slot, int symbol) {
  if (slot % 2 == 0) return symbol;
  if ((symbol & 15) != 0 || symbol == 0xF0) return symbol & 15;
  return symbol >> 4;
}

// Entries one baseline block can make: DC, 63 AC values, 3 runs of 16 zeros, end of block.
inline constexpr std::size_t kMaxBaselineBlockEntries = 68;

// The DC difference and the AC run/size symbols of one baseline block. `coefs` holds the
// quantised coefficients in the transform's column order, `nonzero` has bit k set when
// the k-th in zig-zag order (coefs[kColumnOrder[k]]) is not zero, `dc_slot` is the
// block's DC slot (its AC slot follows). Needs kMaxBaselineBlockEntries of room.
// Bits a non-zero magnitude needs.
inline int BitWidthOfNonzero(unsigned magnitude) {
  return 32 - __builtin_clz(magnitude);
}

// The entry of a DC difference. Negative values are sent as value - 1 in as many bits as
// the magnitude needs.
inline std::uint32_t DcEntry(int dc_slot, int diff) {
  const int dc_bits = std::bit_width(static_cast<unsigned>(diff < 0 ? -diff : diff));
  return SymbolBuffer::Entry(dc_slot, dc_bits, static_cast<std::uint32_t>(diff + (diff >> 31)));
}

inline void CodeBaselineBlock(SymbolBuffer& out, const std::int16_t* coefs, std::uint64_t nonzero,
                              int& last_dc, int dc_slot) {
  std::uint32_t* p = out.MutableEnd();
  *p++ = DcEntry(dc_slot, coefs[0] - last_dc);
  last_dc = coefs[0];

  const int ac_slot = dc_slot + 1;
  int previous = 0;
  for (std::uint64_t left = nonzero & ~std::uint64_t{1}; left != 0; left &= left - 1) {
    const int k = std::countr_zero(left);
    int run = k - previous - 1;
    previous = k;
    for (; run > 15; run -= 16) *p++ = SymbolBuffer::Entry(ac_slot, 0xF0, 0);
    const int value = coefs[kColumnOrder[k]];
    const int bits = BitWidthOfNonzero(static_cast<unsigned>(value < 0 ? -value : value));
    *p++ = SymbolBuffer::Entry(ac_slot, run << 4 | bits,
                               static_cast<std::uint32_t>(value + (value >> 31)));
  }
  if (previous != 63) *p++ = SymbolBuffer::Entry(ac_slot, 0x00, 0);
  out.SetEnd(p);
}

// Bit k set when |zigzag[k]| >> shift is non-zero (`ones`: is exactly one).
std::uint64_t MagnitudeMask(const std::int16_t* zigzag, int shift, bool ones);

// After Tally(): appends the entries of `parts`, one after the other, coded with `codes`
// (indexed by slot; null where no part has symbols of the slot), the last byte padded
// with one-bits.
void WriteSymbols(std::span<const SymbolBuffer* const> parts,
                  const HuffmanCode* const (&codes)[kCodedSlots], std::vector<std::uint8_t>& out);
inline void WriteSymbols(const SymbolBuffer& symbols,
                         const HuffmanCode* const (&codes)[kCodedSlots],
                         std::vector<std::uint8_t>& out) {
  const SymbolBuffer* parts[1] = {&symbols};
  WriteSymbols(parts, codes, out);
}

}  // namespace pelnoro::encoder::jpeg
