#include "encoder/image_file.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "encoder/bmp_encoder.h"

namespace pelnoro::encoder {
namespace fs = std::filesystem;
namespace {

// A name nobody else uses, short enough to stay within path limits beside long names.
fs::path TemporaryName(const fs::path& folder) {
  static std::atomic<unsigned> counter{0};
  static const unsigned seed = [] {
    std::random_device device;
    return device() ^
           static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  }();
  std::error_code ec;
  for (;;) {
    char name[32];
    std::snprintf(name, sizeof name, "~pelnoro%08x.tmp", seed + 0x9E3779B9u * ++counter);
    fs::path candidate = folder / name;
    if (!fs::exists(candidate, ec)) return candidate;
  }
}

bool IsReadOnly(const fs::file_status& status) {
  return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

}  // namespace

Error WriteFileReplacing(const fs::path& target, std::span<const std::uint8_t> bytes) {
  std::error_code ec;
  if (target.empty() || !target.has_filename()) return Error::kCannotCreateFile;
  const fs::file_status status = fs::status(target, ec);
  if (fs::exists(status)) {
    if (!fs::is_regular_file(status) || IsReadOnly(status)) return Error::kCannotReplace;
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, ec)) return Error::kCannotCreateFile;

  const fs::path temporary = TemporaryName(folder);
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) {
      fs::remove(temporary, ec);
      return Error::kCannotCreateFile;
    }
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();  // flushes: a full disk shows up here
    if (file.fail()) {
      fs::remove(temporary, ec);
      return Error::kWriteFailed;
    }
  }
  fs::rename(temporary, target, ec);
  if (ec) {
    fs::remove(temporary, ec);
    return Error::kCannotReplace;
  }
  return Error::kOk;
}

Error SaveJpegFile(const PixelView& image, const JpegOptions& options, const fs::path& target) {
  std::vector<std::uint8_t> bytes;
  const Error e = EncodeJpeg(image, options, bytes);
  return e != Error::kOk ? e : WriteFileReplacing(target, bytes);
}

Error SaveJpegRgbFile(const RgbView& image, const JpegOptions& options, const fs::path& target) {
  std::vector<std::uint8_t> bytes;
  const Error e = EncodeJpegRgb(image, options, bytes);
  return e != Error::kOk ? e : WriteFileReplacing(target, bytes);
}

Error SavePngFile(const PixelView& image, PngLevel level, const fs::path& target) {
  std::vector<std::uint8_t> bytes;
  const Error e = EncodePng(image, level, bytes);
  return e != Error::kOk ? e : WriteFileReplacing(target, bytes);
}

Error SaveBmpFile(const PixelView& image, const fs::path& target) {
  std::vector<std::uint8_t> bytes;
  const Error e = EncodeBmp(image, bytes);
  return e != Error::kOk ? e : WriteFileReplacing(target, bytes);
}

}  // namespace pelnoro::encoder
