// The selection records: a rectangle's start and end corners as decimal pixel texts in
// four labels of the main window (empty = not set, read as 0), and the rules of the
// rubber band that writes them.
#pragma once

#include <string>
#include <utility>

#include "system/system.h"
#include "toolkit/controls.h"

namespace pelnoro::capture {

// A selection read as numbers.
struct Selection {
  double startX = 0, startY = 0, endX = 0, endY = 0;
  double width() const { return endX - startX; }
  double height() const { return endY - startY; }
};

// The four labels of one record; the program wires them to the main window's labels.
struct SelectionLabels {
  tk::Label* startX = nullptr;
  tk::Label* startY = nullptr;
  tk::Label* endX = nullptr;
  tk::Label* endY = nullptr;

  Selection read() const;
  // Whether a horizontal range was ever set: both X texts are non-empty.
  bool hasHorizontal() const;
  void clear() const;
};

struct PointerLabels {
  tk::Label* x = nullptr;
  tk::Label* y = nullptr;
};

// The band between the press and the current point, normalised (right, bottom exclusive).
tk::Rect BandRect(int startX, int startY, int currentX, int currentY);

// One axis of a drag at its release: the start text as written at the press and the
// release coordinate give the start and end texts, the smaller first.
std::pair<std::wstring, std::wstring> ReleasedAxis(const std::wstring& startText, double release);

// A coordinate on an image `side` pixels across: 0 to the last pixel. The pointer may
// leave the image while the button is held; what it selects does not.
double OnImage(double v, int side);

// The pointer moved by dx, dy from `at`, kept on a screen of width x height pixels, as
// the mouse is.
sys::ScreenPoint NudgedPointer(sys::ScreenPoint at, int dx, int dy, int width, int height);

}  // namespace pelnoro::capture
