#include "encoder/png_encoder.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

namespace pelnoro::encoder {
namespace {

constexpr int kMaxPaletteColours = 256;

// Colours of a picture with at most 256 of them, most frequent first, and a fast
// colour -> index lookup (open addressing; far from full at 256 entries).
class Palette {
 public:
  // False as soon as a 257th colour turns up.
  bool Collect(const PixelView& image) {
    std::uint32_t last = 0xFFFFFFFF;
    int last_slot = -1;
    for (int y = 0; y < image.height; ++y) {
      const std::uint32_t* row = image.Row(y);
      for (int x = 0; x < image.width; ++x) {
        const std::uint32_t colour = row[x] & 0xFFFFFF;
        // Screen pictures are mostly runs of one colour: skip the lookup for them.
        if (colour != last) {
          last = colour;
          last_slot = Find(colour);
          if (keys_[last_slot] == kEmpty) {
            if (size_ == kMaxPaletteColours) return false;
            keys_[last_slot] = colour;
            ++size_;
          }
        }
        ++counts_[last_slot];
      }
    }
    std::array<int, kMaxPaletteColours> slots{};
    int n = 0;
    for (int s = 0; s < kSlots; ++s)
      if (keys_[s] != kEmpty) slots[n++] = s;
    std::sort(slots.begin(), slots.begin() + n, [this](int a, int b) {
      return counts_[a] != counts_[b] ? counts_[a] > counts_[b] : keys_[a] < keys_[b];
    });
    for (int i = 0; i < n; ++i) {
      index_[slots[i]] = static_cast<std::uint8_t>(i);
      colours_[i] = keys_[slots[i]];
    }
    return true;
  }

  int size() const { return size_; }
  std::uint32_t colour(int i) const { return colours_[i]; }
  std::uint8_t IndexOf(std::uint32_t colour) const { return index_[Find(colour & 0xFFFFFF)]; }

 private:
  static constexpr int kSlots = 1024;
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;

  int Find(std::uint32_t colour) const {
    std::uint32_t h = (colour * 2654435761u) >> 22;
    while (keys_[h] != kEmpty && keys_[h] != colour) h = (h + 1) & (kSlots - 1);
    return static_cast<int>(h);
  }

  std::array<std::uint32_t, kSlots> keys_ = [] {
    std::array<std::uint32_t, kSlots> k{};
    k.fill(kEmpty);
    return k;
  }();
  std::array<std::uint64_t, kSlots> counts_{};
  std::array<std::uint8_t, kSlots> index_{};
  std::array<std::uint32_t, kMaxPaletteColours> colours_{};
  int size_ = 0;
};

enum class FilterChoice {
  kNone,    // every row unfiltered: often best for palette indices and crisp text
  kMinSum,  // per row, the filter with the smallest sum of |signed bytes|
};

inline std::uint8_t Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
  return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

// Writes filter type `type` of `row` (previous row `prior`, `bpp` bytes per pixel) to
// `out` and returns the min-sum cost of the result.
std::uint32_t FilterRow(int type, const std::uint8_t* row, const std::uint8_t* prior,
                        std::size_t length, int bpp, std::uint8_t* out) {
  switch (type) {
    case 0:
      std::memcpy(out, row, length);
      break;
    case 1:
      for (std::size_t i = 0; i < length; ++i)
        out[i] = static_cast<std::uint8_t>(row[i] -
                                           (i >= static_cast<std::size_t>(bpp) ? row[i - bpp] : 0));
      break;
    case 2:
      for (std::size_t i = 0; i < length; ++i)
        out[i] = static_cast<std::uint8_t>(row[i] - prior[i]);
      break;
    case 3:
      for (std::size_t i = 0; i < length; ++i) {
        const int left = i >= static_cast<std::size_t>(bpp) ? row[i - bpp] : 0;
        out[i] = static_cast<std::uint8_t>(row[i] - ((left + prior[i]) >> 1));
      }
      break;
    default:
      for (std::size_t i = 0; i < length; ++i) {
        const bool has_left = i >= static_cast<std::size_t>(bpp);
        const int a = has_left ? row[i - bpp] : 0;
        const int c = has_left ? prior[i - bpp] : 0;
        out[i] = static_cast<std::uint8_t>(row[i] - Paeth(a, prior[i], c));
      }
      break;
  }
  std::uint32_t cost = 0;
  for (std::size_t i = 0; i < length; ++i) cost += out[i] < 128 ? out[i] : 256 - out[i];
  return cost;
}

// The scanlines PNG compresses: a filter-type byte before each row.
std::vector<std::uint8_t> FilterImage(const std::vector<std::uint8_t>& raw, int height,
                                      std::size_t row_bytes, int bpp, FilterChoice choice) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(height) * (row_bytes + 1));
  const std::vector<std::uint8_t> zero_row(row_bytes, 0);
  std::vector<std::uint8_t> trial(row_bytes), best(row_bytes);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = raw.data() + static_cast<std::size_t>(y) * row_bytes;
    const std::uint8_t* prior = y > 0 ? row - row_bytes : zero_row.data();
    std::uint8_t* dest = out.data() + static_cast<std::size_t>(y) * (row_bytes + 1);
    if (choice == FilterChoice::kNone) {
      dest[0] = 0;
      std::memcpy(dest + 1, row, row_bytes);
      continue;
    }
    std::uint32_t best_cost = UINT32_MAX;
    int best_type = 0;
    for (int type = 0; type < 5; ++type) {
      // Up, Average and Paeth against the zero row above the first row are no better
      // than None or Sub.
      if (y == 0 && type >= 2) break;
      const std::uint32_t cost = FilterRow(type, row, prior, row_bytes, bpp, trial.data());
      if (cost < best_cost) {
        best_cost = cost;
        best_type = type;
        best.swap(trial);
      }
    }
    dest[0] = static_cast<std::uint8_t>(best_type);
    std::memcpy(dest + 1, best.data(), row_bytes);
  }
  return out;
}

