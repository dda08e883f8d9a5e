#include "win32/form_window.h"

#include <cmath>

#include "win32/app_icon.h"
#include "win32/gdi_draw.h"

namespace pelnoro::win32 {

namespace {
constexpr UINT kActivatedLater = WM_APP + 44;
}  // namespace

bool OfferKeyToForm(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !msg.hwnd) return false;
  // What is typed into a box is the box's, Enter and Escape included.
  wchar_t cls[16] = {};
  GetClassNameW(msg.hwnd, cls, 16);
  if (lstrcmpiW(cls, L"Edit") == 0) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  // Only our own forms: a system dialog's window data is not ours to read.
  if (!root || !GetClassNameW(root, cls, 16) ||
      lstrcmpW(cls, ContainerWindow::formClassName()) != 0) {
    return false;
  }
  ContainerWindow* w = ContainerWindow::of(root);
  if (!w || w->container().kind() != tk::Kind::Form) return false;
  const int shift = (GetKeyState(VK_SHIFT) < 0 ? tk::kShiftKey : 0) |
                    (GetKeyState(VK_CONTROL) < 0 ? tk::kCtrlKey : 0) |
                    (GetKeyState(VK_MENU) < 0 ? tk::kAltKey : 0);
  const tk::KeyPress key{static_cast<int>(msg.wParam), shift, (msg.lParam & (1L << 30)) != 0};
  return static_cast<tk::Form&>(w->container()).raiseKeyDown(key);
}

FormWindow::FormWindow(tk::Form& form, double tppX, double tppY)
    : ContainerWindow(form, tppX, tppY), form_(form), posTppX_(tppX), posTppY_(tppY) {
  create(formClass(), form.caption().c_str(), WS_POPUP | WS_CLIPCHILDREN, nullptr);
  applyStyle();
  applyGeometry();
  applyVisible();
  toolTips_.create(hwnd());
}

