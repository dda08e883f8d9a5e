#include "image/picture_header.h"

#include <cstdlib>
#include <optional>

#include "image/exif_orientation.h"
#include "image/pixel_ops.h"

namespace pelnoro::image {

namespace {

// Bounded reads of a file's bytes: callers check has() first.
class Bytes {
 public:
  explicit Bytes(std::string_view b) : b_(b) {}
  bool has(std::size_t at, std::size_t n) const { return at <= b_.size() && n <= b_.size() - at; }
  unsigned u8(std::size_t at) const { return static_cast<unsigned char>(b_[at]); }
  unsigned le16(std::size_t at) const { return u8(at) | u8(at + 1) << 8; }
  unsigned be16(std::size_t at) const { return u8(at) << 8 | u8(at + 1); }
  std::uint32_t le32(std::size_t at) const { return le16(at) | std::uint32_t{le16(at + 2)} << 16; }
  std::uint32_t be32(std::size_t at) const { return std::uint32_t{be16(at)} << 16 | be16(at + 2); }
  long long sle32(std::size_t at) const { return static_cast<std::int32_t>(le32(at)); }
  bool pngAt(std::size_t at) const {
    return has(at, 24) && b_.substr(at, 8) == "\x89PNG\r\n\x1a\n";
  }

 private:
  std::string_view b_;
};

// Calls visit(at) with the offset of each GIF image descriptor, in file order,
// until it returns true or the blocks end.
template <class Visit>
void ForEachGifFrame(const Bytes& b, Visit visit) {
  if (!b.has(0, 13)) return;
  const auto colorTable = [](unsigned flags) {
    return flags & 0x80 ? std::size_t{3} << ((flags & 7) + 1) : 0;
  };
  std::size_t at = 13 + colorTable(b.u8(10));
  while (b.has(at, 1)) {
    const unsigned kind = b.u8(at);
    if (kind == 0x21) {
      at += 2;
    } else if (kind == 0x2C && b.has(at, 10)) {
      if (visit(at)) return;
      at += 10 + colorTable(b.u8(at + 9)) + 1;
    } else {
      return;  // the trailer, or something no decoder reads further
    }
    while (b.has(at, 1) && b.u8(at) != 0) at += 1 + b.u8(at);
    ++at;
  }
}

// Where a GIF's first frame lies on its logical screen, when it does not cover
// it: the codec hands out the frame alone.
struct GifInset {
  int screenWidth, screenHeight, left, top;
};
std::optional<GifInset> FirstGifFrameInset(std::string_view file) {
  const Bytes b(file);
  std::optional<GifInset> inset;
  ForEachGifFrame(b, [&](std::size_t at) {
    const int sw = static_cast<int>(b.le16(6)), sh = static_cast<int>(b.le16(8));
    if (sw == 0 || sh == 0) return true;  // no screen to speak of: the frame is all
    const int left = static_cast<int>(b.le16(at + 1)), top = static_cast<int>(b.le16(at + 3));
    if (left != 0 || top != 0 || static_cast<int>(b.le16(at + 5)) != sw ||
        static_cast<int>(b.le16(at + 7)) != sh) {
      inset = GifInset{sw, sh, left, top};
    }
    return true;
  });
  return inset;
}

struct DeclaredSize {
  long long width = 0, height = 0;
};

// The first picture size the file's headers declare that is wider or higher than
// maxSide. Read before any decoder sees the file: some decoders (Wine's PNG, JPEG
// and GIF ones, and its icon frames) decode the whole picture as soon as they
// open it, so their own size would come too late. TIFF and BMP decoders read
// pixels only when asked; their frame size is checked before that.
// `largest` gets the largest size (by area) declared up to there.
std::optional<DeclaredSize> DeclaredOversize(std::string_view file, PictureFormat format,
                                             int maxSide, DeclaredSize& largest) {
  const Bytes b(file);
  std::optional<DeclaredSize> found;
  const auto check = [&](long long w, long long h) {
    w = std::llabs(w);
    h = std::llabs(h);
    // Sides are below 2^32: their product fits an unsigned 64-bit number.
    const auto area = [](long long x, long long y) {
      return static_cast<unsigned long long>(x) * static_cast<unsigned long long>(y);
    };
    if (area(w, h) > area(largest.width, largest.height)) largest = DeclaredSize{w, h};
    if (!found && (w > maxSide || h > maxSide)) found = DeclaredSize{w, h};
    return found.has_value();
  };
  const auto pngSize = [&](std::size_t at) { return check(b.be32(at + 16), b.be32(at + 20)); };
  switch (format) {
    case PictureFormat::kPng:
      if (b.pngAt(0)) pngSize(0);
      break;
    case PictureFormat::kBmp:
      if (b.has(0, 26)) {
        if (b.le32(14) == 12) {
          check(b.le16(18), b.le16(20));
        } else {
          check(b.sle32(18), b.sle32(22));
        }
      }
      break;
    case PictureFormat::kJpeg: {
      std::size_t at = 2;
      while (b.has(at, 4) && b.u8(at) == 0xFF) {
        const unsigned marker = b.u8(at + 1);
        if (marker == 0xFF) {
          ++at;
          continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
          at += 2;
          continue;
        }
        if (marker == 0xD9 || marker == 0xDA) break;
        const bool frameHeader =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frameHeader && b.has(at, 9) && check(b.be16(at + 7), b.be16(at + 5))) break;
        at += 2 + b.be16(at + 2);
      }
      break;
    }
    case PictureFormat::kGif:
      // Every frame counts: the decoder unpacks them all when it opens the file.
      if (b.has(0, 13) && !check(b.le16(6), b.le16(8))) {
        ForEachGifFrame(b, [&](std::size_t at) { return check(b.le16(at + 5), b.le16(at + 7)); });
      }
      break;
    case PictureFormat::kIco: {
      if (!b.has(0, 6)) break;
      const unsigned count = b.le16(4);
      for (unsigned i = 0; i < count && !found; ++i) {
        const std::size_t entry = 6 + std::size_t{16} * i;
        if (!b.has(entry, 16)) break;
        // The image itself may claim more than its directory entry.
        const std::size_t at = b.le32(entry + 12);
        if (b.pngAt(at)) {
          pngSize(at);
        } else if (b.has(at, 12)) {
          check(b.sle32(at + 4), b.sle32(at + 8) / 2);
        }
      }
      break;
    }
    case PictureFormat::kTiff:
    case PictureFormat::kUnknown:
      break;
  }
  return found;
}

}  // namespace

