// The device-context entry points on a real GDI (run under Wine): the files hold exactly
// the pixels of the DC's bitmap and decode with the system's own codecs.
#include <windows.h>

#include "encoder/dc_save_win32.h"

#include <gtest/gtest.h>
#include <wincodec.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "encoder/jpeg_encoder.h"
#include "encoder/png_encoder.h"

namespace pelnoro::encoder {
namespace {

namespace fs = std::filesystem;

std::uint32_t Pattern(int x, int y) {
  // Gradients, a checkerboard and a flat block on whole JPEG blocks: channel swaps and offsets show
  // at once.
  int r = x * 255 / 63, g = y * 255 / 47, b = ((x / 16 + y / 16) % 2) * 200;
  if (x >= 16 && x < 32 && y >= 16 && y < 32) r = 255, g = 0, b = 0;
  return static_cast<std::uint32_t>(r | g << 8 | b << 16);
}

// A memory DC with a 64 x 48 DIB section holding Pattern(), as the edit image keeps it.
class MemoryDc {
 public:
  MemoryDc() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    auto* p = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const std::uint32_t c = Pattern(x, y);  // DIB order is 0x00RRGGBB
        p[y * kWidth + x] = (c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16;
      }
    GdiFlush();
  }
  ~MemoryDc() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }

  static constexpr int kWidth = 64, kHeight = 48;

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

std::vector<std::uint32_t> Expected(int width, int height) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(Pattern(x, y));
  return pixels;
}

// Decodes any image file with the Windows Imaging Component into colour references.
bool DecodeWithWic(const fs::path& path, int& width, int& height, std::vector<std::uint32_t>& out) {
  IWICImagingFactory* factory = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))))
    return false;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  bool ok =
      SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                   WICDecodeMetadataCacheOnDemand, &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) &&
      SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                      nullptr, 0, WICBitmapPaletteTypeCustom));
  UINT w = 0, h = 0;
  if (ok) ok = SUCCEEDED(converter->GetSize(&w, &h));
  std::vector<std::uint32_t> bgra(static_cast<std::size_t>(w) * h);
  if (ok)
    ok = SUCCEEDED(converter->CopyPixels(nullptr, w * 4, static_cast<UINT>(bgra.size() * 4),
                                         reinterpret_cast<BYTE*>(bgra.data())));
  if (converter) converter->Release();
  if (frame) frame->Release();
  if (decoder) decoder->Release();
  factory->Release();
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  out.clear();
  for (std::uint32_t p : bgra) out.push_back((p >> 16 & 0xFF) | (p & 0xFF00) | (p & 0xFF) << 16);
  return ok;
}

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

double Psnr(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8) {
      const double d = static_cast<double>((a[i] >> shift) & 0xFF) - ((b[i] >> shift) & 0xFF);
      sum += d * d;
    }
  return 10 * std::log10(255.0 * 255.0 * 3 * a.size() / std::max(sum, 1e-9));
}

class DcSave : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    folder_ = fs::temp_directory_path() / L"pelnoro-dc-save-test";
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    for (const auto& entry : fs::directory_iterator(folder_))
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(folder_);
    CoUninitialize();
  }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {}));
  }

  fs::path folder_;
  MemoryDc dc_;
};

TEST_F(DcSave, PngHoldsExactlyTheTopLeftPixelsAtEveryLevel) {
  const int width = 40, height = 30;  // smaller than the bitmap: only (0,0)..(39,29)
  const std::vector<std::uint32_t> expected = Expected(width, height);
  for (unsigned char level = 0; level <= 2; ++level) {
    const fs::path path = folder_ / (L"clip" + std::to_wstring(level) + L".PNG");
    ASSERT_EQ(DCSavetoPNG(dc_.dc(), width, height, path.c_str(), level), 0);
    std::vector<std::uint8_t> core;
    ASSERT_EQ(
        EncodePng({expected.data(), width, height, width}, static_cast<PngLevel>(level), core),
        Error::kOk);
    EXPECT_EQ(ReadFile(path), core);
    int w = 0, h = 0;
    std::vector<std::uint32_t> decoded;
    ASSERT_TRUE(DecodeWithWic(path, w, h, decoded));
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    EXPECT_EQ(decoded, expected);
  }
}

