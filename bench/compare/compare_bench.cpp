// Our writers beside the usual libraries, in one process, on the same pixels in memory:
//   pelnoro_compare_bench [--runs N] [--quality Q] [--crop WxH]... [--only WRITER]...
//                         [--png] [--apart TEXT] IMAGE.ppm...
// For every picture and writer: bytes and the best of N encodes for ours and for the
// reference, then their ratios (ours over theirs: below 1 is better for us). JPEG rows
// also give the PSNR of both files against the source. Totals over all pictures close
// the table. File I/O is left out on both sides.
// --crop adds the centre of every picture at that size (small cuts show the cost of each
// call); --only keeps the rows whose writer name contains WRITER ("jpeg", "png low"),
// --png the PNG rows; --apart totals the whole pictures whose file name contains TEXT (a
// photograph among screens, say) apart from the others. Every PNG of ours is read back
// with libpng and must give the source pixels.
//
// References: TurboJPEG (accurate DCT, 4:2:0, tables as libjpeg-turbo gives them),
// libpng with zlib at levels 1, 6 and 9 with every filter tried, and libdeflate at
// level 12 on the unfiltered RGB rows (what deflate alone can do on the picture).
#include <libdeflate.h>
#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "encoder/jpeg_encoder.h"
#include "encoder/png_encoder.h"
#include "ppm_reader.h"

namespace {

using namespace pelnoro;
using Bytes = std::vector<std::uint8_t>;
using Encode = std::function<bool(Bytes&)>;

struct Picture {
  std::string name;
  std::string group;  // "" for whole pictures, "@WxH" for crops
  tools::PpmImage image;
  std::vector<std::uint8_t> rgb;  // the same pixels packed as R, G, B for the references
  encoder::PixelView View() const {
    return {image.pixels.data(), image.width, image.height, image.width};
  }
};

// Best of `runs` encodes, in milliseconds; `out` keeps the last result. Encodes quicker
// than the clock can time well are repeated within each run and the mean taken.
double BestOf(int runs, const Encode& encode, Bytes& out) {
  using Ms = std::chrono::duration<double, std::milli>;
  auto start = std::chrono::steady_clock::now();
  if (!encode(out)) return -1;
  const double once = Ms(std::chrono::steady_clock::now() - start).count();
  const int repeat = once >= 2.0 ? 1 : static_cast<int>(std::min(1000.0, 2.0 / (once + 1e-6)));
  double best = 1e300;
  for (int r = 0; r < runs; ++r) {
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeat; ++i)
      if (!encode(out)) return -1;
    best = std::min(best, Ms(std::chrono::steady_clock::now() - start).count() / repeat);
  }
  return best;
}

// The centre of `p`, `width` x `height`, or nothing when `p` is smaller.
bool CropCentre(const Picture& p, int width, int height, Picture& crop) {
  if (width > p.image.width || height > p.image.height) return false;
  const int left = (p.image.width - width) / 2, top = (p.image.height - height) / 2;
  char group[32];  // snprintf: GCC 12 warns falsely (-Wrestrict) on string sums here
  std::snprintf(group, sizeof group, "@%dx%d", width, height);
  crop.group = group;
  crop.name = p.name.substr(0, p.name.find_last_of('-'));  // without "-WxH.ppm"
  crop.name += crop.group;
  crop.image.width = width;
  crop.image.height = height;
  crop.image.pixels.clear();
  crop.rgb.clear();
  for (int y = top; y < top + height; ++y) {
    const auto row = p.image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * p.image.width;
    crop.image.pixels.insert(crop.image.pixels.end(), row + left, row + left + width);
    const auto rgb = p.rgb.begin() + (static_cast<std::ptrdiff_t>(y) * p.image.width + left) * 3;
    crop.rgb.insert(crop.rgb.end(), rgb, rgb + width * 3);
  }
  return true;
}

double Psnr(const Picture& p, const Bytes& jpeg) {
  tjhandle tj = tjInitDecompress();
  std::vector<std::uint8_t> back(p.rgb.size());
  const int rc =
      tjDecompress2(tj, jpeg.data(), static_cast<unsigned long>(jpeg.size()), back.data(),
                    p.image.width, 0, p.image.height, TJPF_RGB, TJFLAG_ACCURATEDCT);
  tjDestroy(tj);
  if (rc != 0) return -1;
  double sum = 0;
  for (std::size_t i = 0; i < back.size(); ++i) {
    const double d = static_cast<double>(back[i]) - p.rgb[i];
    sum += d * d;
  }
  if (sum == 0) return 99.99;
  return 10 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(back.size())));
}

// Whether a PNG of ours reads back, with libpng, as exactly the source pixels.
bool DecodesTo(const Bytes& file, const Picture& p) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return false;
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return false;
  return static_cast<int>(image.width) == p.image.width &&
         static_cast<int>(image.height) == p.image.height && rgb == p.rgb;
}

