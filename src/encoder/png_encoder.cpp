#include "encoder/png_encoder.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <new>
#include <optional>

#include "encoder/byte_writer.h"
#include "encoder/png_deflate.h"
#include "encoder/png_filter.h"

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
    return true;
  }

  // Numbers the colours: the most frequent first, or from dark to light. Packed pixels
  // compress better in the order a grey picture would have (measured on screen text);
  // whole-byte indices, with the frequent colours on small numbers.
  void Order(bool dark_first) {
    std::array<int, kMaxPaletteColours> slots{};
    int n = 0;
    for (int s = 0; s < kSlots; ++s)
      if (keys_[s] != kEmpty) slots[n++] = s;
    const auto lightness = [this](int slot) {
      const std::uint32_t c = keys_[slot];
      return 299 * Red(c) + 587 * Green(c) + 114 * Blue(c);
    };
    std::sort(slots.begin(), slots.begin() + n, [&](int a, int b) {
      if (dark_first) {
        if (lightness(a) != lightness(b)) return lightness(a) < lightness(b);
      } else if (counts_[a] != counts_[b]) {
        return counts_[a] > counts_[b];
      }
      return keys_[a] < keys_[b];
    });
    for (int i = 0; i < n; ++i) {
      index_[slots[i]] = static_cast<std::uint8_t>(i);
      colours_[i] = keys_[slots[i]];
    }
  }

  // Numbers grey colours by their level, as a grey picture of `depth` bits stores them.
  // False when a colour is not grey or its level does not fit that depth exactly.
  bool NumberAsGrey(int depth) {
    const std::uint32_t step = 255u / ((1u << depth) - 1);
    for (int s = 0; s < kSlots; ++s) {
      const std::uint32_t c = keys_[s];
      if (c == kEmpty) continue;
      if (Red(c) != Green(c) || Red(c) != Blue(c) || Red(c) % step != 0) return false;
      index_[s] = static_cast<std::uint8_t>(Red(c) / step);
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

// Scanlines at or above this size are prepared and compressed in pieces on two threads.
constexpr std::size_t kSplitBytes = std::size_t{1} << 20;
// Work on fewer bytes than this is done on one thread: starting a second costs more.
constexpr std::size_t kThreadBytes = std::size_t{1} << 17;
// Choices are tried on all rows up to this size, above it on a sample.
constexpr std::size_t kWholeSampleBytes = std::size_t{1} << 18;
// Estimates this close are settled by compressing both.
constexpr double kCloseEstimates = 1.03;
// On photo-like pictures a lazy trial whose greedy probe comes out this much above the
// runs' estimate is skipped: there lazy matching gains far less than that over greedy.
constexpr double kProbeNear = 1.25;
// A quicker compression this close to the smallest is worth its few bytes.
constexpr double kQuickEnough = 1.01;
// The sample: one band of rows out of every kSampleEvery.
constexpr int kSampleBand = 64;
constexpr int kSampleEvery = 8;

// Scanlines as PNG compresses them: a filter-type byte before each row.
struct Scanlines {
  std::vector<std::uint8_t> bytes;
  int height = 0;
  std::size_t row_bytes = 0;  // without the filter-type byte

  std::size_t line() const { return row_bytes + 1; }
  std::uint8_t* Row(int y) { return bytes.data() + static_cast<std::size_t>(y) * line(); }
  const std::uint8_t* Row(int y) const {
    return bytes.data() + static_cast<std::size_t>(y) * line();
  }
};

// Rows split into `parts` runs, one job each.
void ForRowRuns(int height, int parts, const std::function<void(int, int)>& body) {
  std::vector<std::function<void()>> jobs;
  for (int i = 0; i < parts; ++i) {
    const int from = static_cast<int>(static_cast<long long>(height) * i / parts);
    const int to = static_cast<int>(static_cast<long long>(height) * (i + 1) / parts);
    jobs.emplace_back([&body, from, to] { body(from, to); });
  }
  png::RunJobs(jobs);
}

int PartsFor(std::size_t bytes) {
  return bytes >= kSplitBytes ? 2 : 1;
}

// Pieces of the final compression: some parts of a picture take far longer than others
// (text against flat areas), so a piece per MiB keeps both threads busy to the end. Each
// piece starts blocks of its own, whose codes are sent again: a few dozen bytes.
int PiecesFor(std::size_t bytes) {
  return bytes < kSplitBytes
             ? 1
             : static_cast<int>(std::clamp<std::size_t>(bytes / kSplitBytes, 2, 16));
}

// A candidate's filtering: none (0), each row by the smallest sum of signed residuals, or
// one PNG filter type (1 to 4) for every row. Screens with gradients often do best with
// one filter throughout: the rows' residuals then repeat from row to row.
constexpr int kEachRow = -1;

// Rows [from, to) of `plain` filtered so, one after another into `out`.
void FilterInto(const Scanlines& plain, int filter, int bpp, int from, int to, std::uint8_t* out) {
  const std::vector<std::uint8_t> zero_row(filter != 0 ? plain.row_bytes : 0, 0);
  for (int y = from; y < to; ++y, out += plain.line()) {
    const std::uint8_t* row = plain.Row(y) + 1;
    const std::uint8_t* prior = y > 0 ? plain.Row(y - 1) + 1 : zero_row.data();
    if (filter == 0)
      std::copy(plain.Row(y), plain.Row(y) + plain.line(), out);
    else if (filter == kEachRow)
      png::FilterRow(row, prior, plain.row_bytes, bpp, y == 0, out);
    else
      png::FilterRowWith(filter, row, prior, plain.row_bytes, bpp, out);
  }
}

Scanlines Filtered(const Scanlines& plain, int filter, int bpp) {
  Scanlines out{std::vector<std::uint8_t>(plain.bytes.size()), plain.height, plain.row_bytes};
  ForRowRuns(plain.height, PartsFor(plain.bytes.size()),
             [&](int from, int to) { FilterInto(plain, filter, bpp, from, to, out.Row(from)); });
  return out;
}

// The compression of the final stream, and the quicker one whose sizes rank the choices.
struct Efforts {
  deflate::Effort trial, final;
};

struct Candidate {
  const Scanlines* plain;
  int filter;
  Efforts efforts;
  const Palette* palette;  // the numbering the lines use; null for colour
  bool grey;               // written as grey levels, so without a palette chunk
};

// Bytes a candidate's file carries besides the compressed rows that differ between
// candidates: the palette chunk.
std::size_t Overhead(const Candidate& c) {
  return c.palette && !c.grey ? 12 + 3 * static_cast<std::size_t>(c.palette->size()) : 0;
}

// Compresses the candidate that makes the smallest file. A sample of each decides: a band
// of rows out of every few, tall enough to keep the repeats between lines of text that
// unfiltered rows exploit. Small pictures are tried whole. When `settle_close` and the
// first candidate (the unfiltered rows) is one of two close best estimates, both are
// compressed in full and the smaller kept. With `prefer_quick`, time counts as well.
Error CompressBest(const std::vector<Candidate>& candidates, int bpp, bool prefer_quick,
                   bool settle_close, int level_field, std::size_t& chosen,
                   std::vector<std::uint8_t>& stream) {
  const Scanlines& any = *candidates[0].plain;
  const bool whole = any.bytes.size() <= kWholeSampleBytes;
  // The distinct rows the candidates compress, each as a sample and, once needed, whole.
  std::vector<std::pair<const Scanlines*, int>> sources;
  std::vector<std::size_t> source_of;
  for (const Candidate& c : candidates) {
    const std::pair<const Scanlines*, int> key{c.plain, c.filter};
    auto at = std::find(sources.begin(), sources.end(), key);
    if (at == sources.end()) at = sources.insert(sources.end(), key);
    source_of.push_back(static_cast<std::size_t>(at - sources.begin()));
  }
  std::vector<Scanlines> full(sources.size());
  const auto lines = [&](std::size_t s) -> const Scanlines& {
    if (sources[s].second == 0) return *sources[s].first;
    if (full[s].bytes.empty()) full[s] = Filtered(*sources[s].first, sources[s].second, bpp);
    return full[s];
  };
  std::vector<std::vector<std::uint8_t>> samples(sources.size());
  for (std::size_t s = 0; s < sources.size() && !whole; ++s)
    for (int y = 0; y < any.height; y += kSampleBand * kSampleEvery) {
      const int end = std::min(any.height, y + kSampleBand);
      const std::size_t at = samples[s].size();
      samples[s].resize(at + static_cast<std::size_t>(end - y) * any.line());
      FilterInto(*sources[s].first, sources[s].second, bpp, y, end, samples[s].data() + at);
    }
  const auto sample = [&](std::size_t i) -> std::span<const std::uint8_t> {
    if (whole) return lines(source_of[i]).bytes;
    return samples[source_of[i]];
  };
  if (whole)
    for (std::size_t s = 0; s < sources.size(); ++s) lines(s);
  const double scale =
      whole ? 1.0 : static_cast<double>(any.bytes.size()) / static_cast<double>(samples[0].size());

  // Trials of several candidates at once; each estimate is a sample's size scaled to the
  // whole picture, plus what does not scale.
  struct Trial {
    std::span<const std::uint8_t> rows;
    deflate::Effort effort;
    std::size_t overhead;
    double* estimate;
  };
  const auto try_all = [&](const std::vector<Trial>& trials) {
    std::vector<std::size_t> sizes(trials.size());
    std::vector<Error> errors(trials.size(), Error::kOk);
    std::vector<std::function<void()>> jobs;
    for (std::size_t t = 0; t < trials.size(); ++t)
      jobs.emplace_back(
          [&, t] { errors[t] = png::DeflatedSize(trials[t].rows, trials[t].effort, sizes[t]); });
    png::RunJobs(jobs, sample(0).size() >= kThreadBytes);
    for (std::size_t t = 0; t < trials.size(); ++t) {
      if (errors[t] != Error::kOk) return errors[t];
      *trials[t].estimate =
          static_cast<double>(sizes[t]) * scale + static_cast<double>(trials[t].overhead);
    }
    return Error::kOk;
  };
  // Lazy matching's trials are slow where rows hardly repeat (photographs, unfiltered).
  // On large pictures at the normal level each first gets a greedy probe of its rows. Where
  // runs alone beat every probe and quick trial, the picture is photo-like and a lazy trial
  // is made only when its probe comes near; elsewhere lazy matching gains too much over
  // greedy (regular screens: a quarter) for a probe to judge it.
  const bool probe_first = prefer_quick && any.bytes.size() >= kSplitBytes;
  const auto slow = [&](std::size_t i) {
    return probe_first && candidates[i].efforts.trial > deflate::Effort::kGreedy;
  };
  constexpr double kUntried = std::numeric_limits<double>::infinity();
  std::vector<double> estimates(candidates.size(), kUntried);
  std::vector<double> probes(sources.size(), kUntried);
  std::vector<Trial> first;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const std::size_t s = source_of[i];
    if (!slow(i))
      first.push_back(
          {sample(i), candidates[i].efforts.trial, Overhead(candidates[i]), &estimates[i]});
    else if (std::none_of(first.begin(), first.end(),
                          [&](const Trial& t) { return t.estimate == &probes[s]; }))
      first.push_back({sample(i), deflate::Effort::kGreedy, Overhead(candidates[i]), &probes[s]});
  }
  if (const Error e = try_all(first); e != Error::kOk) return e;
  const std::size_t best_first = static_cast<std::size_t>(
      std::min_element(estimates.begin(), estimates.end()) - estimates.begin());
  const bool photo_like = candidates[best_first].efforts.trial == deflate::Effort::kRuns &&
                          estimates[best_first] <= *std::min_element(probes.begin(), probes.end());
  std::vector<Trial> second_round;
  for (std::size_t i = 0; i < candidates.size(); ++i)
    if (slow(i) && (!photo_like || probes[source_of[i]] <= estimates[best_first] * kProbeNear))
      second_round.push_back(
          {sample(i), candidates[i].efforts.trial, Overhead(candidates[i]), &estimates[i]});
  if (const Error e = try_all(second_round); e != Error::kOk) return e;
  chosen = static_cast<std::size_t>(std::min_element(estimates.begin(), estimates.end()) -
                                    estimates.begin());
  // A quicker final compression (the efforts are in order) that comes this close wins:
  // on photographs runs come within a fraction of a per cent of matching, in a quarter of
  // the time. Only large pictures take long enough to matter, and only their samples
  // have enough bands to trust so close a call.
  if (prefer_quick && any.bytes.size() >= kSplitBytes) {
    const double best = estimates[chosen];
    for (std::size_t i = 0; i < candidates.size(); ++i)
      if (estimates[i] <= best * kQuickEnough &&
          candidates[i].efforts.final < candidates[chosen].efforts.final)
        chosen = i;
  }
  std::size_t second = candidates.size();
  for (std::size_t i = 0; i < candidates.size(); ++i)
    if (i != chosen && (second == candidates.size() || estimates[i] < estimates[second]))
      second = i;

  // Only the unfiltered candidate's estimate misses the long repeats.
  if (settle_close && second < candidates.size() && (chosen == 0 || second == 0) &&
      estimates[second] <= estimates[chosen] * kCloseEstimates) {
    const std::size_t pair[2] = {chosen, second};
    const Scanlines* pair_rows[2] = {&lines(source_of[chosen]), &lines(source_of[second])};
    std::vector<std::uint8_t> outputs[2];
    Error pair_errors[2] = {Error::kOk, Error::kOk};
    std::vector<std::function<void()>> both;
    for (int k = 0; k < 2; ++k)
      both.emplace_back([&, k] {
        pair_errors[k] = png::ZlibCompress(pair_rows[k]->bytes, candidates[pair[k]].efforts.final,
                                           1, level_field, outputs[k]);
      });
    png::RunJobs(both, any.bytes.size() >= kThreadBytes);
    for (Error e : pair_errors)
      if (e != Error::kOk) return e;
    const auto file_size = [&](int k) { return outputs[k].size() + Overhead(candidates[pair[k]]); };
    const int k = file_size(1) < file_size(0) ? 1 : 0;
    chosen = pair[k];
    stream.swap(outputs[k]);
    return Error::kOk;
  }
  const Candidate& c = candidates[chosen];
  const Scanlines& rows = lines(source_of[chosen]);
  for (std::size_t s = 0; s < full.size(); ++s)
    if (s != source_of[chosen]) full[s] = {};
  const Error e = png::ZlibCompress(rows.bytes, c.efforts.final, PiecesFor(rows.bytes.size()),
                                    level_field, stream);
  // On small, very regular pictures the lazy parse now and then comes out ahead of the
  // optimal one, whose cost model settles on a poorer path; they are cheap to compare.
  if (e != Error::kOk || c.efforts.final != deflate::Effort::kOptimal ||
      rows.bytes.size() >= kSplitBytes)
    return e;
  std::vector<std::uint8_t> lazy;
  const Error lazy_error =
      png::ZlibCompress(rows.bytes, deflate::Effort::kLazyDeep, 1, level_field, lazy);
  if (lazy_error != Error::kOk) return lazy_error;
  if (lazy.size() < stream.size()) stream.swap(lazy);
  return Error::kOk;
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data,
              std::size_t size) {
  AppendBe32(out, static_cast<std::uint32_t>(size));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  if (size > 0) out.insert(out.end(), data, data + size);
  uLong crc = crc32(0, out.data() + start, 4);
  // crc32's length is a 32-bit uInt; chunks are at most 1 MiB anyway.
  if (size > 0) crc = crc32(crc, data, static_cast<uInt>(size));
  AppendBe32(out, static_cast<std::uint32_t>(crc));
}

// How the rows are compressed at a level, and how noise-like rows are. Small pictures
// can afford the longer search at the normal level: it is what lets zlib's level 9 win
// on them.
Efforts EffortsFor(PngLevel level, std::size_t bytes) {
  switch (level) {
    case PngLevel::kLow:
      return {deflate::Effort::kGreedy, deflate::Effort::kGreedy};
    case PngLevel::kHighest:
      return {deflate::Effort::kLazy, deflate::Effort::kOptimal};
    default:
      return {deflate::Effort::kLazy,
              bytes < kSplitBytes ? deflate::Effort::kLazyDeep : deflate::Effort::kLazy};
  }
}
// What the zlib header says of the level, whichever compression the rows got.
int LevelField(PngLevel level) {
  return level == PngLevel::kLow ? 0 : level == PngLevel::kHighest ? 3 : 2;
}

// How one filter for every row is tried, each type on its own. At the highest level as
// every other choice; at the normal level ranked by the greedy parse, which costs little
// even on photographs, where lazy matching's trials take long. That undervalues them, so
// they win there only where they win by far (screens with gradients: a third of the size).
std::optional<Efforts> WholeFilterEffortsFor(PngLevel level, Efforts efforts) {
  if (level == PngLevel::kHighest) return efforts;
  if (level == PngLevel::kNormal) return Efforts{deflate::Effort::kGreedy, efforts.final};
  return std::nullopt;
}

Efforts NoiseEffortsFor(PngLevel level) {
  // The optimal parse finds the runs as well; only its ranking needs them tried apart.
  return level == PngLevel::kHighest ? Efforts{deflate::Effort::kRuns, deflate::Effort::kOptimal}
                                     : Efforts{deflate::Effort::kRuns, deflate::Effort::kRuns};
}

// The picture's rows as PNG scanlines, unfiltered: palette indices (`depth` bits each)
// when a palette is given, otherwise RGB.
Scanlines BuildRows(const PixelView& image, const Palette* palette, int depth) {
  Scanlines rows;
  rows.height = image.height;
  rows.row_bytes = palette ? (static_cast<std::size_t>(image.width) * depth + 7) / 8
                           : static_cast<std::size_t>(image.width) * 3;
  // Zero: every filter-type byte says None, and packed pixels are or-ed in.
  rows.bytes.resize(rows.line() * static_cast<std::size_t>(image.height));
  ForRowRuns(image.height, PartsFor(rows.bytes.size()), [&](int from, int to) {
    for (int y = from; y < to; ++y) {
      const std::uint32_t* src = image.Row(y);
      std::uint8_t* dest = rows.Row(y) + 1;
      if (palette) {
        std::uint32_t last = ~src[0];
        std::uint8_t last_index = 0;
        const int per_byte = 8 / depth;
        for (int x = 0; x < image.width; ++x) {
          if (src[x] != last) {
            last = src[x];
            last_index = palette->IndexOf(last);
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
  });
  return rows;
}

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
    Palette common_first;
    const bool indexed = common_first.Collect(image);
    // Few colours pack several pixels into a byte; deflate gains from that as well.
    const int depth = !indexed                    ? 8
                      : common_first.size() <= 2  ? 1
                      : common_first.size() <= 4  ? 2
                      : common_first.size() <= 16 ? 4
                                                  : 8;
    Palette dark_first = common_first;
    Palette grey_levels = common_first;
    const bool grey = indexed && grey_levels.NumberAsGrey(depth);
    if (indexed) {
      common_first.Order(depth < 8);
      dark_first.Order(true);
    }

    // What to try, by the kind of picture; a sample of each choice decides.
    // - Palette indices: unfiltered, the most frequent colours on small numbers, suits
    //   screens; numbered from dark to light, the indices of gradients and anti-aliased
    //   text follow the lightness, and filters pay as they do for grey pictures. Grey
    //   pictures store their levels so, without a palette at all.
    // - Colour: flat screens compress best unfiltered with long matches; photographs'
    //   filtered residuals hardly repeat and are best left to Huffman codes with runs,
    //   and screens with some of both to matches of six bytes or more.
    // - Either: one filter for every row, each type in turn, at the normal and highest
    //   levels; gradients then leave the same residuals row after row.
    // Packed pixels are numbered dark to light anyway, which is what grey levels are.
    const bool packed_grey = grey && depth < 8;
    const Palette* numbering = !indexed ? nullptr : packed_grey ? &grey_levels : &common_first;
    Scanlines plain = BuildRows(image, numbering, depth);
    const Efforts efforts = EffortsFor(level, plain.bytes.size());
    const int bpp = indexed ? 1 : 3;
    Scanlines lightness;
    std::vector<Candidate> candidates = {{&plain, 0, efforts, numbering, packed_grey},
                                         {&plain, kEachRow, efforts, numbering, packed_grey}};
    if (indexed && depth == 8) {
      const Palette* by_level = grey ? &grey_levels : &dark_first;
      lightness = BuildRows(image, by_level, depth);
      candidates.push_back({&lightness, kEachRow, efforts, by_level, grey});
    }
    if (const std::optional<Efforts> whole = WholeFilterEffortsFor(level, efforts))
      for (int type = 1; type <= 4; ++type)
        candidates.push_back({&plain, type, *whole, numbering, packed_grey});
    if (!indexed) {
      candidates.push_back({&plain, kEachRow, NoiseEffortsFor(level), nullptr, false});
      if (level == PngLevel::kNormal)
        candidates.push_back({&plain,
                              kEachRow,
                              {deflate::Effort::kLazyLong, deflate::Effort::kLazyLong},
                              nullptr,
                              false});
    }
    std::size_t chosen = 0;
    std::vector<std::uint8_t> stream;
    // Settling costs a second full compression: worth it at the low level only where
    // that is quick, and where a sample of few bands may mislead.
    const bool settle = level == PngLevel::kLow && plain.bytes.size() < kSplitBytes;
    const Error e = CompressBest(candidates, bpp, level == PngLevel::kNormal, settle,
                                 LevelField(level), chosen, stream);
    if (e != Error::kOk) return e;
    const Candidate& c = candidates[chosen];
    const Palette& palette = c.palette ? *c.palette : common_first;
    plain = {};
    lightness = {};

    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.reserve(stream.size() + stream.size() / 100000 * 12 + 1024);
    out.insert(out.end(), kSignature, kSignature + 8);
    std::uint8_t header[13];
    StoreBe32(header, static_cast<std::uint32_t>(image.width));
    StoreBe32(header + 4, static_cast<std::uint32_t>(image.height));
    header[8] = static_cast<std::uint8_t>(depth);
    header[9] = c.grey ? 0 : indexed ? 3 : 2;  // colour type: grey, palette or RGB
    header[10] = header[11] = header[12] = 0;  // deflate, adaptive filtering, no interlace
    PutChunk(out, "IHDR", header, sizeof header);
    if (indexed && !c.grey) {
      std::vector<std::uint8_t> plte;
      for (int i = 0; i < palette.size(); ++i) {
        plte.push_back(Red(palette.colour(i)));
        plte.push_back(Green(palette.colour(i)));
        plte.push_back(Blue(palette.colour(i)));
      }
      PutChunk(out, "PLTE", plte.data(), plte.size());
    }
    constexpr std::size_t kIdatSize = std::size_t{1} << 20;
    for (std::size_t pos = 0; pos < stream.size(); pos += kIdatSize)
      PutChunk(out, "IDAT", stream.data() + pos, std::min(kIdatSize, stream.size() - pos));
    PutChunk(out, "IEND", nullptr, 0);
  } catch (const std::bad_alloc&) {
    out.clear();
    out.shrink_to_fit();
    return Error::kOutOfMemory;
  }
  return Error::kOk;
}

}  // namespace pelnoro::encoder
