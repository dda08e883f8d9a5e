// Picture files through the platform's codecs, opening files with their
// program, the clock and replacing files, on a real file system.
#include <windows.h>

#include <gtest/gtest.h>
#include <wincodec.h>
// clang-format off: needs windows.h first
#include <psapi.h>
// clang-format on

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "win32/win32_system.h"

namespace pelnoro {
namespace {

constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;
constexpr int kMaxSide = 16384;
constexpr int kNoAssociation = 31;  // SE_ERR_NOASSOC

template <class T>
struct Com {
  T* p = nullptr;
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p) p->Release();
  }
  T* operator->() const { return p; }
  T** out() { return &p; }
};

// Pixels as the codecs take them, 0xAARRGGBB.
using Bgra = std::vector<std::uint32_t>;

Bgra Opaque(const image::Surface& s) {
  Bgra out;
  for (std::uint32_t p : s.pixels()) {
    out.push_back(0xFF000000u | (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF));
  }
  return out;
}

// A non-square picture whose every pixel differs from its neighbours, in colours a
// GIF's web palette holds exactly.
image::Surface Pattern(int w, int h) {
  image::Surface s(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t r = 0x33u * (x % 6), g = 0x33u * (y % 6), b = 0x33u * ((x + 2 * y) % 6);
      s.setPixel(x, y, r | g << 8 | b << 16);
    }
  }
  return s;
}

