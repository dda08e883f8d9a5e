#include "encoder/jpeg_encoder.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <exception>
#include <memory>
#include <new>
#include <span>
#include <system_error>
#include <thread>
#include <utility>

#include "encoder/byte_writer.h"
#include "encoder/jpeg_huffman.h"
#include "encoder/jpeg_kernels.h"
#include "encoder/jpeg_symbols.h"

namespace pelnoro::encoder {
namespace {

using jpeg::kNaturalOrder;
using jpeg::SymbolBuffer;

// The customary luminance and chrominance tables for quality 50, row-major.
constexpr std::uint8_t kBaseTables[2][64] = {
    {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
     14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
     18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
     49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99},
    {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
     99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
     99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99}};

// The scaled (AAN) forward DCT leaves these factors in its outputs; they are folded into
// the quantisation divisors.
constexpr float kAanScale[8] = {1.0f, 1.387039845f, 1.306562965f, 1.175875602f,
                                1.0f, 0.785694958f, 0.541196100f, 0.275899379f};

// Longest end-of-band run one symbol can carry.
constexpr int kMaxEobRun = 0x7FFF;
constexpr int kMaxCorrectionBits = 1000;

struct Component {
  std::uint8_t id;
  int h, v;      // sampling factors
  int table;     // quantisation and Huffman table: 0 luma, 1 chroma
  int blocks_w;  // blocks per row, padded to whole MCUs
  int blocks_h;
  int real_w;  // blocks a non-interleaved scan covers
  int real_h;
  std::unique_ptr<std::int16_t[]> coefs;  // 64 per block, zig-zag order; progressive only

