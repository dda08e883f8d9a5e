// Encoder benchmark: in-process encoding time of each writer on the given pictures.
//   pelnoro_encoder_bench [--runs N] [--quality Q] [--only WRITER]... IMAGE.ppm...
// Prints, per picture and writer, the encoded size and the median and fastest time of N
// encodes (file I/O excluded: that is the same for every encoder and not ours to speed
// up). --only keeps the writers whose name contains WRITER (bench/run.py uses it).
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
  std::string name;
  std::function<encoder::Error(const encoder::PixelView&, std::vector<std::uint8_t>&)> encode;
};

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  int quality = 75;
  std::vector<std::string> files, only;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--quality" && i + 1 < argc) {
      quality = std::clamp(std::atoi(argv[++i]), 0, 100);
    } else if (arg == "--only" && i + 1 < argc) {
      only.push_back(argv[++i]);
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::fprintf(stderr,
                 "usage: pelnoro_encoder_bench [--runs N] [--quality Q] [--only WRITER]... "
                 "IMAGE.ppm...\n");
    return 2;
  }
  const std::string q = "q" + std::to_string(quality);
  const std::vector<Writer> all_writers = {
      {"jpeg " + q + " baseline",
       [quality](auto& v, auto& out) {
         return encoder::EncodeJpeg(v, {quality, false}, out);
       }},
      {"jpeg " + q + " progressive",
       [quality](auto& v, auto& out) {
         return encoder::EncodeJpeg(v, {quality, true}, out);
       }},
      {"png low (1)",
       [](auto& v, auto& out) { return encoder::EncodePng(v, encoder::PngLevel(1), out); }},
      {"png normal (0)",
       [](auto& v, auto& out) { return encoder::EncodePng(v, encoder::PngLevel(0), out); }},
      {"png highest (2)",
       [](auto& v, auto& out) { return encoder::EncodePng(v, encoder::PngLevel(2), out); }},
      {"bmp", [](auto& v, auto& out) { return encoder::EncodeBmp(v, out); }},
  };
  std::vector<Writer> writers;
  for (const Writer& w : all_writers)
    if (only.empty() || std::any_of(only.begin(), only.end(), [&](const std::string& o) {
          return w.name.find(o) != std::string::npos;
        }))
      writers.push_back(w);
  std::printf("%-28s %-22s %10s %9s %9s %8s\n", "image", "writer", "bytes", "ms", "min ms", "MP/s");
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
          std::fprintf(stderr, "%s: %s failed\n", name.c_str(), writer.name.c_str());
          return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      }
      std::sort(times.begin(), times.end());
      const double ms = times[times.size() / 2];
      std::printf("%-28s %-22s %10zu %9.2f %9.2f %8.1f\n", name.c_str(), writer.name.c_str(),
                  out.size(), ms, times.front(),
                  image.width * static_cast<double>(image.height) / 1000.0 / ms);
    }
  }
  return 0;
}
