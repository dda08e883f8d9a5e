// Encoder benchmark: in-process encoding time of each writer on the given pictures.
//   pelnoro_encoder_bench [--runs N] IMAGE.ppm...
// Prints, per picture and writer, the encoded size and the median time of N encodes
// (file I/O excluded: that is the same for every encoder and not ours to speed up).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "encoder/bmp_encoder.h"
#include "encoder/jpeg_encoder.h"
#include "encoder/png_encoder.h"
#include "ppm_reader.h"

namespace {

using namespace pelnoro;
using Clock = std::chrono::steady_clock;

struct Writer {
  const char* name;
  std::function<encoder::Error(const encoder::PixelView&, std::vector<std::uint8_t>&)> encode;
};

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: pelnoro_encoder_bench [--runs N] IMAGE.ppm...\n");
    return 2;
  }
  const std::vector<Writer> writers = {
      {"jpeg q75 baseline", [](auto& v, auto& out) { return encoder::EncodeJpeg(v, {75, false}, out); }},
      {"jpeg q75 progressive", [](auto& v, auto& out) { return encoder::EncodeJpeg(v, {75, true}, out); }},
      {"png low (1)", [](auto& v, auto& out) { return encoder::EncodePng(v, encoder::PngLevel(1), out); }},
      {"png normal (0)", [](auto& v, auto& out) { return encoder::EncodePng(v, encoder::PngLevel(0), out); }},
      {"png highest (2)", [](auto& v, auto& out) { return encoder::EncodePng(v, encoder::PngLevel(2), out); }},
      {"bmp", [](auto& v, auto& out) { return encoder::EncodeBmp(v, out); }},
  };
  std::printf("%-28s %-22s %10s %9s %8s\n", "image", "writer", "bytes", "ms", "MP/s");
  for (const std::string& file : files) {
    tools::PpmImage image;
    const std::string problem = tools::ReadPpmFile(file, image);
    if (!problem.empty()) {
      std::fprintf(stderr, "%s: %s\n", file.c_str(), problem.c_str());
      return 1;
    }
    const encoder::PixelView view{image.pixels.data(), image.width, image.height, image.width};
    const std::string name = file.substr(file.find_last_of('/') + 1);
    for (const Writer& writer : writers) {
      std::vector<std::uint8_t> out;
      std::vector<double> times;
      for (int r = 0; r < runs; ++r) {
        const auto start = Clock::now();
        if (writer.encode(view, out) != encoder::Error::kOk) {
          std::fprintf(stderr, "%s: %s failed\n", name.c_str(), writer.name);
          return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      }
      std::sort(times.begin(), times.end());
      const double ms = times[times.size() / 2];
      std::printf("%-28s %-22s %10zu %9.1f %8.1f\n", name.c_str(), writer.name, out.size(), ms,
                  image.width * static_cast<double>(image.height) / 1000.0 / ms);
    }
  }
  return 0;
}
