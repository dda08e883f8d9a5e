#include "win32/child_window.h"

#include <string>

#include "win32/gdi_draw.h"

namespace pelnoro::win32 {

ChildWindow::ChildWindow(tk::Container& c, ContainerWindow& parent, double tppX, double tppY)
    : ContainerWindow(c, tppX, tppY), parent_(parent) {
  create(panelClass(), L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, parent.hwnd());
  // Later controls stand above earlier ones.
  SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  applyGeometry();
  applyVisible();
}

void ChildWindow::applyGeometry() {
  const RECT r = parent_.childRect(container());
  SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void ChildWindow::rescale(double tppX, double tppY) {
  // The parent already has the new scale: this window's place comes from it.
  applyGeometry();
  ContainerWindow::rescale(tppX, tppY);
}

void ChildWindow::applyVisible() {
  ShowWindow(hwnd(), container().visible() ? SW_SHOWNA : SW_HIDE);
}

void ChildWindow::sync(tk::Prop what) {
  switch (what) {
    case tk::Prop::Geometry:
      applyGeometry();
      toolTipsChanged();
      break;
    case tk::Prop::Visible:
      applyVisible();
      toolTipsChanged();
      break;
    default:
      syncShared(what);
      break;
  }
}

void FrameWindow::paintDecoration(HDC dc, const RECT& client) {
  if (!frame_.bordered()) return;
  HGDIOBJ old = SelectObject(dc, FontFor(frame_.font(), dpi()));
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  // The edge runs through the middle of the caption's line.
  RECT edge = client;
  edge.top += tm.tmHeight / 2;
  DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
  if (!frame_.caption().empty()) {
    SetBkColor(dc, ToColorRef(frame_.backColor()));
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, ToColorRef(frame_.foreColor()));
    const std::wstring text = L" " + frame_.caption() + L" ";
    TextOutW(dc, 6, 0, text.c_str(), static_cast<int>(text.size()));
  }
  SelectObject(dc, old);
}

void PictureBoxWindow::sync(tk::Prop what) {
  switch (what) {
    case tk::Prop::Overlay:
      canvas_.toggleLastRect(hwnd());
      break;
    case tk::Prop::Picture:
      canvas_.pictureChanged();
      ChildWindow::sync(what);
      break;
    default:
      ChildWindow::sync(what);
      break;
  }
}

}  // namespace pelnoro::win32