  std::int16_t* Block(int bx, int by) {
    return coefs.get() + (static_cast<std::size_t>(by) * blocks_w + bx) * 64;
  }
  int DcSlot() const { return 2 * table; }
  int AcSlot() const { return 2 * table + 1; }
};

struct Scan {
  int count;
  int comps[3];
  int ss, se, ah, al;
};

// 32-bit pixel rows, read where they lie.
struct PixelRows {
  const PixelView& image;
  static constexpr bool kWidened = false;
  const std::uint32_t* Row(int y, std::uint32_t*) const { return image.Row(y); }
};

// Packed RGB rows, widened into `buffer` and padded to `padded` pixels by repeating the
// last one.
struct RgbRows {
  const RgbView& image;
  jpeg::WidenRgbRowFn widen;
  int padded;
  static constexpr bool kWidened = true;
  const std::uint32_t* Row(int y, std::uint32_t* buffer) const {
    widen(image.Row(y), image.width, buffer);
    std::fill(buffer + image.width, buffer + padded, buffer[image.width - 1]);
    return buffer;
  }
};

// The float planes of one row of MCUs, and widened rows where the source needs them: one
// set for each thread, kept from one part of the picture to the next.
struct Planes {
  std::vector<float> y_rows, cb_rows, cr_rows;
  std::vector<std::uint32_t> widened;
};

// Colour conversion, 4:2:0 down-sampling and the quantised DCT of MCU rows my_begin to
// my_end, one row at a time so the float planes stay in cache. Blocks reach `sink` in
// the order of an interleaved scan: four luma blocks, then Cb, then Cr.
template <typename Rows, typename Sink>
void TransformImage(const Rows& rows, int width, int height, const jpeg::Kernels& kernels,
                    const float (&divisors)[2][64], int mcus_w, int my_begin, int my_end,
                    Planes& planes, Sink& sink) {
  const int padded_w = mcus_w * 16;
  const int half_w = mcus_w * 8;
  std::vector<float>& y_rows = planes.y_rows;
  std::vector<float>& cb_rows = planes.cb_rows;
  std::vector<float>& cr_rows = planes.cr_rows;
  std::vector<std::uint32_t>& widened = planes.widened;
  y_rows.resize(static_cast<std::size_t>(padded_w) * 16);
  cb_rows.resize(static_cast<std::size_t>(half_w) * 8);
  cr_rows.resize(cb_rows.size());
  widened.resize(Rows::kWidened ? static_cast<std::size_t>(padded_w) * 2 : 0);
  // Otherwise the whole-MCU part of each row is read in place; the last MCU column,
  // which may run past the right edge, goes through a copy.
  const int direct = Rows::kWidened ? padded_w : width / 16 * 16;
  std::uint32_t tail[2][16];
  alignas(32) std::int16_t coefs[64];

  for (int my = my_begin; my < my_end; ++my) {
    for (int r = 0; r < 8; ++r) {
      // Past the bottom and right edges the last row and column repeat, which keeps the
      // padding blocks cheap and free of ringing into the picture.
      const std::uint32_t* src[2];
      for (int i = 0; i < 2; ++i)
        src[i] = rows.Row(
            std::min(my * 16 + 2 * r + i, height - 1),
            Rows::kWidened ? widened.data() + static_cast<std::size_t>(i) * padded_w : nullptr);
      float* y0 = &y_rows[static_cast<std::size_t>(2 * r) * padded_w];
      float* y1 = y0 + padded_w;
      float* cb = &cb_rows[static_cast<std::size_t>(r) * half_w];
      float* cr = &cr_rows[static_cast<std::size_t>(r) * half_w];
      kernels.convert_row_pair(src[0], src[1], direct, y0, y1, cb, cr);
      if (direct < padded_w) {
        for (int i = 0; i < 2; ++i)
          for (int x = direct; x < padded_w; ++x)
            tail[i][x - direct] = src[i][std::min(x, width - 1)];
        kernels.convert_row_pair(tail[0], tail[1], padded_w - direct, y0 + direct, y1 + direct,
                                 cb + direct / 2, cr + direct / 2);
      }
    }
    for (int mx = 0; mx < mcus_w; ++mx) {
      for (int v = 0; v < 2; ++v)
        for (int h = 0; h < 2; ++h) {
          const std::uint64_t nonzero = kernels.quantize_block(
              &y_rows[static_cast<std::size_t>(v * 8) * padded_w + mx * 16 + h * 8], padded_w,
              divisors[0], coefs);
          sink.Code(0, mx * 2 + h, my * 2 + v, coefs, nonzero);
        }
      for (int ci = 1; ci < 3; ++ci) {
        const std::vector<float>& plane = ci == 1 ? cb_rows : cr_rows;
        const std::uint64_t nonzero = kernels.quantize_block(
            &plane[static_cast<std::size_t>(mx) * 8], half_w, divisors[1], coefs);
        sink.Code(ci, mx, my, coefs, nonzero);
      }
    }
  }
}

// Progressive: every coefficient is kept, in zig-zag order, for the scans that follow.
class StoreBlocks {
 public:
  explicit StoreBlocks(Component* comps) : comps_(comps) {}
  void Code(int ci, int bx, int by, const std::int16_t* coefs, std::uint64_t nonzero) {
    std::int16_t* zigzag = comps_[ci].Block(bx, by);
    std::fill(zigzag, zigzag + 64, std::int16_t{0});
    for (std::uint64_t left = nonzero; left != 0; left &= left - 1) {
      const int k = std::countr_zero(left);
      zigzag[k] = coefs[jpeg::kColumnOrder[k]];
    }
  }

 private:
  Component* comps_;
};

// Baseline: each block becomes symbols at once, so no coefficient is stored. A part of
// the picture coded on its own starts its DC differences from zero; Follow() mends the
// first of each component once the part before it is done.
class CodeBaselineBlocks {
 public:
  CodeBaselineBlocks(const Component* comps, SymbolBuffer& symbols)
      : comps_(comps), symbols_(symbols) {}
  void Code(int ci, int, int, const std::int16_t* coefs, std::uint64_t nonzero) {
    symbols_.Reserve(jpeg::kMaxBaselineBlockEntries);
    if (first_entry_[ci] < 0) {
      first_entry_[ci] = symbols_.End() - symbols_.Begin();
      first_dc_[ci] = coefs[0];
    }
    jpeg::CodeBaselineBlock(symbols_, coefs, nonzero, last_dc_[ci], comps_[ci].DcSlot());
  }