// Four flat quadrants: red, green over blue, white.
image::Surface Quadrants(int w, int h) {
  image::Surface s(w, h);
  s.fillRect(0, 0, w / 2, h / 2, kRed);
  s.fillRect(w / 2, 0, w - w / 2, h / 2, kGreen);
  s.fillRect(0, h / 2, w / 2, h - h / 2, kBlue);
  s.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, kWhite);
  return s;
}

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t c = 0xFFFFFFFF;
  for (unsigned char b : bytes) {
    c ^= b;
    for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320 ^ (c >> 1) : c >> 1;
  }
  return ~c;
}
std::string Be32(std::uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}
std::string Le16(unsigned v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8)};
}
std::string Le32(std::uint32_t v) {
  return Le16(v & 0xFFFF) + Le16(v >> 16);
}
std::string PngChunk(const std::string& type, const std::string& data) {
  return Be32(static_cast<std::uint32_t>(data.size())) + type + data + Be32(Crc32(type + data));
}
// A sound PNG header for any size, with a few bytes of image data.
std::string PngClaiming(std::uint32_t w, std::uint32_t h) {
  return "\x89PNG\r\n\x1a\n" +
         PngChunk("IHDR", Be32(w) + Be32(h) + std::string("\x08\x00\x00\x00\x00", 5)) +
         PngChunk("IDAT", std::string("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9)) +
         PngChunk("IEND", "");
}

bool SameColor(std::int64_t got, std::uint32_t want, int tolerance) {
  if (got < 0) return false;
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>(got >> shift & 0xFF), b = static_cast<int>(want >> shift & 0xFF);
    if (a - b > tolerance || b - a > tolerance) return false;
  }
  return true;
}

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                              CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                              reinterpret_cast<void**>(wic.out())));
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    root =
        std::wstring(tmp) + L"pelnoro_pictures_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(root.c_str(), nullptr);
  }
  void TearDown() override {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((root + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring path = root + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveDirectoryW(path.c_str());
        } else {
          SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(path.c_str());
        }
      } while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryW(root.c_str());
    if (wic.p) wic.p->Release();
    wic.p = nullptr;
    CoUninitialize();
  }

  void writeBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(h);
  }
  std::string bytesOf(const std::wstring& path) { return sys.readFile(path).value_or(""); }

  // Writes the pixels with the platform's own encoder for the container.
  void encode(const GUID& container, int w, int h, const Bgra& pixels, const std::wstring& path) {
    Com<IWICBitmap> bitmap;
    ASSERT_HRESULT_SUCCEEDED(wic->CreateBitmapFromMemory(
        w, h, GUID_WICPixelFormat32bppBGRA, w * 4, static_cast<UINT>(pixels.size() * 4),
        reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(pixels.data())), bitmap.out()));
    Com<IWICStream> stream;
    ASSERT_HRESULT_SUCCEEDED(wic->CreateStream(stream.out()));
    ASSERT_HRESULT_SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE));
    Com<IWICBitmapEncoder> encoder;
    ASSERT_HRESULT_SUCCEEDED(wic->CreateEncoder(container, nullptr, encoder.out()));
    ASSERT_HRESULT_SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache));
    Com<IWICBitmapFrameEncode> frame;
    Com<IPropertyBag2> options;
    ASSERT_HRESULT_SUCCEEDED(encoder->CreateNewFrame(frame.out(), options.out()));
    ASSERT_HRESULT_SUCCEEDED(frame->Initialize(options.p));
    ASSERT_HRESULT_SUCCEEDED(frame->SetSize(w, h));
    const bool indexed = container == GUID_ContainerFormatGif;
    WICPixelFormatGUID format =
        indexed ? GUID_WICPixelFormat8bppIndexed : GUID_WICPixelFormat32bppBGRA;
    ASSERT_HRESULT_SUCCEEDED(frame->SetPixelFormat(&format));
    Com<IWICPalette> palette;
    Com<IWICFormatConverter> converter;
    IWICBitmapSource* source = bitmap.p;
    if (format != GUID_WICPixelFormat32bppBGRA) {
      ASSERT_HRESULT_SUCCEEDED(wic->CreatePalette(palette.out()));
      ASSERT_HRESULT_SUCCEEDED(
          palette->InitializePredefined(WICBitmapPaletteTypeFixedWebPalette, FALSE));
      if (indexed) {
        ASSERT_HRESULT_SUCCEEDED(frame->SetPalette(palette.p));
      }
      ASSERT_HRESULT_SUCCEEDED(wic->CreateFormatConverter(converter.out()));
      ASSERT_HRESULT_SUCCEEDED(converter->Initialize(bitmap.p, format, WICBitmapDitherTypeNone,
                                                     indexed ? palette.p : nullptr, 0.0,
                                                     WICBitmapPaletteTypeFixedWebPalette));
      source = converter.p;
    }
    ASSERT_HRESULT_SUCCEEDED(frame->WriteSource(source, nullptr));
    ASSERT_HRESULT_SUCCEEDED(frame->Commit());
    ASSERT_HRESULT_SUCCEEDED(encoder->Commit());
  }

  sys::PictureLoad load(const std::wstring& name, std::uint32_t background = 0x123456,
                        int maxSide = kMaxSide) {
    return sys.loadPicture(root + name, background, maxSide);
  }

  static void expectFailure(const sys::PictureLoad& got, long error, const std::wstring& text) {
    EXPECT_FALSE(got.picture.has_value());
    EXPECT_EQ(got.error, error);
    EXPECT_EQ(got.description, text);
  }

  // Each quadrant's middle region has the colour given, within what JPEG loses.
  static void expectQuadrants(const image::Surface& s, std::uint32_t tl, std::uint32_t tr,
                              std::uint32_t bl, std::uint32_t br) {
    const int w = s.width(), h = s.height();
    const std::uint32_t want[2][2] = {{tl, tr}, {bl, br}};
    for (int qy = 0; qy < 2; ++qy) {
      for (int qx = 0; qx < 2; ++qx) {
        for (int y = qy * h / 2 + 4; y < (qy + 1) * h / 2 - 4; y += 3) {
          for (int x = qx * w / 2 + 4; x < (qx + 1) * w / 2 - 4; x += 3) {
            ASSERT_TRUE(SameColor(s.pixel(x, y), want[qy][qx], 24))
                << "quadrant " << qx << "," << qy << " at " << x << "," << y << ": " << std::hex
                << s.pixel(x, y);
          }
        }
      }
    }
  }

  Com<IWICImagingFactory> wic;
  win32::Win32System sys;
  std::wstring root;
};