bool TurboJpeg(const Picture& p, int quality, bool progressive, Bytes& out) {
  tjhandle tj = tjInitCompress();
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const int flags = TJFLAG_ACCURATEDCT | (progressive ? TJFLAG_PROGRESSIVE : 0);
  const int rc = tjCompress2(tj, p.rgb.data(), p.image.width, 0, p.image.height, TJPF_RGB, &buffer,
                             &size, TJSAMP_420, quality, flags);
  if (rc == 0) out.assign(buffer, buffer + size);
  tjFree(buffer);
  tjDestroy(tj);
  return rc == 0;
}

bool LibPng(const Picture& p, int zlib_level, Bytes& out) {
  out.clear();
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(
      png, &out,
      [](png_structp s, png_bytep data, png_size_t n) {
        auto* sink = static_cast<Bytes*>(png_get_io_ptr(s));
        sink->insert(sink->end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, p.image.width, p.image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_set_compression_level(png, zlib_level);
  png_write_info(png, info);
  const std::size_t row = static_cast<std::size_t>(p.image.width) * 3;
  for (int y = 0; y < p.image.height; ++y)
    png_write_row(png, const_cast<png_bytep>(p.rgb.data() + row * y));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

// The zlib stream of the unfiltered rows (filter byte 0 before each), as libdeflate
// compresses them at its strongest level.
bool LibDeflate(const Picture& p, Bytes& out) {
  const std::size_t row = static_cast<std::size_t>(p.image.width) * 3;
  Bytes raw;
  raw.reserve((row + 1) * p.image.height);
  for (int y = 0; y < p.image.height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), p.rgb.begin() + row * y, p.rgb.begin() + row * (y + 1));
  }
  libdeflate_compressor* c = libdeflate_alloc_compressor(12);
  out.resize(libdeflate_zlib_compress_bound(c, raw.size()));
  const std::size_t n = libdeflate_zlib_compress(c, raw.data(), raw.size(), out.data(), out.size());
  libdeflate_free_compressor(c);
  out.resize(n);
  return n != 0;
}

struct Row {
  std::string writer;
  Encode ours;
  std::string reference;
  Encode theirs;
  bool jpeg;
};

struct Total {
  double ours_bytes = 0, theirs_bytes = 0, ours_ms = 0, theirs_ms = 0;
  double worst = 0;  // the largest time ratio of one picture
  int pictures = 0;
};

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  int quality = 75;
  std::vector<Picture> pictures;
  std::vector<std::pair<int, int>> crops;
  std::vector<std::string> only;
  std::string apart;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    int width = 0, height = 0;
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--quality" && i + 1 < argc) {
      quality = std::clamp(std::atoi(argv[++i]), 1, 100);
    } else if (arg == "--crop" && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 1 || height < 1) {
        std::fprintf(stderr, "--crop needs WIDTHxHEIGHT\n");
        return 2;
      }
      crops.emplace_back(width, height);
    } else if (arg == "--only" && i + 1 < argc) {
      only.push_back(argv[++i]);
    } else if (arg == "--png") {
      only.push_back("png");
    } else if (arg == "--apart" && i + 1 < argc) {
      apart = argv[++i];
    } else {
      Picture p;
      p.name = arg.substr(arg.find_last_of('/') + 1);
      const std::string problem = tools::ReadPpmFile(arg, p.image);
      if (!problem.empty()) {
        std::fprintf(stderr, "%s: %s\n", arg.c_str(), problem.c_str());
        return 1;
      }
      p.rgb.reserve(p.image.pixels.size() * 3);
      for (std::uint32_t c : p.image.pixels) {
        p.rgb.push_back(encoder::Red(c));
        p.rgb.push_back(encoder::Green(c));
        p.rgb.push_back(encoder::Blue(c));
      }
      pictures.push_back(std::move(p));
    }
  }
  if (pictures.empty()) {
    std::fprintf(stderr,
                 "usage: pelnoro_compare_bench [--runs N] [--quality Q] [--crop WxH]... "
                 "[--only WRITER]... [--png] [--apart TEXT] IMAGE.ppm...\n");
    return 2;
  }
  if (!apart.empty())
    for (Picture& p : pictures)
      p.group = p.name.find(apart) != std::string::npos ? "(" + apart + ")" : "(others)";
  const std::size_t whole = pictures.size();
  for (auto [width, height] : crops)
    for (std::size_t i = 0; i < whole; ++i) {
      Picture crop;
      if (CropCentre(pictures[i], width, height, crop)) pictures.push_back(std::move(crop));
    }

  std::printf("best of %d, one process, same pixels; ratio = ours / theirs\n", runs);
  std::printf("%-26s %-17s %10s %9s  %-19s %10s %9s  %6s %6s %13s\n", "picture", "ours", "bytes",
              "ms", "theirs", "bytes", "ms", "time", "bytes", "PSNR dB");
  std::map<std::string, Total> totals;
  std::vector<std::string> order;
  for (const Picture& p : pictures) {
    const encoder::PixelView view = p.View();
    auto jpeg = [&](bool progressive, int threads = 0) {
      return [&, progressive, threads](Bytes& out) {
        return encoder::EncodeJpeg(view, {quality, progressive, threads}, out) ==
               encoder::Error::kOk;
      };
    };
    auto png = [&](encoder::PngLevel level) {
      return [&, level](Bytes& out) {
        return encoder::EncodePng(view, level, out) == encoder::Error::kOk;
      };
    };
    // Built with snprintf: GCC 12 warns falsely (-Wrestrict) on chained string sums.
    auto label = [quality](const char* format) {
      char text[40];
      std::snprintf(text, sizeof text, format, quality);
      return std::string(text);
    };
    const std::vector<Row> rows = {
        {label("jpeg q%d"), jpeg(false), label("turbojpeg q%d"),
         [&](Bytes& out) { return TurboJpeg(p, quality, false, out); }, true},
        // Large pictures are encoded on two threads; this row keeps ours to one.
        {label("jpeg q%d 1 thread"), jpeg(false, 1), label("turbojpeg q%d"),
         [&](Bytes& out) { return TurboJpeg(p, quality, false, out); }, true},
        {label("jpeg q%d prog"), jpeg(true), label("turbojpeg q%d prog"),
         [&](Bytes& out) { return TurboJpeg(p, quality, true, out); }, true},
        {"png low", png(encoder::PngLevel::kLow), "libpng zlib-1",
         [&](Bytes& out) { return LibPng(p, 1, out); }, false},
        {"png normal", png(encoder::PngLevel::kNormal), "libpng zlib-9",
         [&](Bytes& out) { return LibPng(p, 9, out); }, false},
        {"png highest", png(encoder::PngLevel::kHighest), "libpng zlib-9",
         [&](Bytes& out) { return LibPng(p, 9, out); }, false},
        {"png highest", png(encoder::PngLevel::kHighest), "libdeflate-12 raw",
         [&](Bytes& out) { return LibDeflate(p, out); }, false},
    };
    for (const Row& row : rows) {
      if (!only.empty() && std::none_of(only.begin(), only.end(), [&](const std::string& o) {
            return row.writer.find(o) != std::string::npos;
          }))
        continue;
      Bytes ours, theirs;
      const double ours_ms = BestOf(runs, row.ours, ours);
      const double theirs_ms = BestOf(runs, row.theirs, theirs);
      if (ours_ms < 0 || theirs_ms < 0) {
        std::fprintf(stderr, "%s: %s or %s failed\n", p.name.c_str(), row.writer.c_str(),
                     row.reference.c_str());
        return 1;
      }
      if (!row.jpeg && !DecodesTo(ours, p)) {
        std::fprintf(stderr, "%s: %s does not read back as the source pixels\n", p.name.c_str(),
                     row.writer.c_str());
        return 1;
      }
      char psnr[32] = "";
      if (row.jpeg) std::snprintf(psnr, sizeof psnr, "%.2f / %.2f", Psnr(p, ours), Psnr(p, theirs));
      std::printf("%-26s %-17s %10zu %9.3f  %-19s %10zu %9.3f  %6.2f %6.3f %13s\n", p.name.c_str(),
                  row.writer.c_str(), ours.size(), ours_ms, row.reference.c_str(), theirs.size(),
                  theirs_ms, ours_ms / theirs_ms,
                  static_cast<double>(ours.size()) / static_cast<double>(theirs.size()), psnr);
      const std::string key = row.writer + " | " + row.reference + " " + p.group;
      if (!totals.count(key)) order.push_back(key);
      Total& t = totals[key];
      t.ours_bytes += static_cast<double>(ours.size());
      t.theirs_bytes += static_cast<double>(theirs.size());
      t.ours_ms += ours_ms;
      t.theirs_ms += theirs_ms;
      t.worst = std::max(t.worst, ours_ms / theirs_ms);
      ++t.pictures;
    }
  }
  std::printf(
      "\ntotals of the whole pictures, then of each crop size; worst = the largest time "
      "ratio of one picture\n");
  std::printf("%-48s %3s %12s %10s %12s %10s %6s %6s %6s\n", "ours | theirs", "n", "ours bytes",
              "ms", "their bytes", "ms", "time", "worst", "bytes");
  for (const std::string& key : order) {
    const Total& t = totals[key];
    std::printf("%-48s %3d %12.0f %10.3f %12.0f %10.3f %6.2f %6.2f %6.3f\n", key.c_str(),
                t.pictures, t.ours_bytes, t.ours_ms, t.theirs_bytes, t.theirs_ms,
                t.ours_ms / t.theirs_ms, t.worst, t.ours_bytes / t.theirs_bytes);
  }
  return 0;
}