  void Follow(const CodeBaselineBlocks& before) {
    for (int ci = 0; ci < 3; ++ci)
      if (first_entry_[ci] >= 0)
        symbols_.MutableBegin()[first_entry_[ci]] =
            jpeg::DcEntry(comps_[ci].DcSlot(), first_dc_[ci] - before.last_dc_[ci]);
  }

 private:
  const Component* comps_;
  SymbolBuffer& symbols_;
  int last_dc_[3] = {};
  std::ptrdiff_t first_entry_[3] = {-1, -1, -1};
  int first_dc_[3] = {};
};

// Runs part(0, thread) .. part(count - 1, thread), on this thread (0) and one more (1)
// where the processor has a second core. Parts go to whichever thread is free, so a
// helper that the system starts late, or holds back, only takes fewer. The first
// exception of a part is rethrown here, after every part has ended.
template <typename Part>
void RunParts(int count, const Part& part) {
  std::atomic<int> next{0};
  std::exception_ptr failure[2];
  const auto work = [&](int thread) {
    for (int i; (i = next.fetch_add(1)) < count;) {
      try {
        part(i, thread);
      } catch (...) {
        if (!failure[thread]) failure[thread] = std::current_exception();
      }
    }
  };
  std::thread helper;
  static const bool two_cores = std::thread::hardware_concurrency() > 1;
  if (count > 1 && two_cores) {
    try {
      helper = std::thread(work, 1);
    } catch (const std::system_error&) {
      // No second thread: this one does every part.
    }
  }
  work(0);
  if (helper.joinable()) helper.join();
  for (const std::exception_ptr& failed : failure)
    if (failed) std::rethrow_exception(failed);
}

// Pictures smaller than this gain too little from a second thread for what its start
// costs, and lose much when the machine holds it back.
constexpr long kPixelsForParts = 1L << 20;
// Parts of about 8 MCU rows or more: small enough that a thread held back leaves the
// other little to wait for, large enough that each costs little to set up.
constexpr int kMcuRowsPerPart = 8;

// Entries one progressive block can make, with a full correction-bit buffer flushed.
constexpr std::size_t kMaxProgressiveBlockEntries = 256;

// Gathers the symbols of one progressive scan.
class ScanCoder {
 public:
  ScanCoder(Component* comps, const Scan& scan, SymbolBuffer& out)
      : comps_(comps), scan_(scan), out_(out) {
    band_ = (scan.se == 63 ? ~std::uint64_t{0} : (std::uint64_t{1} << (scan.se + 1)) - 1) &
            ~((std::uint64_t{1} << scan.ss) - 1);
  }

  void Run() {
    if (scan_.count > 1) {
      // Interleaved: whole MCUs, every component's blocks in turn.
      const int mcus_w = comps_[1].blocks_w, mcus_h = comps_[1].blocks_h;
      for (int my = 0; my < mcus_h; ++my)
        for (int mx = 0; mx < mcus_w; ++mx)
          for (int i = 0; i < scan_.count; ++i) {
            const int ci = scan_.comps[i];
            Component& c = comps_[ci];
            for (int v = 0; v < c.v; ++v)
              for (int h = 0; h < c.h; ++h) CodeBlock(ci, c.Block(mx * c.h + h, my * c.v + v));
          }
    } else {
      const int ci = scan_.comps[0];
      Component& c = comps_[ci];
      for (int by = 0; by < c.real_h; ++by)
        for (int bx = 0; bx < c.real_w; ++bx) CodeBlock(ci, c.Block(bx, by));
    }
    if (scan_.ss > 0) FlushEobRun(comps_[scan_.comps[0]].AcSlot());
  }

 private:
  void CodeBlock(int ci, const std::int16_t* block) {
    out_.Reserve(kMaxProgressiveBlockEntries);
    const Component& c = comps_[ci];
    if (scan_.ss == 0) {
      if (scan_.ah == 0)
        DcFirst(ci, c.DcSlot(), block[0]);
      else
        out_.PutRaw(static_cast<std::uint32_t>(block[0] >> scan_.al) & 1, 1);
    } else if (scan_.ah == 0) {
      AcFirst(c.AcSlot(), block);
    } else {
      AcRefine(c.AcSlot(), block);
    }
  }

