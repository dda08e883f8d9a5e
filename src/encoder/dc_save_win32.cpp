#include <windows.h>

#include "encoder/dc_save_win32.h"

#include <new>
#include <vector>

#include "encoder/image_file.h"

namespace pelnoro::encoder {
namespace {

// Pixels of a device context as colour references. A BitBlt into our own DIB section
// works for any DC (memory, window or screen) and gives a known layout.
class DcPixels {
 public:
  Error Read(HDC dc, int width, int height) {
    if (dc == nullptr) return Error::kBadDeviceContext;
    if (width < 1 || height < 1) return Error::kBadSize;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib == nullptr || bits == nullptr) return Error::kOutOfMemory;
    Error result = Error::kOk;
    HDC memory = CreateCompatibleDC(dc);
    if (memory == nullptr) {
      result = Error::kCannotReadPixels;
    } else {
      HGDIOBJ old = SelectObject(memory, dib);
      if (!BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY))
        result = Error::kCannotReadPixels;
      GdiFlush();
      if (result == Error::kOk) {
        try {
          // DIB pixels are 0x00RRGGBB; the encoders take colour references 0x00BBGGRR.
          const auto* src = static_cast<const std::uint32_t*>(bits);
          pixels_.resize(static_cast<std::size_t>(width) * height);
          for (std::size_t i = 0; i < pixels_.size(); ++i) {
            const std::uint32_t p = src[i];
            pixels_[i] = (p >> 16 & 0xFF) | (p & 0xFF00) | (p & 0xFF) << 16;
          }
        } catch (const std::bad_alloc&) {
          result = Error::kOutOfMemory;
        }
      }
      SelectObject(memory, old);
      DeleteDC(memory);
    }
    DeleteObject(dib);
    width_ = width;
    height_ = height;
    return result;
  }

  PixelView View() const { return {pixels_.data(), width_, height_, width_}; }

 private:
  std::vector<std::uint32_t> pixels_;
  int width_ = 0;
  int height_ = 0;
};

short Code(Error error) {
  return static_cast<short>(error);
}

}  // namespace
}  // namespace pelnoro::encoder

using pelnoro::encoder::Error;

extern "C" short DCSavetoJPEG(HDC dc, int width, int height, const wchar_t* path,
                              unsigned char quality, short progressive) {
  if (path == nullptr) return pelnoro::encoder::Code(Error::kBadArgument);
  // Refuse what JPEG cannot hold before allocating a bitmap for it.
  if (width > pelnoro::encoder::kJpegMaxDimension || height > pelnoro::encoder::kJpegMaxDimension)
    return pelnoro::encoder::Code(Error::kBadSize);
  pelnoro::encoder::DcPixels pixels;
  const Error read = pixels.Read(dc, width, height);
  if (read != Error::kOk) return pelnoro::encoder::Code(read);
  return pelnoro::encoder::Code(
      pelnoro::encoder::SaveJpegFile(pixels.View(), {quality, progressive != 0}, path));
}

extern "C" short DCSavetoPNG(HDC dc, int width, int height, const wchar_t* path,
                             unsigned char level) {
  if (path == nullptr || level > 2) return pelnoro::encoder::Code(Error::kBadArgument);
  pelnoro::encoder::DcPixels pixels;
  const Error read = pixels.Read(dc, width, height);
  if (read != Error::kOk) return pelnoro::encoder::Code(read);
  return pelnoro::encoder::Code(pelnoro::encoder::SavePngFile(
      pixels.View(), static_cast<pelnoro::encoder::PngLevel>(level), path));
}
