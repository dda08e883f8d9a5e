#include "encoder/png_deflate.h"

#include <zlib.h>

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
// zlib's adler32 counts its length in 32 bits on Windows, so it is fed in slices.
constexpr std::size_t kSlice = std::size_t{1} << 30;

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
                   std::vector<std::uint8_t>& out) {
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
        deflate::Compress(data.subspan(start - history, end - start + history), history, effort,
                          i + 1 == count, parts[i]);
      } catch (const std::bad_alloc&) {
        errors[i] = Error::kOutOfMemory;
      }
    });
  jobs.emplace_back([&] { adler = Adler32(data); });
  RunJobs(jobs);
  for (Error e : errors)
    if (e != Error::kOk) return e;

  // The header as zlib would write it: 32 KiB window, and the level field telling how hard
  // the compressor tried (fastest, default, maximum).
  const std::uint32_t level_flags = effort <= deflate::Effort::kGreedy ? 0
                                    : effort == deflate::Effort::kLazy ? 2
                                                                       : 3;
  std::uint32_t header = (8 + ((kWindowBits - 8) << 4)) << 8 | level_flags << 6;
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
