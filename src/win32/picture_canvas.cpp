#include "win32/picture_canvas.h"

#include <algorithm>

#include "win32/gdi_draw.h"

namespace pelnoro::win32 {

PictureCanvas::~PictureCanvas() {
  if (dib_) DeleteObject(dib_);
}

void PictureCanvas::pictureChanged() {
  stale_ = true;
  if (box_.surface().empty() && dib_) {
    DeleteObject(dib_);
    dib_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
  }
}

void PictureCanvas::convert(HDC dc) {
  const auto& s = box_.surface();
  if (!dib_ || width_ != s.width() || height_ != s.height()) {
    if (dib_) DeleteObject(dib_);
    dib_ = nullptr;
    bits_ = nullptr;
    width_ = s.width();
    height_ = s.height();
    if (width_ > 0 && height_ > 0) {
      BITMAPINFO bi = TopDownDib(width_, height_);
      void* bits = nullptr;
      dib_ = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
      bits_ = static_cast<std::uint32_t*>(bits);
    }
  }
  if (bits_) {
    SwapRedBlue(s.pixels().data(), bits_, s.pixels().size());
    GdiFlush();
  }
  stale_ = false;
}

void PictureCanvas::paint(HDC dc, const RECT& client) {
  if (stale_) convert(dc);
  HBRUSH back = CreateSolidBrush(ToColorRef(box_.backColor()));
  RECT right{std::min<LONG>(width_, client.right), 0, client.right, client.bottom};
  RECT below{0, std::min<LONG>(height_, client.bottom), client.right, client.bottom};
  FillRect(dc, &right, back);
  FillRect(dc, &below, back);
  DeleteObject(back);
  if (dib_) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, dib_);
    BitBlt(dc, 0, 0, width_, height_, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  for (const auto& b : box_.focusRects()) {
    RECT fr{b.left, b.top, b.right, b.bottom};
    DrawFocusRect(dc, &fr);
  }
}

void PictureCanvas::toggleLastRect(HWND window) const {
  const auto& b = box_.lastFocusRect();
  RECT r{b.left, b.top, b.right, b.bottom};
  HDC dc = GetDC(window);
  DrawFocusRect(dc, &r);
  ReleaseDC(window, dc);
}

}  // namespace pelnoro::win32