  void DcFirst(int ci, int slot, int value) {
    const int shifted = value >> scan_.al;  // arithmetic shift, as decoders expect
    const int diff = shifted - last_dc_[ci];
    last_dc_[ci] = shifted;
    const int nbits = std::bit_width(static_cast<unsigned>(diff < 0 ? -diff : diff));
    out_.Put(slot, nbits, static_cast<std::uint32_t>(diff + (diff >> 31)) & ((1u << nbits) - 1));
  }

  void AcFirst(int slot, const std::int16_t* block) {
    const std::uint64_t coded = jpeg::MagnitudeMask(block, scan_.al, false) & band_;
    int previous = scan_.ss - 1;
    for (std::uint64_t left = coded; left != 0; left &= left - 1) {
      const int k = std::countr_zero(left);
      int run = k - previous - 1;
      previous = k;
      FlushEobRun(slot);
      for (; run > 15; run -= 16) out_.Put(slot, 0xF0, 0);
      const int value = block[k];
      const int magnitude = (value < 0 ? -value : value) >> scan_.al;
      const int nbits = std::bit_width(static_cast<unsigned>(magnitude));
      const int bits = value < 0 ? ~magnitude : magnitude;
      out_.Put(slot, run << 4 | nbits, static_cast<std::uint32_t>(bits) & ((1u << nbits) - 1));
    }
    if (previous < scan_.se && ++eob_run_ == kMaxEobRun) FlushEobRun(slot);
  }

  // Successive approximation refinement of AC coefficients. Correction bits of blocks
  // folded into an end-of-band run wait in correction_[0, eob_bits_); those of the
  // current block follow them until something is written.
  void AcRefine(int slot, const std::int16_t* block) {
    const std::uint64_t coded = jpeg::MagnitudeMask(block, scan_.al, false) & band_;
    const std::uint64_t first_time = jpeg::MagnitudeMask(block, scan_.al, true) & band_;
    // The last coefficient that becomes non-zero in this scan.
    const int last_new = first_time == 0 ? 0 : 63 - std::countl_zero(first_time);
    int run = 0;  // zero coefficients since the last symbol
    int previous = scan_.ss - 1;
    int block_start = eob_bits_;
    int block_bits = 0;
    for (std::uint64_t left = coded; left != 0; left &= left - 1) {
      const int k = std::countr_zero(left);
      run += k - previous - 1;
      previous = k;
      while (run > 15 && k <= last_new) {
        FlushEobRun(slot);
        out_.Put(slot, 0xF0, 0);
        run -= 16;
        EmitCorrections(block_start, block_start + block_bits);
        block_start = 0;
        block_bits = 0;
      }
      const int magnitude = (block[k] < 0 ? -block[k] : block[k]) >> scan_.al;
      if (magnitude > 1) {
        correction_[block_start + block_bits++] = static_cast<std::uint8_t>(magnitude & 1);
        continue;
      }
      FlushEobRun(slot);
      out_.Put(slot, run << 4 | 1, block[k] < 0 ? 0 : 1);
      EmitCorrections(block_start, block_start + block_bits);
      block_start = 0;
      block_bits = 0;
      run = 0;
    }
    run += scan_.se - previous;
    if (run > 0 || block_bits > 0) {
      ++eob_run_;
      eob_bits_ += block_bits;
      // Flush before the next block could overflow the buffer.
      if (eob_run_ == kMaxEobRun || eob_bits_ > kMaxCorrectionBits - 64 + 1) FlushEobRun(slot);
    }
  }

  void EmitCorrections(int from, int to) {
    while (from < to) {
      const int n = std::min(16, to - from);
      std::uint32_t bits = 0;
      for (int i = 0; i < n; ++i) bits = bits << 1 | correction_[from + i];
      out_.PutRaw(bits, n);
      from += n;
    }
  }

  // Ends a pending run of empty blocks, then writes the correction bits buffered with it.
  void FlushEobRun(int slot) {
    if (eob_run_ == 0) return;
    const int nbits = std::bit_width(static_cast<unsigned>(eob_run_)) - 1;
    out_.Put(slot, nbits << 4, static_cast<std::uint32_t>(eob_run_) & ((1u << nbits) - 1));
    eob_run_ = 0;
    EmitCorrections(0, eob_bits_);
    eob_bits_ = 0;
  }

