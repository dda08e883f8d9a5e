// The system's screen copy and clipboard.
#include <algorithm>

#include "win32/gdi_draw.h"
#include "win32/win32_system.h"

namespace pelnoro::win32 {

bool Win32System::openClipboard() {
  if (!clipboardOwner_) {
    clipboardOwner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  }
  // Another program may hold it for a moment.
  for (int i = 0; i < 20; ++i) {
    if (OpenClipboard(clipboardOwner_)) return true;
    Sleep(10);
  }
  return false;
}

image::Surface Win32System::captureScreen(int x, int y, int width, int height) {
  image::Surface shot(std::max(width, 0), std::max(height, 0), 0);
  if (shot.empty()) return shot;
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HDC mem = CreateCompatibleDC(display);
  // Straight into a DIB section: the pixels are ours without another copy through
  // the driver.
  BITMAPINFO bi = TopDownDib(width, height);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(display, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, width, height, display, x, y, SRCCOPY);
    GdiFlush();
    SwapRedBlue(static_cast<const std::uint32_t*>(bits), shot.pixels().data(),
                shot.pixels().size());
    SelectObject(mem, old);
  }
  if (dib) DeleteObject(dib);
  DeleteDC(mem);
  DeleteDC(display);
  return shot;
}

void Win32System::clearClipboard() {
  if (!openClipboard()) return;
  EmptyClipboard();
  CloseClipboard();
}

std::optional<image::Surface> Win32System::clipboardBitmap() {
  if (!openClipboard()) return std::nullopt;
  std::optional<image::Surface> result;
  if (auto bmp = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    BITMAP info{};
    GetObjectW(bmp, sizeof info, &info);
    if (info.bmWidth > 0 && info.bmHeight > 0) {
      BITMAPINFO bi = TopDownDib(info.bmWidth, info.bmHeight);
      image::Surface s(info.bmWidth, info.bmHeight, 0);
      HDC screen = GetDC(nullptr);
      GetDIBits(screen, bmp, 0, static_cast<UINT>(info.bmHeight), s.pixels().data(), &bi,
                DIB_RGB_COLORS);
      ReleaseDC(nullptr, screen);
      SwapRedBlue(s.pixels().data(), s.pixels().data(), s.pixels().size());
      result = std::move(s);
    }
  }
  CloseClipboard();
  return result;
}

bool Win32System::setClipboardBitmap(const image::Surface& picture) {
  if (picture.empty()) return false;
  std::vector<std::uint32_t> bgr(picture.pixels().size());
  SwapRedBlue(picture.pixels().data(), bgr.data(), bgr.size());
  BITMAPINFO bi = TopDownDib(picture.width(), picture.height());
  HDC screen = GetDC(nullptr);
  // A device-dependent bitmap: the system offers it as a DIB to whoever asks.
  HBITMAP bmp = CreateCompatibleBitmap(screen, picture.width(), picture.height());
  const bool filled = bmp && SetDIBits(screen, bmp, 0, static_cast<UINT>(picture.height()),
                                       bgr.data(), &bi, DIB_RGB_COLORS) > 0;
  ReleaseDC(nullptr, screen);
  if (!filled) {
    if (bmp) DeleteObject(bmp);
    return false;
  }
  if (!openClipboard()) {
    DeleteObject(bmp);
    return false;
  }
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_BITMAP, bmp) != nullptr;
  if (!ok) DeleteObject(bmp);
  CloseClipboard();
  return ok;
}

}  // namespace pelnoro::win32