TEST_F(PictureTest, LosslessFormatsLoadPixelForPixel) {
  const image::Surface pattern = Pattern(7, 5);
  const struct {
    const wchar_t* name;
    const GUID& container;
  } formats[] = {{L"p.bmp", GUID_ContainerFormatBmp},
                 {L"p.png", GUID_ContainerFormatPng},
                 {L"p.gif", GUID_ContainerFormatGif},
                 {L"p.tif", GUID_ContainerFormatTiff}};
  for (const auto& f : formats) {
    SCOPED_TRACE(testing::Message() << f.name);
    ASSERT_NO_FATAL_FAILURE(encode(f.container, 7, 5, Opaque(pattern), root + f.name));
    const auto got = load(f.name);
    EXPECT_EQ(got.error, 0);
    EXPECT_EQ(got.description, L"");
    ASSERT_TRUE(got.picture.has_value());
    EXPECT_EQ(got.picture->width(), 7);
    EXPECT_EQ(got.picture->height(), 5);
    EXPECT_EQ(got.picture->pixels(), pattern.pixels());
  }
}

TEST_F(PictureTest, GifFirstFrameSitsOnItsScreen) {
  // A 4 x 3 screen whose first (and only) frame is 2 x 1 at (1, 1): red, green.
  const std::string gif = "GIF89a" + Le16(4) + Le16(3) + std::string("\x81\0\0", 3) +
                          std::string("\0\0\0\xFF\0\0\0\xFF\0\0\0\xFF", 12) + "\x2C" + Le16(1) +
                          Le16(1) + Le16(2) + Le16(1) + std::string("\0\x02\x02\x8C\x0A\0;", 7);
  ASSERT_NO_FATAL_FAILURE(writeBytes(root + L"inset.gif", gif));
  const auto got = load(L"inset.gif", 0xABCDEF);
  ASSERT_TRUE(got.picture.has_value()) << got.error;
  image::Surface want(4, 3, 0xABCDEF);
  want.setPixel(1, 1, kRed);
  want.setPixel(2, 1, kGreen);
  EXPECT_EQ(got.picture->width(), 4);
  EXPECT_EQ(got.picture->height(), 3);
  EXPECT_EQ(got.picture->pixels(), want.pixels());
}

TEST_F(PictureTest, JpegLoadsAndItsExifOrientationTurnsItUpright) {
  ASSERT_NO_FATAL_FAILURE(
      encode(GUID_ContainerFormatJpeg, 64, 32, Opaque(Quadrants(64, 32)), root + L"plain.jpg"));
  const auto plain = load(L"plain.jpg");
  ASSERT_TRUE(plain.picture.has_value()) << plain.error;
  EXPECT_EQ(plain.picture->width(), 64);
  EXPECT_EQ(plain.picture->height(), 32);
  expectQuadrants(*plain.picture, kRed, kGreen, kBlue, kWhite);

  // The Exif block goes after the JFIF one, as cameras write it.
  const std::string jpeg = bytesOf(root + L"plain.jpg");
  ASSERT_GE(jpeg.size(), 6u);
  std::size_t insertAt = 2;
  if (static_cast<unsigned char>(jpeg[3]) == 0xE0) {
    insertAt +=
        2 + (static_cast<unsigned char>(jpeg[4]) << 8 | static_cast<unsigned char>(jpeg[5]));
  }
  const struct {
    int orientation;
    bool bigEndian;
    int width, height;
    std::uint32_t tl, tr, bl, br;
  } cases[] = {
      {6, true, 32, 64, kBlue, kRed, kWhite, kGreen},   // stored turned a quarter left
      {8, false, 32, 64, kGreen, kWhite, kRed, kBlue},  // stored turned a quarter right
      {3, false, 64, 32, kWhite, kBlue, kGreen, kRed},  // stored upside down
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "orientation " << c.orientation);
    const bool be = c.bigEndian;
    const auto u16 = [be](unsigned v) {
      return be ? std::string{static_cast<char>(v >> 8), static_cast<char>(v)} : Le16(v);
    };
    const auto u32 = [&](std::uint32_t v) { return be ? Be32(v) : Le32(v); };
    const std::string tiff = (be ? "MM" : "II") + u16(42) + u32(8) + u16(1) + u16(0x0112) + u16(3) +
                             u32(1) + u16(static_cast<unsigned>(c.orientation)) + u16(0) + u32(0);
    const std::string body = std::string("Exif\0\0", 6) + tiff;
    const std::string app1 = std::string("\xFF\xE1") + static_cast<char>((body.size() + 2) >> 8) +
                             static_cast<char>((body.size() + 2) & 0xFF) + body;
    ASSERT_NO_FATAL_FAILURE(
        writeBytes(root + L"turned.jpg", jpeg.substr(0, insertAt) + app1 + jpeg.substr(insertAt)));
    const auto got = load(L"turned.jpg");
    ASSERT_TRUE(got.picture.has_value()) << got.error;
    EXPECT_EQ(got.picture->width(), c.width);
    EXPECT_EQ(got.picture->height(), c.height);
    expectQuadrants(*got.picture, c.tl, c.tr, c.bl, c.br);
  }
}

