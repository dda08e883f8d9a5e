// Reader for binary PPM (P6, maxval 255), the input of the command-line encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

// A PPM file read whole into one block, its pixels seen where they lie in it: no second,
// 32-bit copy of them is made. One read beats mapping the file: the encoder walking a
// mapping's 4 KiB pages takes a TLB miss on each, and those cost more than the copy.
class RgbPpmFile {
 public:
  // Returns "" on success, otherwise a one-line reason (those of ParsePpm for a bad file).
  std::string Open(const std::string& path);
  // The pixels, valid while this lives.
  const encoder::RgbView& View() const { return view_; }

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
  encoder::RgbView view_;
};

}  // namespace pelnoro::tools
