#include "ppm_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>

namespace pelnoro::tools {
namespace {

// PPM's fields are 16-bit in practice; larger values only come from damaged files.
constexpr long kMaxField = 65535;

bool IsSpace(std::uint8_t c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

class HeaderScanner {
 public:
  explicit HeaderScanner(std::span<const std::uint8_t> data) : data_(data) {}

  // Skips blanks and '#' comments, then reads a decimal number.
  bool Number(long& value) {
    for (;;) {
      if (pos_ >= data_.size()) return false;
      if (IsSpace(data_[pos_])) {
        ++pos_;
      } else if (data_[pos_] == '#') {
        while (pos_ < data_.size() && data_[pos_] != '\n' && data_[pos_] != '\r') ++pos_;
      } else {
        break;
      }
    }
    value = 0;
    std::size_t digits = 0;
    while (pos_ < data_.size() && data_[pos_] >= '0' && data_[pos_] <= '9') {
      value = value * 10 + (data_[pos_] - '0');
      if (value > kMaxField) return false;
      ++pos_;
      ++digits;
    }
    return digits > 0;
  }

  std::size_t pos() const { return pos_; }
  void Skip(std::size_t n) { pos_ += n; }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 2;  // after the magic number
};

// Checks the header at the start of `data`, a file of `file_size` bytes; on success gives
// the size and where the pixels start.
std::string ParseHeader(std::span<const std::uint8_t> data, std::uint64_t file_size, long& width,
                        long& height, std::size_t& pixels_at) {
  if (data.size() < 2 || data[0] != 'P' || data[1] != '6') return "not a binary PPM (P6) file";
  HeaderScanner scan(data);
  long maxval = 0;
  if (!scan.Number(width) || !scan.Number(height) || !scan.Number(maxval))
    return "malformed PPM header";
  if (width == 0 || height == 0) return "zero image size";
  if (maxval != 255) return "PPM maxval must be 255";
  // Exactly one blank separates the header from the pixels.
  if (scan.pos() >= data.size() || !IsSpace(data[scan.pos()])) return "malformed PPM header";
  scan.Skip(1);
  pixels_at = scan.pos();
  const std::uint64_t count =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  if (file_size - pixels_at < count * 3) return "truncated PPM pixel data";
  return "";
}

void ConvertPixels(const std::uint8_t* p, std::size_t count, std::uint32_t* out) {
  for (std::size_t i = 0; i < count; ++i, p += 3)
    out[i] = p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16;
}

}  // namespace

std::string ParsePpm(std::span<const std::uint8_t> data, PpmImage& image) {
  image = PpmImage{};
  long width = 0, height = 0;
  std::size_t pixels_at = 0;
  const std::string problem = ParseHeader(data, data.size(), width, height, pixels_at);
  if (!problem.empty()) return problem;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  ConvertPixels(data.data() + pixels_at, image.pixels.size(), image.pixels.data());
  return "";
}

std::string ReadPpmFile(const std::string& path, PpmImage& image) {
  image = PpmImage{};
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return "cannot open " + path;
  const std::streamoff size = file.tellg();
  if (size < 0) return "cannot read " + path;
  file.seekg(0);
  // The header, then the pixels a slice at a time: no copy of the whole file in memory.
  constexpr std::size_t kSlicePixels = 1 << 16;
  std::vector<std::uint8_t> bytes(
      std::min<std::size_t>(static_cast<std::size_t>(size), kSlicePixels * 3));
  if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
    return "cannot read " + path;
  long width = 0, height = 0;
  std::size_t pixels_at = 0;
  const std::string problem =
      ParseHeader(bytes, static_cast<std::uint64_t>(size), width, height, pixels_at);
  if (!problem.empty()) {
    if (bytes.size() == static_cast<std::size_t>(size)) return problem;
    // A header longer than the first slice (comments): read it all.
    bytes.resize(static_cast<std::size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) return "cannot read " + path;
    return ParsePpm(bytes, image);
  }
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const std::size_t in_first = std::min((bytes.size() - pixels_at) / 3, image.pixels.size());
  ConvertPixels(bytes.data() + pixels_at, in_first, image.pixels.data());
  file.seekg(static_cast<std::streamoff>(pixels_at + in_first * 3));
  for (std::size_t done = in_first; done < image.pixels.size();) {
    const std::size_t n = std::min(kSlicePixels, image.pixels.size() - done);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(n * 3))) {
      image = PpmImage{};
      return "cannot read " + path;
    }
    ConvertPixels(bytes.data(), n, image.pixels.data() + done);
    done += n;
  }
  return "";
}

std::string RgbPpmFile::Open(const std::string& path) {
  bytes_.reset();
  view_ = {};
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "cannot open " + path;
  struct stat info {};
  // A regular file in one read of its size (and one more byte, to see its end); a pipe
  // in blocks that double.
  std::size_t capacity = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0
                             ? static_cast<std::size_t>(info.st_size) + 1
                             : std::size_t{1} << 20;
  std::size_t size = 0;
  bytes_.reset(new std::uint8_t[capacity]);
  for (;;) {
    if (size == capacity) {
      std::unique_ptr<std::uint8_t[]> grown(new std::uint8_t[capacity * 2]);
      std::copy(bytes_.get(), bytes_.get() + size, grown.get());
      bytes_ = std::move(grown);
      capacity *= 2;
    }
    const ssize_t n = read(fd, bytes_.get() + size, capacity - size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      bytes_.reset();
      return "cannot read " + path;
    }
    if (n == 0) break;
    size += static_cast<std::size_t>(n);
  }
  const std::span<const std::uint8_t> data(bytes_.get(), size);
  close(fd);
  long width = 0, height = 0;
  std::size_t pixels_at = 0;
  const std::string problem = ParseHeader(data, data.size(), width, height, pixels_at);
  if (!problem.empty()) {
    bytes_.reset();
    return problem;
  }
  view_ = {data.data() + pixels_at, static_cast<int>(width), static_cast<int>(height),
           static_cast<std::ptrdiff_t>(width) * 3};
  return "";
}

}  // namespace pelnoro::tools