TEST_F(PictureTest, TransparentPixelsLieOverTheBackground) {
  // Opaque red, transparent (whatever colour it keeps), half-transparent blue,
  // mostly transparent white.
  const Bgra pixels = {0xFFFF0000, 0x00123456, 0x800000FF, 0x40FFFFFF};
  ASSERT_NO_FATAL_FAILURE(encode(GUID_ContainerFormatPng, 4, 1, pixels, root + L"alpha.png"));
  const auto got = load(L"alpha.png", kGreen);
  ASSERT_TRUE(got.picture.has_value()) << got.error;
  const std::uint32_t want[] = {kRed, kGreen, 0x807F00, 0x40FF40};
  for (int x = 0; x < 4; ++x) {
    EXPECT_TRUE(SameColor(got.picture->pixel(x, 0), want[x], 1))
        << x << ": " << std::hex << got.picture->pixel(x, 0);
  }
}

TEST_F(PictureTest, IconGivesItsLargestImage) {
  // 16 x 16 red and 32 x 32 blue bitmaps around a 48 x 48 PNG image, whose left
  // columns are transparent.
  const auto dib = [](int side, std::uint32_t bgra) {
    std::string d = Le32(40) + Le32(side) + Le32(2 * side) + Le16(1) + Le16(32) + Le32(0) +
                    Le32(0) + Le32(0) + Le32(0) + Le32(0) + Le32(0);
    for (int i = 0; i < side * side; ++i) d += Le32(bgra);
    d += std::string(static_cast<std::size_t>(side) * ((side + 31) / 32 * 4), '\0');  // mask
    return d;
  };
  image::Surface big = Pattern(48, 48);
  Bgra bigPixels = Opaque(big);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 5; ++x) {
      bigPixels[static_cast<std::size_t>(y) * 48 + x] = 0;
      big.setPixel(x, y, 0x123456);
    }
  }
  ASSERT_NO_FATAL_FAILURE(encode(GUID_ContainerFormatPng, 48, 48, bigPixels, root + L"big.png"));
  const std::string images[] = {dib(16, 0xFFFF0000), bytesOf(root + L"big.png"),
                                dib(32, 0xFF0000FF)};
  const int sides[] = {16, 48, 32};
  std::string ico = Le16(0) + Le16(1) + Le16(3), data;
  std::uint32_t offset = 6 + 3 * 16;
  for (int i = 0; i < 3; ++i) {
    ico += std::string{static_cast<char>(sides[i]), static_cast<char>(sides[i]), 0, 0} + Le16(1) +
           Le16(32) + Le32(static_cast<std::uint32_t>(images[i].size())) + Le32(offset);
    offset += static_cast<std::uint32_t>(images[i].size());
    data += images[i];
  }
  ASSERT_NO_FATAL_FAILURE(writeBytes(root + L"three.ico", ico + data));
  const auto got = load(L"three.ico");
  ASSERT_TRUE(got.picture.has_value()) << got.error;
  EXPECT_EQ(got.picture->width(), 48);
  EXPECT_EQ(got.picture->height(), 48);
  EXPECT_EQ(got.picture->pixels(), big.pixels());
}

