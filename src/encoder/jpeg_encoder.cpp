#include "encoder/jpeg_encoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "encoder/jpeg_bit_writer.h"
#include "encoder/jpeg_huffman.h"

namespace pelnoro::encoder {
namespace {

// Position in the 8x8 block (row-major) of the k-th coefficient in zig-zag order.
constexpr std::uint8_t kNaturalOrder[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// ITU T.81 Annex K.1, row-major.
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

constexpr int kMaxCorrectionBits = 1000;

struct Component {
  std::uint8_t id;
  int h, v;      // sampling factors
  int table;     // quantisation and Huffman table slot: 0 luma, 1 chroma
  int blocks_w;  // blocks per row, padded to whole MCUs
  int blocks_h;
  int real_w;  // blocks a non-interleaved scan covers
  int real_h;
  std::vector<std::int16_t> coefs;  // 64 per block, zig-zag order

  std::int16_t* Block(int bx, int by) {
    return coefs.data() + (static_cast<std::size_t>(by) * blocks_w + bx) * 64;
  }
};

struct Scan {
  int count;
  int comps[3];
  int ss, se, ah, al;
};

// Forward 8x8 DCT after Arai, Agui and Nakajima; rows, then columns, in place.
void ForwardDct(float* d) {
  for (int pass = 0; pass < 2; ++pass) {
    const int step = pass == 0 ? 1 : 8;  // distance between samples of one line
    const int next = pass == 0 ? 8 : 1;  // distance between lines
    for (int line = 0; line < 8; ++line) {
      float* p = d + line * next;
      const float tmp0 = p[0] + p[7 * step], tmp7 = p[0] - p[7 * step];
      const float tmp1 = p[step] + p[6 * step], tmp6 = p[step] - p[6 * step];
      const float tmp2 = p[2 * step] + p[5 * step], tmp5 = p[2 * step] - p[5 * step];
      const float tmp3 = p[3 * step] + p[4 * step], tmp4 = p[3 * step] - p[4 * step];

      float tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
      float tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
      p[0] = tmp10 + tmp11;
      p[4 * step] = tmp10 - tmp11;
      const float z1 = (tmp12 + tmp13) * 0.707106781f;
      p[2 * step] = tmp13 + z1;
      p[6 * step] = tmp13 - z1;

      tmp10 = tmp4 + tmp5;
      tmp11 = tmp5 + tmp6;
      tmp12 = tmp6 + tmp7;
      const float z5 = (tmp10 - tmp12) * 0.382683433f;
      const float z2 = 0.541196100f * tmp10 + z5;
      const float z4 = 1.306562965f * tmp12 + z5;
      const float z3 = tmp11 * 0.707106781f;
      const float z11 = tmp7 + z3, z13 = tmp7 - z3;
      p[5 * step] = z13 + z2;
      p[3 * step] = z13 - z2;
      p[1 * step] = z11 + z4;
      p[7 * step] = z11 - z4;
    }
  }
}

void QuantizeBlock(float* block, const float* divisors, std::int16_t* out) {
  ForwardDct(block);
  for (int k = 0; k < 64; ++k) {
    const int n = kNaturalOrder[k];
    // Round half up, as the reference encoder does.
    int q = static_cast<int>(block[n] * divisors[n] + 16384.5f) - 16384;
    q = std::clamp(q, -2047, 2047);
    if (k > 0) q = std::clamp(q, -1023, 1023);  // AC values must fit 10 bits
    out[k] = static_cast<std::int16_t>(q);
  }
}

// Colour conversion, 4:2:0 down-sampling and quantised DCT of the whole picture, one
// row of MCUs at a time so the float planes stay small.
void TransformImage(const PixelView& image, const std::array<std::uint16_t, 64> (&quant)[2],
                    Component* comps) {
  float divisors[2][64];
  for (int t = 0; t < 2; ++t)
    for (int i = 0; i < 64; ++i)
      divisors[t][i] =
          1.0f / (static_cast<float>(quant[t][i]) * kAanScale[i / 8] * kAanScale[i % 8] * 8.0f);

  const int mcus_w = comps[1].blocks_w;
  const int mcus_h = comps[1].blocks_h;
  const int padded_w = mcus_w * 16;
  const int half_w = mcus_w * 8;
  std::vector<float> y_rows(static_cast<std::size_t>(padded_w) * 16);
  std::vector<float> cb_rows(y_rows.size()), cr_rows(y_rows.size());
  std::vector<float> cb_half(static_cast<std::size_t>(half_w) * 8), cr_half(cb_half.size());
  const int w = image.width;
  float block[64];

  for (int my = 0; my < mcus_h; ++my) {
    for (int r = 0; r < 16; ++r) {
      // Past the bottom and right edges the last row and column repeat, which keeps the
      // padding blocks cheap and free of ringing into the picture.
      const std::uint32_t* src = image.Row(std::min(my * 16 + r, image.height - 1));
      float* yp = &y_rows[static_cast<std::size_t>(r) * padded_w];
      float* cbp = &cb_rows[static_cast<std::size_t>(r) * padded_w];
      float* crp = &cr_rows[static_cast<std::size_t>(r) * padded_w];
      for (int x = 0; x < w; ++x) {
        const std::uint32_t c = src[x];
        const float red = Red(c), green = Green(c), blue = Blue(c);
        yp[x] = 0.299f * red + 0.587f * green + 0.114f * blue - 128.0f;
        cbp[x] = -0.168735892f * red - 0.331264108f * green + 0.5f * blue;
        crp[x] = 0.5f * red - 0.418687589f * green - 0.081312411f * blue;
      }
      for (int x = w; x < padded_w; ++x) {
        yp[x] = yp[w - 1];
        cbp[x] = cbp[w - 1];
        crp[x] = crp[w - 1];
      }
    }
    for (int r = 0; r < 8; ++r) {
      const float* cb0 = &cb_rows[static_cast<std::size_t>(2 * r) * padded_w];
      const float* cr0 = &cr_rows[static_cast<std::size_t>(2 * r) * padded_w];
      float* cbo = &cb_half[static_cast<std::size_t>(r) * half_w];
      float* cro = &cr_half[static_cast<std::size_t>(r) * half_w];
      for (int x = 0; x < half_w; ++x) {
        cbo[x] = 0.25f *
                 (cb0[2 * x] + cb0[2 * x + 1] + cb0[padded_w + 2 * x] + cb0[padded_w + 2 * x + 1]);
        cro[x] = 0.25f *
                 (cr0[2 * x] + cr0[2 * x + 1] + cr0[padded_w + 2 * x] + cr0[padded_w + 2 * x + 1]);
      }
    }
    for (int bx = 0; bx < mcus_w * 2; ++bx) {
      for (int half = 0; half < 2; ++half) {
        for (int r = 0; r < 8; ++r)
          std::memcpy(block + r * 8,
                      &y_rows[static_cast<std::size_t>(half * 8 + r) * padded_w + bx * 8],
                      8 * sizeof(float));
        QuantizeBlock(block, divisors[0], comps[0].Block(bx, my * 2 + half));
      }
    }
    for (int bx = 0; bx < mcus_w; ++bx) {
      for (int r = 0; r < 8; ++r)
        std::memcpy(block + r * 8, &cb_half[static_cast<std::size_t>(r) * half_w + bx * 8],
                    8 * sizeof(float));
      QuantizeBlock(block, divisors[1], comps[1].Block(bx, my));
      for (int r = 0; r < 8; ++r)
        std::memcpy(block + r * 8, &cr_half[static_cast<std::size_t>(r) * half_w + bx * 8],
                    8 * sizeof(float));
      QuantizeBlock(block, divisors[1], comps[2].Block(bx, my));
    }
  }
}

// Codes one scan. The same code runs twice: first counting symbols to fit the Huffman
// tables, then writing bits, so both passes always agree.
class ScanCoder {
 public:
  ScanCoder(Component* comps, const Scan& scan, bool progressive)
      : comps_(comps), scan_(scan), progressive_(progressive) {}

  void Count(HuffmanCounts (&dc)[2], HuffmanCounts (&ac)[2]) {
    dc_counts_ = dc;
    ac_counts_ = ac;
    writer_ = nullptr;
    Run();
  }

  void Write(const HuffmanCode* (&dc)[2], const HuffmanCode* (&ac)[2], BitWriter& writer) {
    for (int i = 0; i < 2; ++i) {
      dc_codes_[i] = dc[i];
      ac_codes_[i] = ac[i];
    }
    writer_ = &writer;
    Run();
    writer.Flush();
  }

 private:
  void Run() {
    last_dc_[0] = last_dc_[1] = last_dc_[2] = 0;
    eob_run_ = 0;
    eob_bits_ = 0;
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
    if (scan_.ss > 0) FlushEobRun(comps_[scan_.comps[0]].table);
  }

  void Symbol(bool dc, int slot, int symbol) {
    if (writer_ == nullptr) {
      ++(dc ? dc_counts_ : ac_counts_)[slot][symbol];
    } else {
      const HuffmanCode& code = *(dc ? dc_codes_ : ac_codes_)[slot];
      writer_->Put(code.code[symbol], code.length[symbol]);
    }
  }
  void Bits(std::uint32_t bits, int count) {
    if (writer_ != nullptr && count > 0) writer_->Put(bits & ((1u << count) - 1), count);
  }

  void CodeBlock(int ci, const std::int16_t* block) {
    const int slot = comps_[ci].table;
    if (!progressive_) {
      DcFirst(ci, slot, block[0], 0);
      AcFirst(slot, block, 1, 63, 0);
    } else if (scan_.ss == 0) {
      if (scan_.ah == 0)
        DcFirst(ci, slot, block[0], scan_.al);
      else
        Bits(static_cast<std::uint32_t>(block[0] >> scan_.al), 1);
    } else if (scan_.ah == 0) {
      AcFirst(slot, block, scan_.ss, scan_.se, scan_.al);
    } else {
      AcRefine(slot, block);
    }
  }

  void DcFirst(int ci, int slot, int value, int al) {
    const int shifted = value >> al;  // arithmetic shift, as decoders expect
    const int diff = shifted - last_dc_[ci];
    last_dc_[ci] = shifted;
    const unsigned magnitude = static_cast<unsigned>(diff < 0 ? -diff : diff);
    const int nbits = std::bit_width(magnitude);
    Symbol(true, slot, nbits);
    Bits(static_cast<std::uint32_t>(diff < 0 ? diff - 1 : diff), nbits);
  }

  void AcFirst(int slot, const std::int16_t* block, int ss, int se, int al) {
    int run = 0;
    for (int k = ss; k <= se; ++k) {
      int value = block[k];
      if (value == 0) {
        ++run;
        continue;
      }
      int magnitude = value < 0 ? -value : value;
      magnitude >>= al;
      if (magnitude == 0) {
        ++run;
        continue;
      }
      const int bits = value < 0 ? ~magnitude : magnitude;
      FlushEobRun(slot);
      while (run > 15) {
        Symbol(false, slot, 0xF0);
        run -= 16;
      }
      const int nbits = std::bit_width(static_cast<unsigned>(magnitude));
      Symbol(false, slot, (run << 4) + nbits);
      Bits(static_cast<std::uint32_t>(bits), nbits);
      run = 0;
    }
    if (run > 0) {
      if (!progressive_) {
        Symbol(false, slot, 0x00);
      } else if (++eob_run_ == 0x7FFF) {
        FlushEobRun(slot);
      }
    }
  }

  // Successive approximation refinement of AC coefficients (T.81 G.1.2.3). Correction
  // bits of blocks folded into an end-of-band run wait in correction_[0, eob_bits_);
  // those of the current block follow them until something is written.
  void AcRefine(int slot, const std::int16_t* block) {
    int magnitudes[64];
    int last_new = 0;  // index of the last coefficient that becomes non-zero in this scan
    for (int k = scan_.ss; k <= scan_.se; ++k) {
      const int v = block[k];
      magnitudes[k] = (v < 0 ? -v : v) >> scan_.al;
      if (magnitudes[k] == 1) last_new = k;
    }
    int run = 0;
    int block_start = eob_bits_;
    int block_bits = 0;
    for (int k = scan_.ss; k <= scan_.se; ++k) {
      const int m = magnitudes[k];
      if (m == 0) {
        ++run;
        continue;
      }
      while (run > 15 && k <= last_new) {
        FlushEobRun(slot);
        Symbol(false, slot, 0xF0);
        run -= 16;
        EmitCorrections(block_start, block_start + block_bits);
        block_start = 0;
        block_bits = 0;
      }
      if (m > 1) {
        correction_[block_start + block_bits++] = static_cast<std::uint8_t>(m & 1);
        continue;
      }
      FlushEobRun(slot);
      Symbol(false, slot, (run << 4) + 1);
      Bits(block[k] < 0 ? 0 : 1, 1);
      EmitCorrections(block_start, block_start + block_bits);
      block_start = 0;
      block_bits = 0;
      run = 0;
    }
    if (run > 0 || block_bits > 0) {
      ++eob_run_;
      eob_bits_ += block_bits;
      // Flush before the next block could overflow the buffer.
      if (eob_run_ == 0x7FFF || eob_bits_ > kMaxCorrectionBits - 64 + 1) FlushEobRun(slot);
    }
  }

  void EmitCorrections(int from, int to) {
    for (int i = from; i < to; ++i) Bits(correction_[i], 1);
  }

  // Ends a pending run of empty blocks, then writes the correction bits buffered with it.
  void FlushEobRun(int slot) {
    if (eob_run_ == 0) return;
    const int nbits = std::bit_width(static_cast<unsigned>(eob_run_)) - 1;
    Symbol(false, slot, nbits << 4);
    Bits(static_cast<std::uint32_t>(eob_run_), nbits);
    eob_run_ = 0;
    EmitCorrections(0, eob_bits_);
    eob_bits_ = 0;
  }

  Component* comps_;
  Scan scan_;
  bool progressive_;
  HuffmanCounts* dc_counts_ = nullptr;
  HuffmanCounts* ac_counts_ = nullptr;
  const HuffmanCode* dc_codes_[2] = {};
  const HuffmanCode* ac_codes_[2] = {};
  BitWriter* writer_ = nullptr;
  int last_dc_[3] = {};
  int eob_run_ = 0;
  int eob_bits_ = 0;
  std::uint8_t correction_[kMaxCorrectionBits + 64] = {};
};

void PutMarker(std::vector<std::uint8_t>& out, std::uint8_t marker) {
  out.push_back(0xFF);
  out.push_back(marker);
}
void Put16(std::vector<std::uint8_t>& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

void WriteHeaders(std::vector<std::uint8_t>& out, const std::array<std::uint16_t, 64> (&quant)[2],
                  const Component* comps, int width, int height, bool progressive) {
  PutMarker(out, 0xD8);  // SOI
  // JFIF 1.01, no units, aspect ratio 1:1.
  PutMarker(out, 0xE0);
  const std::uint8_t jfif[] = {0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
  out.insert(out.end(), std::begin(jfif), std::end(jfif));
  PutMarker(out, 0xDB);  // DQT, both tables, 8-bit precision
  Put16(out, 2 + 2 * 65);
  for (int t = 0; t < 2; ++t) {
    out.push_back(static_cast<std::uint8_t>(t));
    for (int k = 0; k < 64; ++k)
      out.push_back(static_cast<std::uint8_t>(quant[t][kNaturalOrder[k]]));
  }
  PutMarker(out, progressive ? 0xC2 : 0xC0);
  Put16(out, 8 + 3 * 3);
  out.push_back(8);
  Put16(out, height);
  Put16(out, width);
  out.push_back(3);
  for (int i = 0; i < 3; ++i) {
    out.push_back(comps[i].id);
    out.push_back(static_cast<std::uint8_t>(comps[i].h << 4 | comps[i].v));
    out.push_back(static_cast<std::uint8_t>(comps[i].table));
  }
}

void WriteHuffmanTables(std::vector<std::uint8_t>& out, const HuffmanCode* (&dc)[2],
                        const HuffmanCode* (&ac)[2]) {
  int length = 2;
  for (int i = 0; i < 2; ++i) {
    if (dc[i]) length += 17 + static_cast<int>(dc[i]->values.size());
    if (ac[i]) length += 17 + static_cast<int>(ac[i]->values.size());
  }
  if (length == 2) return;
  PutMarker(out, 0xC4);
  Put16(out, length);
  for (int cls = 0; cls < 2; ++cls)
    for (int i = 0; i < 2; ++i) {
      const HuffmanCode* table = cls == 0 ? dc[i] : ac[i];
      if (!table) continue;
      out.push_back(static_cast<std::uint8_t>(cls << 4 | i));
      out.insert(out.end(), table->counts.begin() + 1, table->counts.end());
      out.insert(out.end(), table->values.begin(), table->values.end());
    }
}

void WriteScanHeader(std::vector<std::uint8_t>& out, const Component* comps, const Scan& scan) {
  PutMarker(out, 0xDA);
  Put16(out, 6 + 2 * scan.count);
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

// Fits Huffman tables to the scan, then writes them, the scan header and the data.
void EncodeScan(std::vector<std::uint8_t>& out, Component* comps, const Scan& scan,
                bool progressive) {
  HuffmanCounts dc_counts[2] = {}, ac_counts[2] = {};
  ScanCoder coder(comps, scan, progressive);
  const bool refine_dc = progressive && scan.ss == 0 && scan.ah > 0;
  if (!refine_dc) coder.Count(dc_counts, ac_counts);
  HuffmanCode dc_codes[2], ac_codes[2];
  const HuffmanCode* dc[2] = {};
  const HuffmanCode* ac[2] = {};
  for (int i = 0; i < 2; ++i) {
    if (BuildOptimalHuffman(dc_counts[i], dc_codes[i])) dc[i] = &dc_codes[i];
    if (BuildOptimalHuffman(ac_counts[i], ac_codes[i])) ac[i] = &ac_codes[i];
  }
  WriteHuffmanTables(out, dc, ac);
  WriteScanHeader(out, comps, scan);
  BitWriter writer(out);
  coder.Write(dc, ac, writer);
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

Error EncodeJpeg(const PixelView& image, const JpegOptions& options,
                 std::vector<std::uint8_t>& out) {
  out.clear();
  if (image.pixels == nullptr) return Error::kBadArgument;
  if (image.width < 1 || image.height < 1 || image.width > kJpegMaxDimension ||
      image.height > kJpegMaxDimension || image.stride < image.width)
    return Error::kBadSize;
  try {
    const std::array<std::uint16_t, 64> quant[2] = {JpegQuantTable(0, options.quality),
                                                    JpegQuantTable(1, options.quality)};
    const int mcus_w = (image.width + 15) / 16;
    const int mcus_h = (image.height + 15) / 16;
    const int chroma_w = (image.width + 1) / 2, chroma_h = (image.height + 1) / 2;
    Component comps[3] = {
        {1, 2, 2, 0, mcus_w * 2, mcus_h * 2, (image.width + 7) / 8, (image.height + 7) / 8, {}},
        {2, 1, 1, 1, mcus_w, mcus_h, (chroma_w + 7) / 8, (chroma_h + 7) / 8, {}},
        {3, 1, 1, 1, mcus_w, mcus_h, (chroma_w + 7) / 8, (chroma_h + 7) / 8, {}},
    };
    for (Component& c : comps)
      c.coefs.resize(static_cast<std::size_t>(c.blocks_w) * c.blocks_h * 64);
    TransformImage(image, quant, comps);

    // Most screen pictures compress to well under a byte per pixel.
    out.reserve(static_cast<std::size_t>(image.width) * image.height / 4 + 1024);
    WriteHeaders(out, quant, comps, image.width, image.height, options.progressive);
    if (options.progressive) {
      for (const Scan& scan : kProgressiveScript) EncodeScan(out, comps, scan, true);
    } else {
      EncodeScan(out, comps, Scan{3, {0, 1, 2}, 0, 63, 0, 0}, false);
    }
    PutMarker(out, 0xD9);  // EOI
  } catch (const std::bad_alloc&) {
    out.clear();
    out.shrink_to_fit();
    return Error::kOutOfMemory;
  }
  return Error::kOk;
}

}  // namespace pelnoro::encoder
