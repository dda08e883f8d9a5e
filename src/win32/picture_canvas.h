// A picture box's surface on the screen, with the focus rectangles drawn over it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/controls.h"

namespace pelnoro::win32 {

// The surface is kept as a DIB section and converted once per change, so a
// repaint is one blit however often the window is uncovered.
class PictureCanvas {
 public:
  explicit PictureCanvas(const tk::PictureBox& box) : box_(box) {}
  ~PictureCanvas();
  PictureCanvas(const PictureCanvas&) = delete;
  PictureCanvas& operator=(const PictureCanvas&) = delete;

  // An empty surface lets its DIB go at once: a hidden window is not repainted.
  void pictureChanged();
  // The surface, the box's colour where it does not reach, and the rectangles.
  void paint(HDC dc, const RECT& client);
  // The rectangle just toggled, XORed straight onto the window: drawing the
  // same one again erases it.
  void toggleLastRect(HWND window) const;

 private:
  void convert(HDC dc);

  const tk::PictureBox& box_;
  HBITMAP dib_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
  bool stale_ = true;
};

}  // namespace pelnoro::win32