  Component* comps_;
  Scan scan_;
  SymbolBuffer& out_;
  std::uint64_t band_;  // bit k set for k in ss..se
  int last_dc_[3] = {};
  int eob_run_ = 0;
  int eob_bits_ = 0;
  std::uint8_t correction_[kMaxCorrectionBits + 64] = {};
};

void PutMarker(std::vector<std::uint8_t>& out, std::uint8_t marker) {
  out.push_back(0xFF);
  out.push_back(marker);
}

void WriteHeaders(std::vector<std::uint8_t>& out, const std::array<std::uint16_t, 64> (&quant)[2],
                  const Component* comps, int width, int height, bool progressive) {
  PutMarker(out, 0xD8);  // SOI
  // JFIF 1.01, no units, aspect ratio 1:1.
  PutMarker(out, 0xE0);
  const std::uint8_t jfif[] = {0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
  out.insert(out.end(), std::begin(jfif), std::end(jfif));
  PutMarker(out, 0xDB);  // DQT, both tables, 8-bit precision
  AppendBe16(out, 2 + 2 * 65);
  for (int t = 0; t < 2; ++t) {
    out.push_back(static_cast<std::uint8_t>(t));
    for (int k = 0; k < 64; ++k)
      out.push_back(static_cast<std::uint8_t>(quant[t][kNaturalOrder[k]]));
  }
  PutMarker(out, progressive ? 0xC2 : 0xC0);
  AppendBe16(out, 8 + 3 * 3);
  out.push_back(8);
  AppendBe16(out, static_cast<std::uint32_t>(height));
  AppendBe16(out, static_cast<std::uint32_t>(width));
  out.push_back(3);
  for (int i = 0; i < 3; ++i) {
    out.push_back(comps[i].id);
    out.push_back(static_cast<std::uint8_t>(comps[i].h << 4 | comps[i].v));
    out.push_back(static_cast<std::uint8_t>(comps[i].table));
  }
}

void WriteHuffmanTables(std::vector<std::uint8_t>& out,
                        const HuffmanCode* const (&tables)[jpeg::kCodedSlots]) {
  int length = 2;
  for (const HuffmanCode* table : tables)
    if (table) length += 17 + static_cast<int>(table->values.size());
  if (length == 2) return;
  PutMarker(out, 0xC4);
  AppendBe16(out, static_cast<std::uint32_t>(length));
  // All DC tables, then all AC tables.
  for (int cls = 0; cls < 2; ++cls)
    for (int i = 0; i < 2; ++i) {
      const HuffmanCode* table = tables[2 * i + cls];
      if (!table) continue;
      out.push_back(static_cast<std::uint8_t>(cls << 4 | i));
      out.insert(out.end(), table->counts.begin() + 1, table->counts.end());
      out.insert(out.end(), table->values.begin(), table->values.end());
    }
}

void WriteScanHeader(std::vector<std::uint8_t>& out, const Component* comps, const Scan& scan) {
  PutMarker(out, 0xDA);
  AppendBe16(out, static_cast<std::uint32_t>(6 + 2 * scan.count));
  out.push_back(static_cast<std::uint8_t>(scan.count));
  for (int i = 0; i < scan.count; ++i) {
    const Component& c = comps[scan.comps[i]];
    out.push_back(c.id);
    out.push_back(static_cast<std::uint8_t>(c.table << 4 | c.table));
  }
  out.push_back(static_cast<std::uint8_t>(scan.ss));
  out.push_back(static_cast<std::uint8_t>(scan.se));
  out.push_back(static_cast<std::uint8_t>(scan.ah << 4 | scan.al));
}

// Fits Huffman tables to the symbols gathered in `parts`, then writes them, the scan
// header and the data.
void WriteScan(std::vector<std::uint8_t>& out, const Component* comps, const Scan& scan,
               std::span<SymbolBuffer* const> parts) {
  HuffmanCounts counts[jpeg::kCodedSlots] = {};
  for (SymbolBuffer* part : parts) {
    part->Tally();
    for (int slot = 0; slot < jpeg::kCodedSlots; ++slot)
      for (int s = 0; s < 256; ++s) counts[slot][s] += part->Counts(slot)[s];
  }
  HuffmanCode codes[jpeg::kCodedSlots];
  const HuffmanCode* tables[jpeg::kCodedSlots] = {};
  for (int slot = 0; slot < jpeg::kCodedSlots; ++slot)
    if (BuildOptimalHuffman(counts[slot], codes[slot])) tables[slot] = &codes[slot];
  WriteHuffmanTables(out, tables);
  WriteScanHeader(out, comps, scan);
  const SymbolBuffer* const* begin = parts.data();
  jpeg::WriteSymbols({begin, parts.size()}, tables, out);
}

// Spectral selection plus successive approximation in the order widely used for 4:2:0
// colour: a coarse picture first, the luma detail last.
constexpr Scan kProgressiveScript[] = {
    {3, {0, 1, 2}, 0, 0, 0, 1}, {1, {0}, 1, 5, 0, 2},  {1, {2}, 1, 63, 0, 1},
    {1, {1}, 1, 63, 0, 1},      {1, {0}, 6, 63, 0, 2}, {1, {0}, 1, 63, 2, 1},
    {3, {0, 1, 2}, 0, 0, 1, 0}, {1, {2}, 1, 63, 1, 0}, {1, {1}, 1, 63, 1, 0},
    {1, {0}, 1, 63, 1, 0},
};

}  // namespace

std::array<std::uint16_t, 64> JpegQuantTable(int table, int quality) {
  quality = std::clamp(quality, 1, 100);
  const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
  std::array<std::uint16_t, 64> result{};
  for (int i = 0; i < 64; ++i) {
    const long value = (static_cast<long>(kBaseTables[table][i]) * scale + 50) / 100;
    result[i] = static_cast<std::uint16_t>(std::clamp(value, 1L, 255L));
  }
  return result;
}

namespace {

template <typename View>
bool ValidSize(const View& image, std::ptrdiff_t min_stride) {
  return image.width >= 1 && image.height >= 1 && image.width <= kJpegMaxDimension &&
         image.height <= kJpegMaxDimension && image.stride >= min_stride;
}

template <typename Rows>
Error Encode(const Rows& rows, int width, int height, const JpegOptions& options,
             const jpeg::Kernels& kernels, std::vector<std::uint8_t>& out) {
  try {
    const std::array<std::uint16_t, 64> quant[2] = {JpegQuantTable(0, options.quality),
                                                    JpegQuantTable(1, options.quality)};
    // In the kernels' column order: u * 8 + v for horizontal frequency u, vertical v.
    alignas(32) float divisors[2][64];
    for (int t = 0; t < 2; ++t)
      for (int u = 0; u < 8; ++u)
        for (int v = 0; v < 8; ++v)
          divisors[t][u * 8 + v] =
              1.0f / (static_cast<float>(quant[t][v * 8 + u]) * kAanScale[v] * kAanScale[u] * 8.0f);

    const int mcus_w = (width + 15) / 16;
    const int mcus_h = (height + 15) / 16;
    const int chroma_w = (width + 1) / 2, chroma_h = (height + 1) / 2;
    Component comps[3] = {
        {1, 2, 2, 0, mcus_w * 2, mcus_h * 2, (width + 7) / 8, (height + 7) / 8, {}},
        {2, 1, 1, 1, mcus_w, mcus_h, (chroma_w + 7) / 8, (chroma_h + 7) / 8, {}},
        {3, 1, 1, 1, mcus_w, mcus_h, (chroma_w + 7) / 8, (chroma_h + 7) / 8, {}},
    };

    // Most screen pictures compress to well under a byte per pixel.
    out.reserve(static_cast<std::size_t>(width) * height / 4 + 1024);
    WriteHeaders(out, quant, comps, width, height, options.progressive);
    // Large pictures are transformed in parts of whole MCU rows, side by side; the
    // file is the same as from one part.
    const int parts = options.threads != 1 && static_cast<long>(width) * height >= kPixelsForParts
                          ? std::max(1, mcus_h / kMcuRowsPerPart)
                          : 1;
    Planes planes[2];
    const auto rows_of = [&](int part) {
      return std::pair<int, int>{mcus_h * part / parts, mcus_h * (part + 1) / parts};
    };
    if (options.progressive) {
      for (Component& c : comps)
        c.coefs.reset(new std::int16_t[static_cast<std::size_t>(c.blocks_w) * c.blocks_h * 64]);
      StoreBlocks store(comps);
      RunParts(parts, [&](int part, int thread) {
        const auto [begin, end] = rows_of(part);
        StoreBlocks sink = store;
        TransformImage(rows, width, height, kernels, divisors, mcus_w, begin, end, planes[thread],
                       sink);
      });
      SymbolBuffer symbols;
      symbols.Clear();
      symbols.Reserve(static_cast<std::size_t>(width) * height / 2);
      SymbolBuffer* const list[1] = {&symbols};
      for (const Scan& scan : kProgressiveScript) {
        symbols.Clear();
        ScanCoder(comps, scan, symbols).Run();
        WriteScan(out, comps, scan, list);
      }
    } else {
      std::vector<SymbolBuffer> symbols(static_cast<std::size_t>(parts));
      std::vector<CodeBaselineBlocks> coders;
      std::vector<SymbolBuffer*> list;
      coders.reserve(symbols.size());
      for (SymbolBuffer& part : symbols) {
        coders.emplace_back(comps, part);
        list.push_back(&part);
      }
      RunParts(parts, [&](int part, int thread) {
        const auto [begin, end] = rows_of(part);
        SymbolBuffer& own = symbols[static_cast<std::size_t>(part)];
        own.Clear();
        // More than all but noise needs, so the list seldom has to grow and be copied:
        // pages of it that no symbol reaches are never touched, and so cost nothing.
        own.Reserve(static_cast<std::size_t>(width) * (end - begin) * 16 / 2);
        TransformImage(rows, width, height, kernels, divisors, mcus_w, begin, end, planes[thread],
                       coders[static_cast<std::size_t>(part)]);
      });
      for (std::size_t part = 1; part < coders.size(); ++part)
        coders[part].Follow(coders[part - 1]);
      WriteScan(out, comps, Scan{3, {0, 1, 2}, 0, 63, 0, 0}, list);
    }
    PutMarker(out, 0xD9);  // EOI
  } catch (const std::bad_alloc&) {
    out.clear();
    out.shrink_to_fit();
    return Error::kOutOfMemory;
  }
  return Error::kOk;
}

}  // namespace

Error EncodeJpeg(const PixelView& image, const JpegOptions& options, jpeg::KernelLevel level,
                 std::vector<std::uint8_t>& out) {
  out.clear();
  if (image.pixels == nullptr || !jpeg::Runs(level)) return Error::kBadArgument;
  if (!ValidSize(image, image.width)) return Error::kBadSize;
  return Encode(PixelRows{image}, image.width, image.height, options, jpeg::KernelsOf(level), out);
}

Error EncodeJpegRgb(const RgbView& image, const JpegOptions& options, jpeg::KernelLevel level,
                    std::vector<std::uint8_t>& out) {
  out.clear();
  if (image.bytes == nullptr || !jpeg::Runs(level)) return Error::kBadArgument;
  if (!ValidSize(image, std::ptrdiff_t{3} * image.width)) return Error::kBadSize;
  const jpeg::Kernels& kernels = jpeg::KernelsOf(level);
  return Encode(RgbRows{image, kernels.widen_rgb_row, (image.width + 15) / 16 * 16}, image.width,
                image.height, options, kernels, out);
}

Error EncodeJpeg(const PixelView& image, const JpegOptions& options,
                 std::vector<std::uint8_t>& out) {
  return EncodeJpeg(image, options, jpeg::FastestLevel(), out);
}

Error EncodeJpegRgb(const RgbView& image, const JpegOptions& options,
                    std::vector<std::uint8_t>& out) {
  return EncodeJpegRgb(image, options, jpeg::FastestLevel(), out);
}

}  // namespace pelnoro::encoder