PictureFormat IdentifyPicture(std::string_view b) {
  const auto starts = [&](std::string_view sig) { return b.substr(0, sig.size()) == sig; };
  if (starts("BM")) return PictureFormat::kBmp;
  if (starts("\x89PNG\r\n\x1a\n")) return PictureFormat::kPng;
  if (starts("\xFF\xD8\xFF")) return PictureFormat::kJpeg;
  if (starts("GIF87a") || starts("GIF89a")) return PictureFormat::kGif;
  if (starts(std::string_view("II*\0", 4)) || starts(std::string_view("MM\0*", 4)))
    return PictureFormat::kTiff;
  if (starts(std::string_view("\0\0\1\0", 4))) return PictureFormat::kIco;
  return PictureFormat::kUnknown;
}

bool PngIsWhole(std::string_view file) {
  constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
  if (file.substr(0, kSignature.size()) != kSignature) return false;
  std::uint64_t at = kSignature.size();
  while (at + 8 <= file.size()) {
    std::uint64_t length = 0;
    for (int i = 0; i < 4; ++i) length = length << 8 | static_cast<unsigned char>(file[at + i]);
    const std::string_view type = file.substr(at + 4, 4);
    const std::uint64_t end = at + 8 + length + 4;  // data and CRC
    if (end > file.size()) return false;
    if (type == "IEND") return true;
    at = end;
  }
  return false;
}

HeaderCheck CheckPictureHeader(std::string_view file, int maxSide) {
  HeaderCheck check;
  check.format = IdentifyPicture(file);
  if (check.format == PictureFormat::kUnknown) return check;
  // Wine's PNG decoder shows a file cut short without a word.
  if (check.format == PictureFormat::kPng && !PngIsWhole(file)) return check;
  DeclaredSize largest;
  if (const auto big = DeclaredOversize(file, check.format, maxSide, largest)) {
    check.verdict = HeaderCheck::Verdict::kTooLarge;
    check.width = big->width;
    check.height = big->height;
    return check;
  }
  check.verdict = HeaderCheck::Verdict::kDecodable;
  check.width = largest.width;
  check.height = largest.height;
  return check;
}

Surface AsTheFileShowsIt(Surface decoded, PictureFormat format, std::string_view file,
                         std::uint32_t background) {
  if (format == PictureFormat::kGif) {
    if (const auto inset = FirstGifFrameInset(file)) {
      Surface screen(inset->screenWidth, inset->screenHeight, background & 0x00FFFFFF);
      CopyRect(decoded, 0, 0, decoded.width(), decoded.height(), screen, inset->left, inset->top);
      return screen;
    }
  }
  if (format == PictureFormat::kJpeg)
    return ApplyOrientation(std::move(decoded), ExifOrientation(file));
  return decoded;
}

}  // namespace pelnoro::image