// zlib stream of `data`; zlib's counters are 32-bit on Windows, so feed it in slices.
Error Deflate(const std::vector<std::uint8_t>& data, int level, int mem_level, int strategy,
              std::vector<std::uint8_t>& out) {
  z_stream z{};
  int rc = deflateInit2(&z, level, Z_DEFLATED, 15, mem_level, strategy);
  if (rc != Z_OK) return rc == Z_MEM_ERROR ? Error::kOutOfMemory : Error::kCompressFailed;
  constexpr std::size_t kSlice = std::size_t{1} << 30;
  out.clear();
  std::size_t in_pos = 0, out_pos = 0;
  Error result = Error::kOk;
  try {
    out.resize(std::max<std::size_t>(data.size() / 4, 4096));
    for (;;) {
      if (z.avail_in == 0 && in_pos < data.size()) {
        const std::size_t n = std::min(kSlice, data.size() - in_pos);
        z.next_in = const_cast<Bytef*>(data.data() + in_pos);
        z.avail_in = static_cast<uInt>(n);
        in_pos += n;
      }
      if (out_pos == out.size()) out.resize(out.size() * 2);
      const std::size_t room = std::min(kSlice, out.size() - out_pos);
      z.next_out = out.data() + out_pos;
      z.avail_out = static_cast<uInt>(room);
      rc = deflate(&z, in_pos == data.size() && z.avail_in == 0 ? Z_FINISH : Z_NO_FLUSH);
      out_pos += room - z.avail_out;
      if (rc == Z_STREAM_END) break;
      if (rc != Z_OK && rc != Z_BUF_ERROR) {
        result = Error::kCompressFailed;
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    result = Error::kOutOfMemory;
  }
  deflateEnd(&z);
  out.resize(result == Error::kOk ? out_pos : 0);
  return result;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data,
              std::size_t size) {
  Put32(out, static_cast<std::uint32_t>(size));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  if (size > 0) out.insert(out.end(), data, data + size);
  uLong crc = crc32(0, out.data() + start, 4);
  // crc32's length is a 32-bit uInt; chunks are at most 1 MiB anyway.
  if (size > 0) crc = crc32(crc, data, static_cast<uInt>(size));
  Put32(out, static_cast<std::uint32_t>(crc));
}

struct Trial {
  FilterChoice filter;
  int level;
  int mem_level;
  int strategy;
};

}  // namespace

Error EncodePng(const PixelView& image, PngLevel level, std::vector<std::uint8_t>& out) {
  out.clear();
  if (image.pixels == nullptr) return Error::kBadArgument;
  if (level != PngLevel::kNormal && level != PngLevel::kLow && level != PngLevel::kHighest)
    return Error::kBadArgument;
  if (image.width < 1 || image.height < 1 || image.width > kPngMaxDimension ||
      image.height > kPngMaxDimension || image.stride < image.width)
    return Error::kBadSize;
  try {
    Palette palette;
    const bool indexed = palette.Collect(image);
    // Few colours pack several pixels into a byte; deflate gains from that as well.
    const int depth = !indexed               ? 8
                      : palette.size() <= 2  ? 1
                      : palette.size() <= 4  ? 2
                      : palette.size() <= 16 ? 4
                                             : 8;
    const int bpp = indexed ? 1 : 3;
    const std::size_t row_bytes = indexed ? (static_cast<std::size_t>(image.width) * depth + 7) / 8
                                          : static_cast<std::size_t>(image.width) * 3;

    std::vector<std::uint8_t> raw(row_bytes * image.height);
    for (int y = 0; y < image.height; ++y) {
      const std::uint32_t* src = image.Row(y);
      std::uint8_t* dest = raw.data() + row_bytes * y;
      if (indexed) {
        std::uint32_t last = ~src[0];
        std::uint8_t last_index = 0;
        const int per_byte = 8 / depth;
        for (int x = 0; x < image.width; ++x) {
          if (src[x] != last) {
            last = src[x];
            last_index = palette.IndexOf(last);
          }
          // Leftmost pixel in the high bits.
          const int shift = (per_byte - 1 - x % per_byte) * depth;
          dest[x / per_byte] = static_cast<std::uint8_t>(dest[x / per_byte] | last_index << shift);
        }
      } else {
        for (int x = 0; x < image.width; ++x) {
          dest[3 * x] = Red(src[x]);
          dest[3 * x + 1] = Green(src[x]);
          dest[3 * x + 2] = Blue(src[x]);
        }
      }
    }

    // Palette indices have no numeric meaning, so filters rarely pay for them.
    const FilterChoice usual = indexed ? FilterChoice::kNone : FilterChoice::kMinSum;
    std::vector<Trial> trials;
    switch (level) {
      case PngLevel::kLow:
        trials = {{usual, 1, 8, Z_DEFAULT_STRATEGY}};
        break;
      case PngLevel::kNormal:
        trials = {{usual, 6, 8, indexed ? Z_DEFAULT_STRATEGY : Z_FILTERED}};
        break;
      case PngLevel::kHighest:
        // Anti-aliased text often compresses better unfiltered: let the bytes decide.
        trials = {{FilterChoice::kNone, 9, 9, Z_DEFAULT_STRATEGY},
                  {FilterChoice::kMinSum, 9, 9, Z_DEFAULT_STRATEGY},
                  {FilterChoice::kMinSum, 9, 9, Z_FILTERED}};
        break;
    }

    std::vector<std::uint8_t> best, packed;
    for (const Trial& trial : trials) {
      const std::vector<std::uint8_t> filtered =
          FilterImage(raw, image.height, row_bytes, bpp, trial.filter);
      const Error e = Deflate(filtered, trial.level, trial.mem_level, trial.strategy, packed);
      if (e != Error::kOk) return e;
      if (best.empty() || packed.size() < best.size()) best.swap(packed);
    }
    raw = {};

    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.reserve(best.size() + best.size() / 100000 * 12 + 1024);
    out.insert(out.end(), kSignature, kSignature + 8);
    std::uint8_t header[13];
    const std::uint32_t w = static_cast<std::uint32_t>(image.width);
    const std::uint32_t h = static_cast<std::uint32_t>(image.height);
    for (int i = 0; i < 4; ++i) {
      header[i] = static_cast<std::uint8_t>(w >> (24 - 8 * i));
      header[4 + i] = static_cast<std::uint8_t>(h >> (24 - 8 * i));
    }
    header[8] = static_cast<std::uint8_t>(depth);
    header[9] = indexed ? 3 : 2;               // colour type: palette or RGB
    header[10] = header[11] = header[12] = 0;  // deflate, adaptive filtering, no interlace
    PutChunk(out, "IHDR", header, sizeof header);
    if (indexed) {
      std::vector<std::uint8_t> plte;
      for (int i = 0; i < palette.size(); ++i) {
        plte.push_back(Red(palette.colour(i)));
        plte.push_back(Green(palette.colour(i)));
        plte.push_back(Blue(palette.colour(i)));
      }
      PutChunk(out, "PLTE", plte.data(), plte.size());
    }
    constexpr std::size_t kIdatSize = std::size_t{1} << 20;
    for (std::size_t pos = 0; pos < best.size(); pos += kIdatSize)
      PutChunk(out, "IDAT", best.data() + pos, std::min(kIdatSize, best.size() - pos));
    PutChunk(out, "IEND", nullptr, 0);
  } catch (const std::bad_alloc&) {
    out.clear();
    out.shrink_to_fit();
    return Error::kOutOfMemory;
  }
  return Error::kOk;
}

}  // namespace pelnoro::encoder
