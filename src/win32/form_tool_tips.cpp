#include "win32/form_tool_tips.h"

#include <commctrl.h>

#include "win32/container_window.h"

namespace pelnoro::win32 {

void FormToolTips::create(HWND form) {
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 600);
}

void FormToolTips::rebuild(ContainerWindow& form) {
  if (!tip_) return;
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  while (SendMessageW(tip_, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti))) {
    SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  add(form);
}

void FormToolTips::add(ContainerWindow& window) {
  UINT id = 1;
  // Front to back: where controls overlap, the tip is that of the one on top, which
  // takes the mouse (the cut button over the shutter).
  const auto& children = window.container().children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    tk::Control* child = *it;
    if (child->toolTip().empty() || !child->shownOnForm()) continue;
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.lpszText = const_cast<wchar_t*>(child->toolTip().c_str());
    // A press on the tip reaches what lies under it, as if the tip were not there: a
    // tip shown over a neighbouring button must not eat the click meant for that.
    if (IsWindowless(child->kind())) {
      // A rectangle of the window that draws it.
      ti.uFlags = TTF_SUBCLASS | TTF_TRANSPARENT;
      ti.hwnd = window.hwnd();
      ti.uId = id++;
      ti.rect = window.childRect(*child);
    } else if (child->nativeTag) {
      ti.uFlags = TTF_SUBCLASS | TTF_IDISHWND | TTF_TRANSPARENT;
      ti.hwnd = window.hwnd();
      ti.uId = reinterpret_cast<UINT_PTR>(child->nativeTag);
    } else {
      continue;
    }
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  for (tk::Control* child : window.container().children()) {
    if ((child->kind() == tk::Kind::Frame || child->kind() == tk::Kind::PictureBox) &&
        child->nativeTag) {
      if (auto* sub = ContainerWindow::of(static_cast<HWND>(child->nativeTag))) add(*sub);
    }
  }
}

}  // namespace pelnoro::win32
