#include "capture/selection.h"

#include <algorithm>

#include "system/number_text.h"

namespace pelnoro::capture {

Selection SelectionLabels::read() const {
  auto v = [](const tk::Label* l) { return l ? sys::LenientNumber(l->caption()) : 0.0; };
  return {v(startX), v(startY), v(endX), v(endY)};
}

bool SelectionLabels::hasHorizontal() const {
  return startX && endX && !startX->caption().empty() && !endX->caption().empty();
}

void SelectionLabels::clear() const {
  for (tk::Label* l : {startX, startY, endX, endY}) {
    if (l) l->setCaption(L"");
  }
}

tk::Rect BandRect(int startX, int startY, int currentX, int currentY) {
  return {std::min(startX, currentX), std::min(startY, currentY), std::max(startX, currentX),
          std::max(startY, currentY)};
}

std::pair<std::wstring, std::wstring> ReleasedAxis(const std::wstring& startText, double release) {
  if (sys::LenientNumber(startText) > release) return {sys::SingleText(release), startText};
  return {startText, sys::SingleText(release)};
}

double OnImage(double v, int side) {
  return std::clamp(v, 0.0, std::max(side - 1, 0) * 1.0);
}

sys::ScreenPoint NudgedPointer(sys::ScreenPoint at, int dx, int dy, int width, int height) {
  return {std::clamp(at.x + dx, 0, std::max(width - 1, 0)),
          std::clamp(at.y + dy, 0, std::max(height - 1, 0))};
}

}  // namespace pelnoro::capture
