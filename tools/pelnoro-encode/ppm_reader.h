// Reader for binary PPM (P6, maxval 255), the input of the command-line encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "encoder/pixel_view.h"

namespace pelnoro::tools {

struct PpmImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00BBGGRR, top row first, stride = width
};

// Parses a whole file's bytes. Returns "" on success, otherwise a one-line reason.
std::string ParsePpm(std::span<const std::uint8_t> data, PpmImage& image);

// Reads and parses a file.
std::string ReadPpmFile(const std::string& path, PpmImage& image);

// A PPM file whose pixels are seen where they lie: the file is mapped into memory, so no
// copy of them is made. Files that cannot be mapped (a pipe) are read whole instead.
class MappedPpm {
 public:
  MappedPpm() = default;
  MappedPpm(const MappedPpm&) = delete;
  MappedPpm& operator=(const MappedPpm&) = delete;
  ~MappedPpm();

  // Returns "" on success, otherwise a one-line reason (those of ParsePpm for a bad file).
  std::string Open(const std::string& path);
  // The pixels, valid while this lives.
  const encoder::RgbView& View() const { return view_; }

 private:
  void Close();

  void* mapping_ = nullptr;
  std::size_t mapped_size_ = 0;
  std::vector<std::uint8_t> bytes_;  // when not mapped
  encoder::RgbView view_;
};

}  // namespace pelnoro::tools
