// Reader for binary PPM (P6, maxval 255), the input of the command-line encoder.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

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

}  // namespace pelnoro::tools