void FormWindow::applyStyle() {
  DWORD style = WS_CLIPCHILDREN;
  DWORD ex = 0;
  const bool sysmenu = form_.controlBox();
  switch (form_.borderStyle()) {
    case tk::BorderStyle::None:
      style |= WS_POPUP;
      break;
    case tk::BorderStyle::FixedSingle:
    case tk::BorderStyle::FixedDialog:
      style |= WS_OVERLAPPED | WS_CAPTION;
      if (sysmenu) style |= WS_SYSMENU;
      if (sysmenu && form_.minButton()) style |= WS_MINIMIZEBOX;
      if (sysmenu && form_.maxButton()) style |= WS_MAXIMIZEBOX;
      if (form_.borderStyle() == tk::BorderStyle::FixedDialog) ex |= WS_EX_DLGMODALFRAME;
      break;
    case tk::BorderStyle::Sizable:
      style |= WS_OVERLAPPEDWINDOW;
      if (!sysmenu) style &= ~WS_SYSMENU;
      if (!form_.minButton()) style &= ~WS_MINIMIZEBOX;
      if (!form_.maxButton()) style &= ~WS_MAXIMIZEBOX;
      break;
    case tk::BorderStyle::FixedToolWindow:
      style |= WS_CAPTION | (sysmenu ? WS_SYSMENU : 0);
      ex |= WS_EX_TOOLWINDOW;
      break;
    case tk::BorderStyle::SizableToolWindow:
      style |= WS_CAPTION | WS_THICKFRAME | (sysmenu ? WS_SYSMENU : 0);
      ex |= WS_EX_TOOLWINDOW;
      break;
  }
  if (form_.showInTaskbar()) {
    ex |= WS_EX_APPWINDOW;
  } else {
    ex |= WS_EX_TOOLWINDOW;
  }
  if (form_.topmost()) ex |= WS_EX_TOPMOST;
  if (layered_) ex |= WS_EX_LAYERED;
  const DWORD keep = GetWindowLongW(hwnd(), GWL_STYLE) & (WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  syncing_ = true;
  SetWindowLongW(hwnd(), GWL_STYLE, static_cast<LONG>(style | keep));
  SetWindowLongW(hwnd(), GWL_EXSTYLE, static_cast<LONG>(ex));
  SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  syncing_ = false;
}

void FormWindow::applyGeometry() {
  syncing_ = true;
  const bool iconic = IsIconic(hwnd()), zoomed = IsZoomed(hwnd());
  const auto want = form_.windowState();
  if (want == tk::WindowState::Minimized && !iconic) {
    ShowWindow(hwnd(), SW_MINIMIZE);
  } else if (want == tk::WindowState::Maximized && !zoomed) {
    ShowWindow(hwnd(), SW_MAXIMIZE);
  } else if (want == tk::WindowState::Normal && (iconic || zoomed)) {
    ShowWindow(hwnd(), SW_RESTORE);
  }
  if (want == tk::WindowState::Normal) {
    // A tip left on the screen would stand in a screen copy taken meanwhile (the
    // shutter's key pressed with the pointer on the shutter).
    toolTips_.pop();
    const int x = static_cast<int>(std::lround(form_.left() / posTppX_));
    const int y = static_cast<int>(std::lround(form_.top() / posTppY_));
    const int w = static_cast<int>(std::lround(form_.width() / tppX()));
    const int h = static_cast<int>(std::lround(form_.height() / tppY()));
    SetWindowPos(hwnd(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  syncing_ = false;
}

void FormWindow::applyVisible() {
  syncing_ = true;
  if (form_.visible()) {
    // Only the first showing of a taskbar window takes the focus.
    const bool activate = form_.showInTaskbar() && !shownOnce_;
    ShowWindow(hwnd(), activate ? SW_SHOW : SW_SHOWNA);
    shownOnce_ = true;
  } else {
    ShowWindow(hwnd(), SW_HIDE);
  }
  syncing_ = false;
}

void FormWindow::sync(tk::Prop what) {
  switch (what) {
    case tk::Prop::Geometry:
      applyGeometry();
      break;
    case tk::Prop::Visible:
      applyVisible();
      toolTipsChanged();
      break;
    case tk::Prop::Caption:
      SetWindowTextW(hwnd(), form_.caption().c_str());
      InvalidateRect(hwnd(), nullptr, FALSE);
      break;
    case tk::Prop::Appearance:
      applyStyle();
      InvalidateRect(hwnd(), nullptr, FALSE);
      break;
    default:
      syncShared(what);
      break;
  }
}

void FormWindow::beginMoveDrag() {
  // Only while the button is still down: the move loop ends at its release, and a loop
  // begun after it would hold the pointer until the next click.
  if (GetKeyState(VK_LBUTTON) >= 0) return;
  ReleaseCapture();
  SendMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void FormWindow::setTopmost(bool activate) {
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
               SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | (activate ? 0 : SWP_NOACTIVATE));
}

void FormWindow::setColorKey(tk::Color key) {
  layered_ = true;
  // Stay out of the taskbar: keep the tool-window bit beside the layered one.
  SetWindowLongW(
      hwnd(), GWL_EXSTYLE,
      static_cast<LONG>(WS_EX_LAYERED | (GetWindowLongW(hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW)));
  SetLayeredWindowAttributes(hwnd(), ToColorRef(key), 0, LWA_COLORKEY);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

int FormWindow::clientWidthPixels() {
  RECT r;
  GetClientRect(hwnd(), &r);
  return r.right - r.left;
}

int FormWindow::clientHeightPixels() {
  RECT r;
  GetClientRect(hwnd(), &r);
  return r.bottom - r.top;
}

void FormWindow::paintDecoration(HDC dc, const RECT& client) {
  if (form_.picture()) DrawSurface(dc, *form_.picture(), client);
  if (form_.outline()) {
    HBRUSH line = CreateSolidBrush(ToColorRef(*form_.outline()));
    FrameRect(dc, &client, line);
    DeleteObject(line);
  }
}

void FormWindow::windowMoved() {
  if (syncing_ || IsIconic(hwnd()) || IsZoomed(hwnd())) return;
  RECT r;
  GetWindowRect(hwnd(), &r);
  // Keep the exact twips the program set where the pixels did not change: a
  // window only moved keeps its size in twips, one only sized its place.
  const bool moved = std::lround(form_.left() / posTppX_) != r.left ||
                     std::lround(form_.top() / posTppY_) != r.top;
  const bool resized = std::lround(form_.width() / tppX()) != r.right - r.left ||
                       std::lround(form_.height() / tppY()) != r.bottom - r.top;
  if (!moved && !resized) return;
  const double l = moved ? r.left * posTppX_ : form_.left();
  const double t = moved ? r.top * posTppY_ : form_.top();
  const double w = resized ? (r.right - r.left) * tppX() : form_.width();
  const double h = resized ? (r.bottom - r.top) * tppY() : form_.height();
  form_.nativeMoved(l, t, w, h);
  if (resized) form_.raiseResize();
}

void FormWindow::sized(WPARAM how) {
  tk::WindowState s = tk::WindowState::Normal;
  if (how == SIZE_MINIMIZED) s = tk::WindowState::Minimized;
  if (how == SIZE_MAXIMIZED) s = tk::WindowState::Maximized;
  if (s == form_.windowState()) return;
  form_.nativeStateChanged(s);
  if (!syncing_) form_.raiseResize();
}

void FormWindow::dpiChanged(int dpiX, int dpiY, const RECT& suggested) {
  if (dpiX <= 0 || dpiY <= 0) return;
  rescale(1440.0 / dpiX, 1440.0 / dpiY);
  // Icons drawn for this scale rather than stretched from the old one.
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(AppIcon(SmallIconSize(dpiY))));
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(AppIcon(LargeIconSize(dpiY))));
  // The system's rectangle keeps the window under the pointer while it is dragged
  // across; taking it tells the form its new place, and its size at the new scale.
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT FormWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DPICHANGED:
      dpiChanged(LOWORD(wp), HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_WINDOWPOSCHANGED:
      windowMoved();
      break;
    case WM_SIZE:
      sized(wp);
      break;
    case WM_ACTIVATE:
      // Activate runs once the activation is over: Wine brings the window to the top
      // after telling it, and what Activate raises above it must stay above.
      if (LOWORD(wp) != WA_INACTIVE) PostMessageW(hwnd(), kActivatedLater, 0, 0);
      break;
    case kActivatedLater:
      if (form_.onActivate) form_.onActivate();
      return 0;
    case WM_CLOSE:
      if (form_.queryUnload(tk::UnloadMode::ControlMenu)) form_.hide();
      return 0;
    case WM_MOUSEACTIVATE:
      if (!form_.activatesOnClick() && LOWORD(lp) == HTCLIENT) return MA_NOACTIVATE;
      break;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wp) form_.queryUnload(tk::UnloadMode::AppWindows);
      return 0;
    default:
      break;
  }
  return ContainerWindow::handle(msg, wp, lp);
}

}  // namespace pelnoro::win32
