#include "encoder/png_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <system_error>
#include <thread>

#include "encoder/byte_writer.h"

namespace pelnoro::encoder::png {
namespace {

constexpr int kWindowBits = 15;
constexpr std::size_t kWindow = std::size_t{1} << kWindowBits;
// zlib's largest hash table: slightly smaller output for no extra time.
constexpr int kMemLevel = 9;
// zlib's counters are 32-bit on Windows, so it is fed in slices.
constexpr std::size_t kSlice = std::size_t{1} << 30;

// Output into a growing vector.
class VectorSink {
 public:
  VectorSink(std::vector<std::uint8_t>& out, std::size_t expected) : out_(out) {
    out_.resize(std::max<std::size_t>(expected, 4096));
  }
  std::uint8_t* Room(std::size_t& room) {
    if (used_ == out_.size()) out_.resize(out_.size() * 2);
    room = out_.size() - used_;
    return out_.data() + used_;
  }
  void Used(std::size_t n) { used_ += n; }
  void Finish() { out_.resize(used_); }

 private:
  std::vector<std::uint8_t>& out_;
  std::size_t used_ = 0;
};

// Output counted and dropped.
class CountingSink {
 public:
  std::uint8_t* Room(std::size_t& room) {
    room = sizeof scratch_;
    return scratch_;
  }
  void Used(std::size_t n) { total_ += n; }
  void Finish() {}
  std::size_t total() const { return total_; }

 private:
  std::uint8_t scratch_[1 << 16];
  std::size_t total_ = 0;
};

// Raw deflate data (no zlib wrapper) of `data`, after `dictionary` (at most 32 KiB). The
// last piece of a stream ends it; any other ends on a byte boundary, ready for the next.
template <typename Sink>
Error RawDeflate(std::span<const std::uint8_t> dictionary, std::span<const std::uint8_t> data,
                 DeflateSettings settings, bool last, Sink& sink) {
  z_stream z{};
  int rc = deflateInit2(&z, settings.level, Z_DEFLATED, -kWindowBits, kMemLevel, settings.strategy);
  if (rc != Z_OK) return rc == Z_MEM_ERROR ? Error::kOutOfMemory : Error::kCompressFailed;
  Error result = Error::kOk;
  if (!dictionary.empty() &&
      deflateSetDictionary(&z, dictionary.data(), static_cast<uInt>(dictionary.size())) != Z_OK)
    result = Error::kCompressFailed;
  const int final_flush = last ? Z_FINISH : Z_SYNC_FLUSH;
  std::size_t in_pos = 0;
  try {
    while (result == Error::kOk) {
      if (z.avail_in == 0 && in_pos < data.size()) {
        const std::size_t n = std::min(kSlice, data.size() - in_pos);
        z.next_in = const_cast<Bytef*>(data.data() + in_pos);
        z.avail_in = static_cast<uInt>(n);
        in_pos += n;
      }
      const bool all_in = in_pos == data.size() && z.avail_in == 0;
      std::size_t room = 0;
      z.next_out = sink.Room(room);
      room = std::min(room, kSlice);
      z.avail_out = static_cast<uInt>(room);
      rc = deflate(&z, all_in ? final_flush : Z_NO_FLUSH);
      sink.Used(room - z.avail_out);
      if (rc == Z_STREAM_END) break;
      if (rc != Z_OK && rc != Z_BUF_ERROR) result = Error::kCompressFailed;
      // A flush is complete once it leaves output space unused.
      if (!last && all_in && z.avail_out > 0) break;
    }
    sink.Finish();
  } catch (const std::bad_alloc&) {
    result = Error::kOutOfMemory;
  }
  deflateEnd(&z);
  return result;
}

std::uint32_t Adler32(std::span<const std::uint8_t> data) {
  uLong adler = adler32(0, nullptr, 0);
  for (std::size_t pos = 0; pos < data.size(); pos += kSlice)
    adler =
        adler32(adler, data.data() + pos, static_cast<uInt>(std::min(kSlice, data.size() - pos)));
  return static_cast<std::uint32_t>(adler);
}

}  // namespace

void RunJobs(std::span<const std::function<void()>> jobs) {
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < jobs.size();) jobs[i]();
  };
  std::thread helper;
  if (jobs.size() > 1 && std::thread::hardware_concurrency() > 1) {
    try {
      helper = std::thread(work);
    } catch (const std::system_error&) {
      // No second thread: this one does everything.
    }
  }
  work();
  if (helper.joinable()) helper.join();
}

Error DeflatedSize(std::span<const std::uint8_t> data, DeflateSettings settings,
                   std::size_t& size) {
  try {
    auto sink = std::make_unique<CountingSink>();
    const Error e = RawDeflate({}, data, settings, true, *sink);
    size = sink->total();
    return e;
  } catch (const std::bad_alloc&) {
    return Error::kOutOfMemory;
  }
}

Error ZlibCompress(std::span<const std::uint8_t> data, DeflateSettings settings, int pieces,
                   std::vector<std::uint8_t>& out) {
  out.clear();
  // Pieces shorter than the window would gain nothing.
  const std::size_t count =
      std::clamp<std::size_t>(static_cast<std::size_t>(std::max(pieces, 1)), 1,
                              std::max<std::size_t>(data.size() / (2 * kWindow), 1));
  std::vector<std::vector<std::uint8_t>> parts(count);
  std::vector<Error> errors(count, Error::kOk);
  std::uint32_t adler = 0;
  std::vector<std::function<void()>> jobs;
  for (std::size_t i = 0; i < count; ++i)
    jobs.emplace_back([&, i] {
      const std::size_t start = data.size() * i / count, end = data.size() * (i + 1) / count;
      const std::size_t primed = std::min(start, kWindow);
      try {
        VectorSink sink(parts[i], (end - start) / 4);
        errors[i] = RawDeflate(data.subspan(start - primed, primed),
                               data.subspan(start, end - start), settings, i + 1 == count, sink);
      } catch (const std::bad_alloc&) {
        errors[i] = Error::kOutOfMemory;
      }
    });
  jobs.emplace_back([&] { adler = Adler32(data); });
  RunJobs(jobs);
  for (Error e : errors)
    if (e != Error::kOk) return e;

  // The header zlib itself would write for these settings.
  const std::uint32_t level_flags = settings.strategy >= Z_HUFFMAN_ONLY || settings.level < 2 ? 0
                                    : settings.level < 6                                      ? 1
                                    : settings.level == 6                                     ? 2
                                                                                              : 3;
  std::uint32_t header = (Z_DEFLATED + ((kWindowBits - 8) << 4)) << 8 | level_flags << 6;
  header += 31 - header % 31;
  std::size_t total = 2 + 4;
  for (const auto& part : parts) total += part.size();
  out.reserve(total);
  AppendBe16(out, header);
  for (auto& part : parts) {
    out.insert(out.end(), part.begin(), part.end());
    part = {};
  }
  AppendBe32(out, adler);
  return Error::kOk;
}

}  // namespace pelnoro::encoder::png
