// libFuzzer target: our deflate on arbitrary bytes at every effort, whole and in two
// pieces joined as the PNG writer joins them, inflated by zlib and compared.
// Byte 0 says where the cut falls (in 256ths of the rest); the rest is the data.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "encoder/deflate.h"
#include "encoder/png_deflate.h"

using namespace pelnoro::encoder;

namespace {

void ExpectInflatesTo(const deflate::BitStream& stream, const std::uint8_t* data,
                      std::size_t size) {
  if (stream.bytes.size() != (stream.bits + 7) / 8) std::abort();
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) std::abort();
  std::vector<std::uint8_t> out(size + 1);
  z.next_in = const_cast<Bytef*>(stream.bytes.data());
  z.avail_in = static_cast<uInt>(stream.bytes.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = inflate(&z, Z_FINISH);
  const bool same = rc == Z_STREAM_END && z.avail_in == 0 && z.total_out == size &&
                    std::equal(data, data + size, out.begin());
  inflateEnd(&z);
  if (!same) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size < 1) return 0;
  const std::span<const std::uint8_t> data(input + 1, size - 1);
  const std::size_t cut = data.size() * input[0] / 256;
  for (deflate::Effort effort :
       {deflate::Effort::kRuns, deflate::Effort::kGreedy, deflate::Effort::kLazy,
        deflate::Effort::kLazyLong, deflate::Effort::kLazyDeep, deflate::Effort::kOptimal}) {
    deflate::BitStream whole;
    deflate::Compress(data, 0, effort, true, whole);
    ExpectInflatesTo(whole, data.data(), data.size());

    deflate::BitStream joined, second;
    deflate::Compress(data.first(cut), 0, effort, false, joined);
    deflate::Compress(data, cut, effort, true, second);
    {
      deflate::BitWriter writer(joined);
      writer.Append(second);
      writer.Finish();
    }
    ExpectInflatesTo(joined, data.data(), data.size());

    // The zlib stream in pieces, as the PNG writer makes it.
    std::vector<std::uint8_t> stream;
    if (png::ZlibCompress(data, effort, 1 + input[0] % 3, input[0] % 4, stream) != Error::kOk)
      std::abort();
    std::vector<std::uint8_t> back(data.size() + 1);
    uLongf length = static_cast<uLongf>(back.size());
    if (uncompress(back.data(), &length, stream.data(), static_cast<uLong>(stream.size())) !=
            Z_OK ||
        length != data.size() || !std::equal(data.begin(), data.end(), back.begin()))
      std::abort();
  }
  return 0;
}