TEST_F(PictureTest, MissingForeignAndDamagedFilesFailCleanly) {
  const std::wstring notPicture = L"画像ファイルとして読み込めません。";
  expectFailure(load(L"nothing.png"), sys::kPictureNotFound, L"ファイルが見つかりません。");
  expectFailure(load(L"nowhere\\nothing.png"), sys::kPictureNotFound,
                L"ファイルが見つかりません。");
  expectFailure(sys.loadPicture(L"", 0, kMaxSide), sys::kPictureNotFound,
                L"ファイルが見つかりません。");
  CreateDirectoryW((root + L"folder.png").c_str(), nullptr);
  expectFailure(load(L"folder.png"), sys::kPictureCannotRead, L"ファイルを読み込めません。");
  ASSERT_NO_FATAL_FAILURE(writeBytes(root + L"notes.png", "just some text, no picture\r\n"));
  expectFailure(load(L"notes.png"), sys::kPictureNotPicture, notPicture);
  ASSERT_NO_FATAL_FAILURE(writeBytes(root + L"empty.bmp", ""));
  expectFailure(load(L"empty.bmp"), sys::kPictureNotPicture, notPicture);

  // A PNG cut short anywhere before its image data ends.
  Bgra noise(64 * 64);
  std::uint32_t seed = 12345;
  for (auto& p : noise) p = 0xFF000000u | ((seed = seed * 1103515245u + 12345u) >> 8);
  ASSERT_NO_FATAL_FAILURE(encode(GUID_ContainerFormatPng, 64, 64, noise, root + L"noise.png"));
  const std::string png = bytesOf(root + L"noise.png");
  ASSERT_GT(png.size(), 4000u);
  for (std::size_t n :
       {std::size_t{8}, std::size_t{20}, std::size_t{40}, png.size() / 2, png.size() - 40}) {
    SCOPED_TRACE(testing::Message() << "PNG cut to " << n << " of " << png.size());
    ASSERT_NO_FATAL_FAILURE(writeBytes(root + L"cut.png", png.substr(0, n)));
    expectFailure(load(L"cut.png"), sys::kPictureNotPicture, notPicture);
  }

  // Other formats cut in half: a clean refusal or, where the codec makes do with
  // what is there, the picture at its full size.
  const struct {
    const wchar_t* name;
    const GUID& container;
  } others[] = {{L"cut.bmp", GUID_ContainerFormatBmp},
                {L"cut.jpg", GUID_ContainerFormatJpeg},
                {L"cut.gif", GUID_ContainerFormatGif},
                {L"cut.tif", GUID_ContainerFormatTiff}};
  for (const auto& f : others) {
    SCOPED_TRACE(testing::Message() << f.name);
    ASSERT_NO_FATAL_FAILURE(encode(f.container, 64, 64, noise, root + f.name));
    const std::string whole = bytesOf(root + f.name);
    ASSERT_NO_FATAL_FAILURE(writeBytes(root + f.name, whole.substr(0, whole.size() / 2)));
    const auto got = load(f.name);
    if (got.picture) {
      EXPECT_EQ(got.error, 0);
      EXPECT_EQ(got.picture->width(), 64);
      EXPECT_EQ(got.picture->height(), 64);
    } else {
      EXPECT_EQ(got.error, sys::kPictureNotPicture);
      EXPECT_EQ(got.description, notPicture);
    }
  }
}

