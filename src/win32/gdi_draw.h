// Drawing of the windowless controls and pixel surfaces with GDI.
#pragma once

#include <windows.h>

#include <cstdint>

#include "image/surface.h"
#include "toolkit/controls.h"

namespace pelnoro::win32 {

// A top-down 32-bit DIB header of the given size.
BITMAPINFO TopDownDib(int width, int height);
// Colour references are 0x00BBGGRR; a DIB row holds 0x00RRGGBB. The same swap
// converts both ways.
inline std::uint32_t SwapRedBlue(std::uint32_t c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
void SwapRedBlue(const std::uint32_t* in, std::uint32_t* out, std::size_t count);

// Fonts live until the program ends; the program uses only a handful (a few more
// when its windows stand on monitors of several scales). dpi: the scale of the
// window the text is drawn in.
HFONT FontFor(const tk::Font& font, int dpi);
COLORREF ToColorRef(tk::Color c);

void DrawSurface(HDC dc, const image::Surface& s, const RECT& dst);
void DrawLabel(HDC dc, const tk::Label& label, const RECT& r, int dpi);
void DrawShape(HDC dc, const tk::Shape& shape, const RECT& r);
void DrawLine(HDC dc, const tk::Line& line, POINT a, POINT b);

}  // namespace pelnoro::win32