TEST_F(DcSave, JpegInBothModesDecodesToThePattern) {
  const std::vector<std::uint32_t> expected = Expected(MemoryDc::kWidth, MemoryDc::kHeight);
  for (short progressive : {short{0}, short{-1}}) {
    const fs::path path = folder_ / (progressive ? L"p.JPG" : L"b.JPG");
    ASSERT_EQ(
        DCSavetoJPEG(dc_.dc(), MemoryDc::kWidth, MemoryDc::kHeight, path.c_str(), 90, progressive),
        0);
    std::vector<std::uint8_t> core;
    ASSERT_EQ(EncodeJpeg({expected.data(), MemoryDc::kWidth, MemoryDc::kHeight, MemoryDc::kWidth},
                         {90, progressive != 0}, core),
              Error::kOk);
    EXPECT_EQ(ReadFile(path), core);
    int w = 0, h = 0;
    std::vector<std::uint32_t> decoded;
    ASSERT_TRUE(DecodeWithWic(path, w, h, decoded));
    EXPECT_EQ(w, MemoryDc::kWidth);
    EXPECT_EQ(h, MemoryDc::kHeight);
    EXPECT_GT(Psnr(decoded, expected), 30.0);
  }
}

TEST_F(DcSave, ReadOnlyTargetReportsAnErrorAndKeepsTheOldFile) {
  const fs::path path = folder_ / L"old.PNG";
  std::ofstream(path, std::ios::binary) << "old picture";
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_NE(DCSavetoPNG(dc_.dc(), 16, 16, path.c_str(), 0), 0);
  EXPECT_NE(DCSavetoJPEG(dc_.dc(), 16, 16, path.c_str(), 75, 0), 0);
  const std::vector<std::uint8_t> kept = ReadFile(path);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "old picture");
  EXPECT_EQ(Entries(), 1u);  // no temporary file left
}

TEST_F(DcSave, ReplacesAWritableFileAndWritesAnyFileName) {
  const fs::path path = folder_ / L"切り抜き_ü.JPG";
  std::ofstream(path, std::ios::binary) << "old picture";
  ASSERT_EQ(DCSavetoJPEG(dc_.dc(), 20, 10, path.c_str(), 75, 0), 0);
  int w = 0, h = 0;
  std::vector<std::uint32_t> decoded;
  ASSERT_TRUE(DecodeWithWic(path, w, h, decoded));
  EXPECT_EQ(w, 20);
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(DcSave, BadArgumentsGiveTheirCodes) {
  const fs::path path = folder_ / L"x.PNG";
  EXPECT_EQ(DCSavetoPNG(nullptr, 10, 10, path.c_str(), 0),
            static_cast<short>(Error::kBadDeviceContext));
  EXPECT_EQ(DCSavetoPNG(dc_.dc(), 10, 10, path.c_str(), 3),
            static_cast<short>(Error::kBadArgument));
  EXPECT_EQ(DCSavetoPNG(dc_.dc(), 10, 10, nullptr, 0), static_cast<short>(Error::kBadArgument));
  EXPECT_EQ(DCSavetoPNG(dc_.dc(), 0, 10, path.c_str(), 0), static_cast<short>(Error::kBadSize));
  EXPECT_EQ(DCSavetoJPEG(dc_.dc(), 70000, 10, path.c_str(), 75, 0),
            static_cast<short>(Error::kBadSize));
  EXPECT_EQ(DCSavetoJPEG(dc_.dc(), 10, 10, (folder_ / L"no" / L"x.JPG").c_str(), 75, 0),
            static_cast<short>(Error::kCannotCreateFile));
  EXPECT_EQ(Entries(), 0u);
}

// A full screen is encoded on two threads (winpthreads here) in parts; the file must be
// the one-thread file, and the system's decoder must read it as the picture.
TEST_F(DcSave, ScreenSizedJpegOnTwoThreadsIsTheOneThreadFile) {
  const int width = 1280, height = 1024;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels[static_cast<std::size_t>(y) * width + x] = Pattern(x % 64, y % 48);
  std::vector<std::uint8_t> one, two;
  ASSERT_EQ(EncodeJpeg({pixels.data(), width, height, width}, {85, false, 1}, one), Error::kOk);
  ASSERT_EQ(EncodeJpeg({pixels.data(), width, height, width}, {85, false, 0}, two), Error::kOk);
  EXPECT_TRUE(one == two);
  const fs::path path = folder_ / L"screen.JPG";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(two.data()), static_cast<std::streamsize>(two.size()));
  int w = 0, h = 0;
  std::vector<std::uint32_t> decoded;
  ASSERT_TRUE(DecodeWithWic(path, w, h, decoded));
  ASSERT_EQ(w, width);
  ASSERT_EQ(h, height);
  EXPECT_GT(Psnr(decoded, pixels), 30.0);
}

}  // namespace
}  // namespace pelnoro::encoder