TEST_F(PictureTest, PicturesLargerThanAllowedAreRefusedBeforeDecoding) {
  // Exactly the limit loads; one pixel more does not.
  ASSERT_NO_FATAL_FAILURE(
      encode(GUID_ContainerFormatPng, 300, 20, Opaque(Pattern(300, 20)), root + L"wide.png"));
  EXPECT_TRUE(load(L"wide.png", 0, 300).picture.has_value());
  expectFailure(load(L"wide.png", 0, 299), sys::kPictureTooLarge,
                L"画像が大きすぎます (300×20)。最大 299 ピクセルまでです。");
  ASSERT_NO_FATAL_FAILURE(
      encode(GUID_ContainerFormatBmp, 20, 300, Opaque(Pattern(20, 300)), root + L"tall.bmp"));
  expectFailure(load(L"tall.bmp", 0, 299), sys::kPictureTooLarge,
                L"画像が大きすぎます (20×300)。最大 299 ピクセルまでです。");

  // Files whose headers claim 30000 x 30000: decoding any of them would take
  // gigabytes, so each must be refused from its header alone.
  const std::string bigPng = PngClaiming(30000, 30000);
  ASSERT_NO_FATAL_FAILURE(
      encode(GUID_ContainerFormatJpeg, 64, 32, Opaque(Quadrants(64, 32)), root + L"small.jpg"));
  std::string bigJpeg = bytesOf(root + L"small.jpg");
  const auto sof = bigJpeg.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  bigJpeg.replace(sof + 5, 4, "\x75\x30\x75\x30");
  // A 1 x 1 GIF whose second frame is the big one.
  const std::string gifFrame = std::string("\x2C\0\0\0\0", 5);
  const std::string bigGif = "GIF89a" + Le16(1) + Le16(1) + std::string("\x80\0\0", 3) +
                             std::string("\0\0\0\xFF\xFF\xFF", 6) + gifFrame + Le16(1) + Le16(1) +
                             std::string("\0\x02\x02\x44\x01\0", 6) + gifFrame + Le16(30000) +
                             Le16(30000) + std::string("\0\x02\x02\x44\x01\0", 6) + ";";
  const std::string bigBmp = "BM" + Le32(54) + Le32(0) + Le32(54) + Le32(40) + Le32(30000) +
                             Le32(static_cast<std::uint32_t>(-30000)) + Le16(1) + Le16(24) +
                             std::string(24, '\0');
  // One uncompressed 8-bit strip.
  std::string bigTiff = "II" + Le16(42) + Le32(8) + Le16(9);
  const std::uint32_t tags[][3] = {{256, 4, 30000}, {257, 4, 30000}, {258, 3, 8},
                                   {259, 3, 1},     {262, 3, 1},     {273, 4, 8},
                                   {277, 3, 1},     {278, 4, 30000}, {279, 4, 900000000}};
  for (const auto& t : tags) bigTiff += Le16(t[0]) + Le16(t[1]) + Le32(1) + Le32(t[2]);
  bigTiff += Le32(0);
  // An icon whose directory says 256 x 256 but whose PNG image is 30000 x 30000.
  const std::string bigIco = Le16(0) + Le16(1) + Le16(1) + std::string(4, '\0') + Le16(1) +
                             Le16(32) + Le32(static_cast<std::uint32_t>(bigPng.size())) + Le32(22) +
                             bigPng;
  const struct {
    const wchar_t* name;
    std::string bytes;
  } claims[] = {{L"big.png", bigPng}, {L"big.jpg", bigJpeg}, {L"big.gif", bigGif},
                {L"big.bmp", bigBmp}, {L"big.tif", bigTiff}, {L"big.ico", bigIco}};
  const auto peakMemory = [] {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    // Wine counts its codecs' own memory in the working set only.
    return counters.PeakWorkingSetSize;
  };
  const SIZE_T peakBefore = peakMemory();
  for (const auto& c : claims) {
    SCOPED_TRACE(testing::Message() << c.name);
    ASSERT_NO_FATAL_FAILURE(writeBytes(root + c.name, c.bytes));
    expectFailure(load(c.name), sys::kPictureTooLarge,
                  L"画像が大きすぎます (30000×30000)。最大 16384 ピクセルまでです。");
  }
  // A codec that made room for the picture first would have taken gigabytes.
  EXPECT_LT(peakMemory() - peakBefore, SIZE_T{64} << 20);
}

