#include "encoder/jpeg_symbols.h"

#include <algorithm>
#include <cstring>

#include "encoder/jpeg_bit_writer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelnoro::encoder::jpeg {

void SymbolBuffer::Clear() {
  end_ = entries_.get();
  for (HuffmanCounts& c : counts_) c.fill(0);
  raw_bits_ = 0;
}

void SymbolBuffer::Tally() {
  // Slot and symbol together index each tally, raw bits counted by their length.
  constexpr int kIndices = (kRawSlot + 1) * 256;
  std::uint32_t tallies[4][kIndices] = {};
  const std::uint32_t* e = entries_.get();
  for (; end_ - e >= 4; e += 4)
    for (int i = 0; i < 4; ++i) ++tallies[i][e[i] & 0x7FF];
  for (; e != end_; ++e) ++tallies[0][*e & 0x7FF];
  for (int slot = 0; slot < kCodedSlots; ++slot)
    for (int s = 0; s < 256; ++s) {
      const int i = slot * 256 + s;
      counts_[slot][s] = tallies[0][i] + tallies[1][i] + tallies[2][i] + tallies[3][i];
    }
  raw_bits_ = 0;
  for (int n = 0; n <= 16; ++n) {
    const int i = kRawSlot * 256 + n;
    raw_bits_ += std::uint64_t{tallies[0][i] + tallies[1][i] + tallies[2][i] + tallies[3][i]} * n;
  }
}

void SymbolBuffer::Grow(std::size_t more) {
  const std::size_t used = static_cast<std::size_t>(end_ - entries_.get());
  const std::size_t capacity = static_cast<std::size_t>(capacity_end_ - entries_.get());
  const std::size_t wanted = std::max({capacity * 2, used + more, std::size_t{4096}});
  // Not value-initialised: every entry is written before it is read.
  std::unique_ptr<std::uint32_t[]> grown(new std::uint32_t[wanted]);
  if (used > 0) std::memcpy(grown.get(), entries_.get(), used * sizeof(std::uint32_t));
  entries_ = std::move(grown);
  end_ = entries_.get() + used;
  capacity_end_ = entries_.get() + wanted;
}

std::uint64_t MagnitudeMask(const std::int16_t* zigzag, int shift, bool ones) {
#if defined(__SSE2__)
  const __m128i count = _mm_cvtsi32_si128(shift);
  const __m128i target = ones ? _mm_set1_epi16(1) : _mm_setzero_si128();
  std::uint64_t equal = 0;
  for (int i = 0; i < 64; i += 16) {
    __m128i m[2];
    for (int j = 0; j < 2; ++j) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(zigzag + i + 8 * j));
      // Values stay within +-2047, so the absolute value cannot overflow.
      const __m128i magnitude = _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
      m[j] = _mm_cmpeq_epi16(_mm_srl_epi16(magnitude, count), target);
    }
    equal |= static_cast<std::uint64_t>(
                 static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_packs_epi16(m[0], m[1]))))
             << i;
  }
  return ones ? equal : ~equal;
#else
  std::uint64_t mask = 0;
  for (int k = 0; k < 64; ++k) {
    const int magnitude = (zigzag[k] < 0 ? -zigzag[k] : zigzag[k]) >> shift;
    if (ones ? magnitude == 1 : magnitude != 0) mask |= std::uint64_t{1} << k;
  }
  return mask;
#endif
}

void WriteSymbols(std::span<const SymbolBuffer* const> parts,
                  const HuffmanCode* const (&codes)[kCodedSlots], std::vector<std::uint8_t>& out) {
  // For every slot and symbol: the code moved up past the extra bits, the length of both,
  // and which bits of an entry's extra are the extra bits. Raw bits have no code and
  // their count as the symbol.
  struct Code {
    std::uint32_t bits;
    std::uint16_t length;
    std::uint16_t mask;
  };
  // Left unset where no entry can look: every symbol in the list was counted, so it has
  // a code.
  Code lookup[(kRawSlot + 1) * 256];
  std::uint64_t total = 0;
  for (const SymbolBuffer* part : parts) total += part->RawBits();
  for (int n = 0; n <= 16; ++n)
    lookup[kRawSlot * 256 + n] = {0, static_cast<std::uint16_t>(n),
                                  static_cast<std::uint16_t>((1u << n) - 1)};
  for (int slot = 0; slot < kCodedSlots; ++slot) {
    if (codes[slot] == nullptr) continue;
    const HuffmanCode& code = *codes[slot];
    for (int s = 0; s < 256; ++s) {
      if (code.length[s] == 0) continue;  // not in this scan
      const int extra = ExtraBitsOf(slot, s);
      const std::uint32_t length = static_cast<std::uint32_t>(code.length[s] + extra);
      lookup[slot * 256 + s] = {static_cast<std::uint32_t>(code.code[s]) << extra,
                                static_cast<std::uint16_t>(length),
                                static_cast<std::uint16_t>((1u << extra) - 1)};
      for (const SymbolBuffer* part : parts)
        total += static_cast<std::uint64_t>(part->Counts(slot)[s]) * length;
    }
  }
  const std::size_t start = out.size();
  out.resize(start + (total + 7) / 8 * 2 + 8);
  BitWriter writer(out.data() + start);
  const Code* table = lookup;
  for (const SymbolBuffer* part : parts)
    for (const std::uint32_t* e = part->Begin(); e != part->End(); ++e) {
      const std::uint32_t entry = *e;
      const Code code = table[entry & 0x7FF];
      writer.Put(code.bits | (entry >> 16 & code.mask), code.length);
    }
  out.resize(static_cast<std::size_t>(writer.Finish() - out.data()));
}

}  // namespace pelnoro::encoder::jpeg
