// Drawing of the windowless controls and pixel surfaces with GDI.
#pragma once

#include <windows.h>

#include "image/surface.h"
#include "toolkit/controls.h"

namespace pelnoro::win32 {

// Fonts live until the program ends; the program uses only a handful.
HFONT FontFor(const tk::Font& font);
COLORREF ToColorRef(tk::Color c);

void DrawSurface(HDC dc, const image::Surface& s, const RECT& dst);
void DrawLabel(HDC dc, const tk::Label& label, const RECT& r);
void DrawShape(HDC dc, const tk::Shape& shape, const RECT& r);
void DrawLine(HDC dc, const tk::Line& line, POINT a, POINT b);

}  // namespace pelnoro::win32