TEST_F(PictureTest, ReadOnlyTargetsAreNeverReplaced) {
  const std::wstring target = root + L"kept.png";
  ASSERT_NO_FATAL_FAILURE(writeBytes(target, "old"));
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(sys.writeFileReplacing(target, sys::BytesOf("new")), sys::WriteResult::kCannotReplace);
  EXPECT_EQ(bytesOf(target), "old");
  EXPECT_TRUE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY);
  // No temporary file is left beside it.
  WIN32_FIND_DATAW found;
  EXPECT_EQ(FindFirstFileW((root + L"~pelnoro*.tmp").c_str(), &found), INVALID_HANDLE_VALUE);

  const std::wstring folder = root + L"folder.png";
  CreateDirectoryW(folder.c_str(), nullptr);
  EXPECT_EQ(sys.writeFileReplacing(folder, sys::BytesOf("new")), sys::WriteResult::kCannotReplace);
  EXPECT_TRUE(sys.folderExists(folder));

  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(sys.writeFileReplacing(target, sys::BytesOf("new")), sys::WriteResult::kOk);
  EXPECT_EQ(bytesOf(target), "new");
}

TEST_F(PictureTest, ShellOpenStartsTheAssociatedProgram) {
  // Wine's fresh prefix gives .ini files to Notepad but maps no program to .txt.
  ASSERT_NO_FATAL_FAILURE(writeBytes(root + L"notes.ini", "[a]\r\nb=1\r\n"));
  EXPECT_GT(sys.shellOpen(root + L"notes.ini", SW_SHOWNORMAL), 32);
  // The editor it started goes again, so that it does not outlive the test.
  HWND editor = nullptr;
  for (int i = 0; i < 200 && !editor; ++i) {
    editor = FindWindowW(L"Notepad", nullptr);
    if (!editor) Sleep(50);
  }
  EXPECT_NE(editor, nullptr);
  if (editor) PostMessageW(editor, WM_CLOSE, 0, 0);

  ASSERT_NO_FATAL_FAILURE(writeBytes(root + L"readme.txt", "hello\r\n"));
  const int text = sys.shellOpen(root + L"readme.txt", SW_SHOWNORMAL);
  EXPECT_TRUE(text > 32 || text == kNoAssociation) << text;
  if (text > 32) {
    for (int i = 0; i < 200; ++i) {
      if (HWND other = FindWindowW(L"Notepad", nullptr)) {
        PostMessageW(other, WM_CLOSE, 0, 0);
        break;
      }
      Sleep(50);
    }
  }
  const int missing = sys.shellOpen(root + L"missing.ini", SW_SHOWNORMAL);
  EXPECT_GE(missing, 0);
  EXPECT_LE(missing, 32);
  std::printf("shellOpen: .txt gave %d, a missing file %d\n", text, missing);
}

TEST(Clock, NowIsTheLocalTimeOfTheCLibrary) {
  win32::Win32System sys;
  const sys::LocalTime t = sys.now();
  std::tm parts{};
  parts.tm_year = t.year - 1900;
  parts.tm_mon = t.month - 1;
  parts.tm_mday = t.day;
  parts.tm_hour = t.hour;
  parts.tm_min = t.minute;
  parts.tm_sec = t.second;
  parts.tm_isdst = -1;
  const double apart = std::difftime(std::mktime(&parts), std::time(nullptr));
  EXPECT_LT(apart < 0 ? -apart : apart, 5.0) << t.year << "-" << t.month << "-" << t.day << " "
                                             << t.hour << ":" << t.minute << ":" << t.second;
}

}  // namespace
}  // namespace pelnoro
