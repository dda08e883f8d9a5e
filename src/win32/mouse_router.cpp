#include "win32/mouse_router.h"

#include <windowsx.h>

#include "win32/container_window.h"

namespace pelnoro::win32 {

namespace {

int heldButtons(WPARAM wp) {
  int b = 0;
  if (wp & MK_LBUTTON) b |= tk::kLeftButton;
  if (wp & MK_RBUTTON) b |= tk::kRightButton;
  if (wp & MK_MBUTTON) b |= tk::kMiddleButton;
  return b;
}

int shiftState(WPARAM wp) {
  int s = 0;
  if (wp & MK_SHIFT) s |= 1;
  if (wp & MK_CONTROL) s |= 2;
  if (GetKeyState(VK_MENU) < 0) s |= 4;
  return s;
}

int buttonOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      return tk::kLeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return tk::kRightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return tk::kMiddleButton;
    default:
      return 0;
  }
}

}  // namespace

tk::Control& MouseRouter::receiver(tk::Control* target) {
  return target ? *target : static_cast<tk::Control&>(window_.container());
}

void MouseRouter::raise(tk::Control* target, Event event, int button, int shift, int x, int y) {
  const Scale s = window_.scale();
  tk::MouseEvent e;
  e.button = button;
  e.shift = shift;
  if (target) {
    // In the control's own coordinates.
    const RECT r = window_.childRect(*target);
    e.x = s.fromX(x - r.left);
    e.y = s.fromY(y - r.top);
  } else {
    e.x = s.fromX(x);
    e.y = s.fromY(y);
  }
  tk::Control& c = receiver(target);
  if (event == kDown) c.raiseMouseDown(e);
  if (event == kMove) c.raiseMouseMove(e);
  if (event == kUp) c.raiseMouseUp(e);
}

bool MouseRouter::message(UINT msg, WPARAM wp, LPARAM lp) {
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  const int shift = shiftState(wp);
  const int button = buttonOf(msg);
  switch (msg) {
    case WM_MOUSEMOVE: {
      tk::Control* target = buttonsDown_ ? pressed_ : window_.hit(x, y);
      raise(target, kMove, heldButtons(wp), shift, x, y);
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      if (!buttonsDown_) {
        pressed_ = window_.hit(x, y);
        SetCapture(window_.hwnd());
      }
      buttonsDown_ |= button;
      const bool dbl =
          msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
      if (dbl) {
        afterDblClick_ = true;
        receiver(pressed_).raiseDblClick();
      } else {
        raise(pressed_, kDown, button, shift, x, y);
      }
      return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (!(buttonsDown_ & button)) return true;  // the press went elsewhere (a drag, a dialog)
      buttonsDown_ &= ~button;
      tk::Control* target = pressed_;
      const bool click =
          button == tk::kLeftButton && !afterDblClick_ && window_.hit(x, y) == target;
      if (button == tk::kLeftButton) afterDblClick_ = false;
      // The press is over before its handlers run: a Click may wait for the user (the
      // in-window question, a message box), and the mouse must reach the other
      // controls meanwhile.
      if (!buttonsDown_) {
        pressed_ = nullptr;
        if (GetCapture() == window_.hwnd()) ReleaseCapture();
      }
      raise(target, kUp, button, shift, x, y);
      if (click) receiver(target).raiseClick();
      return true;
    }
    default:
      return false;
  }
}

void MouseRouter::captureLost() {
  buttonsDown_ = 0;
  pressed_ = nullptr;
  afterDblClick_ = false;
}

}  // namespace pelnoro::win32
