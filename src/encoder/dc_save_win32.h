// The two Windows entry points of the encoder library: encode the pixels at (0, 0) of a
// device context to a JPEG or PNG file. Both return 0 on success, otherwise one of the
// values of pelnoro::encoder::Error.
//
// The argument order and widths are those the save path was written against; the path
// is UTF-16 rather than the ANSI code page so that every file name can be written.
#pragma once

// The handle type as <windows.h> declares it (STRICT), without pulling the header in.
struct HDC__;
typedef struct HDC__* HDC;

extern "C" {

// quality 0..100 (0 acts as 1, above 100 as 100); progressive: 0 baseline, any other
// value (the caller passes -1) progressive.
short DCSavetoJPEG(HDC dc, int width, int height, const wchar_t* path, unsigned char quality,
                   short progressive);

// level 0 normal, 1 low (fast), 2 highest (smallest); other values are refused.
short DCSavetoPNG(HDC dc, int width, int height, const wchar_t* path, unsigned char level);
}
