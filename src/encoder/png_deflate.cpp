#include "encoder/png_deflate.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <atomic>
#include <new>
#include <system_error>
#include <thread>

#include "encoder/byte_writer.h"

namespace pelnoro::encoder::png {
namespace {

constexpr int kWindowBits = 15;
constexpr std::size_t kWindow = std::size_t{1} << kWindowBits;
constexpr std::uint32_t kAdlerModulo = 65521;
// The most bytes whose sums cannot overflow 32 bits before they are reduced.
constexpr std::size_t kAdlerRun = 5552;

}  // namespace

std::uint32_t Adler32(std::span<const std::uint8_t> data) {
  std::uint32_t s1 = 1, s2 = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time: s1 gains their sum, s2 sixteen times the s1 before them plus
  // their sum weighted 16 down to 1.
  const __m128i zero = _mm_setzero_si128();
  const __m128i first_weights = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
  const __m128i last_weights = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
  const auto lanes = [](__m128i v) {
    alignas(16) std::uint32_t x[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(x), v);
    return std::uint64_t{x[0]} + x[1] + x[2] + x[3];
  };
  while (data.size() - i >= 16) {
    const std::size_t blocks = std::min((data.size() - i) / 16, kAdlerRun / 16);
    __m128i sums = zero, sums_before = zero, weighted = zero;
    for (std::size_t b = 0; b < blocks; ++b, i += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data.data() + i));
      sums_before = _mm_add_epi32(sums_before, sums);
      sums = _mm_add_epi32(sums, _mm_sad_epu8(v, zero));
      weighted = _mm_add_epi32(
          weighted, _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(v, zero), first_weights),
                                  _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), last_weights)));
    }
    s2 = static_cast<std::uint32_t>(
        (s2 + 16 * blocks * s1 + 16 * lanes(sums_before) + lanes(weighted)) % kAdlerModulo);
    s1 = static_cast<std::uint32_t>((s1 + lanes(sums)) % kAdlerModulo);
  }
#endif
  while (i < data.size()) {
    const std::size_t end = std::min(data.size(), i + kAdlerRun);
    for (; i < end; ++i) {
      s1 += data[i];
      s2 += s1;
    }
    s1 %= kAdlerModulo;
    s2 %= kAdlerModulo;
  }
  return s2 << 16 | s1;
}

void RunJobs(std::span<const std::function<void()>> jobs, bool parallel) {
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < jobs.size();) jobs[i]();
  };
  std::thread helper;
  if (parallel && jobs.size() > 1 && std::thread::hardware_concurrency() > 1) {
    try {
      helper = std::thread(work);
    } catch (const std::system_error&) {
      // No second thread: this one does everything.
    }
  }
  work();
  if (helper.joinable()) helper.join();
}

Error DeflatedSize(std::span<const std::uint8_t> data, deflate::Effort effort, std::size_t& size) {
  try {
    deflate::BitStream stream;
    deflate::Compress(data, 0, effort, true, stream);
    size = stream.bytes.size();
    return Error::kOk;
  } catch (const std::bad_alloc&) {
    return Error::kOutOfMemory;
  }
}

Error ZlibCompress(std::span<const std::uint8_t> data, deflate::Effort effort, int pieces,
                   int level_field, std::vector<std::uint8_t>& out) {
  out.clear();
  // Pieces shorter than the window would gain nothing.
  const std::size_t count =
      std::clamp<std::size_t>(static_cast<std::size_t>(std::max(pieces, 1)), 1,
                              std::max<std::size_t>(data.size() / (2 * kWindow), 1));
  std::vector<deflate::BitStream> parts(count);
  std::vector<Error> errors(count, Error::kOk);
  std::uint32_t adler = 0;
  std::vector<std::function<void()>> jobs;
  for (std::size_t i = 0; i < count; ++i)
    jobs.emplace_back([&, i] {
      const std::size_t start = data.size() * i / count, end = data.size() * (i + 1) / count;
      const std::size_t history = std::min(start, kWindow);
      try {
        parts[i].bytes.reserve((end - start) / 8 + 4096);
        deflate::Compress(data.subspan(start - history, end - start + history), history, effort,
                          i + 1 == count, parts[i]);
      } catch (const std::bad_alloc&) {
        errors[i] = Error::kOutOfMemory;
      }
    });
  jobs.emplace_back([&] { adler = Adler32(data); });
  // A single piece is a small input: a second thread would cost more than it saves.
  RunJobs(jobs, count > 1);
  for (Error e : errors)
    if (e != Error::kOk) return e;

  // The header as zlib would write it: 32 KiB window, and the level field.
  std::uint32_t header = (8 + ((kWindowBits - 8) << 4)) << 8 |
                         static_cast<std::uint32_t>(std::clamp(level_field, 0, 3)) << 6;
  header += 31 - header % 31;
  deflate::BitStream joined;
  joined.bytes.reserve(2 + 4 + 8);
  {
    deflate::BitWriter writer(joined);
    writer.Put(header >> 8, 8);
    writer.Put(header & 0xFF, 8);
    for (auto& part : parts) {
      writer.Append(part);
      part = {};
    }
    writer.AlignToByte();
    writer.Finish();
  }
  out.swap(joined.bytes);
  AppendBe32(out, adler);
  return Error::kOk;
}

}  // namespace pelnoro::encoder::png
