#include "win32/gdi_draw.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace pelnoro::win32 {

COLORREF ToColorRef(tk::Color c) {
  return static_cast<COLORREF>(c & 0x00FFFFFF);
}

HFONT FontFor(const tk::Font& font, int dpi) {
  static std::map<std::tuple<std::wstring, int, bool>, HFONT> cache;
  const int height = -static_cast<int>(std::lround(font.size * dpi / 72.0));
  auto key = std::make_tuple(font.name, height, font.bold);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  HFONT f = CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        DEFAULT_PITCH, font.name.c_str());
  cache[key] = f;
  return f;
}

BITMAPINFO TopDownDib(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

void SwapRedBlue(const std::uint32_t* in, std::uint32_t* out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) out[i] = SwapRedBlue(in[i]);
}

void DrawSurface(HDC dc, const image::Surface& s, const RECT& dst) {
  if (s.empty()) return;
  std::vector<std::uint32_t> bgr(s.pixels().size());
  SwapRedBlue(s.pixels().data(), bgr.data(), bgr.size());
  BITMAPINFO bi = TopDownDib(s.width(), s.height());
  const int w = dst.right - dst.left, h = dst.bottom - dst.top;
  if (w == s.width() && h == s.height()) {
    SetDIBitsToDevice(dc, dst.left, dst.top, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                      static_cast<UINT>(s.height()), bgr.data(), &bi, DIB_RGB_COLORS);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, dst.left, dst.top, w, h, 0, 0, s.width(), s.height(), bgr.data(), &bi,
                  DIB_RGB_COLORS, SRCCOPY);
  }
}

void DrawLabel(HDC dc, const tk::Label& label, const RECT& r, int dpi) {
  RECT box = r;
  if (!label.transparent()) {
    HBRUSH b = CreateSolidBrush(ToColorRef(label.backColor()));
    FillRect(dc, &box, b);
    DeleteObject(b);
  }
  if (label.bordered()) {
    HBRUSH b = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    FrameRect(dc, &box, b);
    DeleteObject(b);
    InflateRect(&box, -2, -1);
  }
  if (label.caption().empty()) return;
  HGDIOBJ old = SelectObject(dc, FontFor(label.font(), dpi));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, label.enabled() ? ToColorRef(label.foreColor()) : GetSysColor(COLOR_GRAYTEXT));
  UINT fmt = DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL;
  if (label.alignment() == tk::Align::Center) fmt |= DT_CENTER;
  if (label.alignment() == tk::Align::Right) fmt |= DT_RIGHT;
  // One-line button captions sit in the middle of their box.
  if (label.bordered() && label.caption().find(L'\n') == std::wstring::npos) {
    RECT measure = box;
    DrawTextW(dc, label.caption().c_str(), -1, &measure, fmt | DT_CALCRECT);
    const int extra = (box.bottom - box.top) - (measure.bottom - measure.top);
    if (extra > 0) box.top += extra / 2;
  }
  DrawTextW(dc, label.caption().c_str(), -1, &box, fmt);
  SelectObject(dc, old);
}

void DrawShape(HDC dc, const tk::Shape& shape, const RECT& r) {
  HBRUSH brush = shape.fillStyle() == 0 ? CreateSolidBrush(ToColorRef(shape.fillColor()))
                                        : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  HPEN pen = shape.borderVisible()
                 ? CreatePen(PS_INSIDEFRAME, shape.borderWidth(), ToColorRef(shape.borderColor()))
                 : static_cast<HPEN>(GetStockObject(NULL_PEN));
  HGDIOBJ ob = SelectObject(dc, brush), op = SelectObject(dc, pen);
  const int w = r.right - r.left, h = r.bottom - r.top;
  switch (shape.shape()) {
    case tk::ShapeKind::Oval:
    case tk::ShapeKind::Circle:
      Ellipse(dc, r.left, r.top, r.right, r.bottom);
      break;
    case tk::ShapeKind::RoundedRectangle: {
      const int round = std::max(4, std::min(w, h) / 5);
      RoundRect(dc, r.left, r.top, r.right, r.bottom, round, round);
      break;
    }
    default:
      Rectangle(dc, r.left, r.top, r.right, r.bottom);
  }
  SelectObject(dc, ob);
  SelectObject(dc, op);
  if (shape.fillStyle() == 0) DeleteObject(brush);
  if (shape.borderVisible()) DeleteObject(pen);
}

void DrawLine(HDC dc, const tk::Line& line, POINT a, POINT b) {
  HPEN pen = CreatePen(PS_SOLID, line.borderWidth(), ToColorRef(line.borderColor()));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, a.x, a.y, nullptr);
  LineTo(dc, b.x, b.y);
  // GDI leaves out the last pixel; the frame's corners need it.
  SetPixelV(dc, b.x, b.y, ToColorRef(line.borderColor()));
  SelectObject(dc, old);
  DeleteObject(pen);
}

}  // namespace pelnoro::win32
