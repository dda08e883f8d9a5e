#include "ppm_reader.h"

#include <fstream>

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

}  // namespace

std::string ParsePpm(std::span<const std::uint8_t> data, PpmImage& image) {
  image = PpmImage{};
  if (data.size() < 2 || data[0] != 'P' || data[1] != '6') return "not a binary PPM (P6) file";
  HeaderScanner scan(data);
  long width = 0, height = 0, maxval = 0;
  if (!scan.Number(width) || !scan.Number(height) || !scan.Number(maxval))
    return "malformed PPM header";
  if (width == 0 || height == 0) return "zero image size";
  if (maxval != 255) return "PPM maxval must be 255";
  // Exactly one blank separates the header from the pixels.
  if (scan.pos() >= data.size() || !IsSpace(data[scan.pos()])) return "malformed PPM header";
  scan.Skip(1);
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (data.size() - scan.pos() < count * 3) return "truncated PPM pixel data";

  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.resize(count);
  const std::uint8_t* p = data.data() + scan.pos();
  for (std::size_t i = 0; i < count; ++i, p += 3)
    image.pixels[i] =
        p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16;
  return "";
}

std::string ReadPpmFile(const std::string& path, PpmImage& image) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return "cannot open " + path;
  const std::streamoff size = file.tellg();
  if (size < 0) return "cannot read " + path;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) return "cannot read " + path;
  return ParsePpm(bytes, image);
}

}  // namespace pelnoro::tools
