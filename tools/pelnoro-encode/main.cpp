// pelnoro-encode: drives the encoder core from the command line.
//   pelnoro-encode jpeg --quality Q [--progressive] IN.ppm OUT.jpg
//   pelnoro-encode png --level 0|1|2 IN.ppm OUT.png
//   pelnoro-encode bmp IN.ppm OUT.bmp
// --in-place (any format) writes OUT as other command-line encoders do: straight into
// the file, without the flush to disk and the rename that the program's own saves use
// to keep a file whole. Whole-process timings beside such a tool are then like for like.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "encoder/bmp_encoder.h"
#include "encoder/file_writer.h"
#include "encoder/jpeg_encoder.h"
#include "encoder/png_encoder.h"
#include "ppm_reader.h"

namespace {

using namespace pelnoro;

constexpr const char* kUsage =
    "usage: pelnoro-encode jpeg --quality Q [--progressive] IN.ppm OUT.jpg | "
    "png --level 0|1|2 IN.ppm OUT.png | bmp IN.ppm OUT.bmp (each may add --in-place)";

int Fail(const std::string& message, int code = 1) {
  std::fprintf(stderr, "pelnoro-encode: %s\n", message.c_str());
  return code;
}

// Whole decimal numbers only: "75", not "75x" or "".
bool ParseInt(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  value = std::atoi(text.c_str());
  return value >= low && value <= high;
}

// Truncates or creates the file and writes it; a failed write removes the file.
encoder::Error WriteInPlace(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return encoder::Error::kCannotCreateFile;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 || done < bytes.size()) {
    ::unlink(path.c_str());
    return encoder::Error::kWriteFailed;
  }
  return encoder::Error::kOk;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Fail(kUsage, 2);
  const std::string format = argv[1];
  if (format != "jpeg" && format != "png" && format != "bmp") return Fail(kUsage, 2);

  int quality = -1, level = -1;
  bool progressive = false, in_place = false;
  std::vector<std::string> files;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (format == "jpeg" && arg == "--quality") {
      if (++i == argc || !ParseInt(argv[i], 0, 100, quality))
        return Fail("--quality needs a number from 0 to 100", 2);
    } else if (format == "jpeg" && arg == "--progressive") {
      progressive = true;
    } else if (format == "png" && arg == "--level") {
      if (++i == argc || !ParseInt(argv[i], 0, 2, level)) return Fail("--level needs 0, 1 or 2", 2);
    } else if (arg == "--in-place") {
      in_place = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Fail("unknown option " + arg, 2);
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) return Fail(kUsage, 2);
  if (format == "jpeg" && quality < 0) return Fail("jpeg needs --quality", 2);
  if (format == "png" && level < 0) return Fail("png needs --level", 2);

  std::vector<std::uint8_t> bytes;
  encoder::Error error;
  if (format == "jpeg") {
    // The JPEG writer reads the file's RGB where it lies: no 32-bit copy of the picture,
    // which in a short-lived process costs more in page faults than it saves.
    tools::RgbPpmFile file;
    const std::string problem = file.Open(files[0]);
    if (!problem.empty()) return Fail(files[0] + ": " + problem);
    error = encoder::EncodeJpegRgb(file.View(), {quality, progressive}, bytes);
  } else {
    tools::PpmImage image;
    const std::string problem = tools::ReadPpmFile(files[0], image);
    if (!problem.empty()) return Fail(files[0] + ": " + problem);
    const encoder::PixelView view{image.pixels.data(), image.width, image.height, image.width};
    error = format == "png" ? encoder::EncodePng(view, static_cast<encoder::PngLevel>(level), bytes)
                            : encoder::EncodeBmp(view, bytes);
  }
  if (error == encoder::Error::kOk)
    error = in_place ? WriteInPlace(files[1], bytes) : encoder::WriteFileReplacing(files[1], bytes);
  if (error != encoder::Error::kOk)
    return Fail(files[1] + ": " + encoder::ErrorText(error) + " (code " +
                std::to_string(encoder::ErrorCode(error)) + ")");
  return 0;
}
