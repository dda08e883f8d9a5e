#include "win32/container_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

#include "win32/child_peers.h"
#include "win32/gdi_draw.h"

namespace pelnoro::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"PelnoroForm";
constexpr wchar_t kPanelClass[] = L"PelnoroPanel";

enum MouseKind { kDown, kMove, kUp };

void registerClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ContainerWindow::WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.lpszClassName = kFormClass;
  RegisterClassExW(&wc);
  wc.lpszClassName = kPanelClass;
  wc.hIcon = nullptr;
  RegisterClassExW(&wc);
}

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

LPCWSTR cursorFor(tk::Pointer pointer) {
  switch (pointer) {
    case tk::Pointer::kCross:
      return IDC_CROSS;
    case tk::Pointer::kIBeam:
      return IDC_IBEAM;
    case tk::Pointer::kSizeAll:
      return IDC_SIZEALL;
    case tk::Pointer::kSizeNESW:
      return IDC_SIZENESW;
    case tk::Pointer::kSizeNS:
      return IDC_SIZENS;
    case tk::Pointer::kSizeNWSE:
      return IDC_SIZENWSE;
    case tk::Pointer::kSizeWE:
      return IDC_SIZEWE;
    case tk::Pointer::kHourglass:
      return IDC_WAIT;
    case tk::Pointer::kNoDrop:
      return IDC_NO;
    case tk::Pointer::kHand:
      return IDC_HAND;
    case tk::Pointer::kDefault:
    case tk::Pointer::kArrow:
      break;
  }
  return IDC_ARROW;
}

}  // namespace

bool IsWindowless(tk::Kind k) {
  return k == tk::Kind::Label || k == tk::Kind::Line || k == tk::Kind::Shape ||
         k == tk::Kind::Image;
}

ContainerWindow::ContainerWindow(tk::Container& c, ContainerWindow* parent, double tppX,
                                 double tppY)
    : c_(c), parent_(parent), tppX_(tppX), tppY_(tppY) {
  registerClasses();
  if (!parent_) {
    hwnd_ = CreateWindowExW(0, kFormClass, form().caption().c_str(), WS_POPUP | WS_CLIPCHILDREN, 0,
                            0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    applyStyle();
  } else {
    hwnd_ = CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                            0, 10, 10, parent_->hwnd(), nullptr, GetModuleHandleW(nullptr), this);
    // Later controls stand above earlier ones.
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  c_.nativeTag = hwnd_;
  applyGeometry();
  applyVisible();
  if (!parent_) {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
  }
}

ContainerWindow::~ContainerWindow() {
  if (dib_) DeleteObject(dib_);
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void ContainerWindow::applyStyle() {
  if (parent_) return;
  auto& f = form();
  DWORD style = WS_CLIPCHILDREN;
  DWORD ex = 0;
  const bool sysmenu = f.controlBox();
  switch (f.borderStyle()) {
    case tk::BorderStyle::None:
      style |= WS_POPUP;
      break;
    case tk::BorderStyle::FixedSingle:
    case tk::BorderStyle::FixedDialog:
      style |= WS_OVERLAPPED | WS_CAPTION;
      if (sysmenu) style |= WS_SYSMENU;
      if (sysmenu && f.minButton()) style |= WS_MINIMIZEBOX;
      if (sysmenu && f.maxButton()) style |= WS_MAXIMIZEBOX;
      if (f.borderStyle() == tk::BorderStyle::FixedDialog) ex |= WS_EX_DLGMODALFRAME;
      break;
    case tk::BorderStyle::Sizable:
      style |= WS_OVERLAPPEDWINDOW;
      if (!sysmenu) style &= ~WS_SYSMENU;
      if (!f.minButton()) style &= ~WS_MINIMIZEBOX;
      if (!f.maxButton()) style &= ~WS_MAXIMIZEBOX;
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
  if (f.showInTaskbar()) {
    ex |= WS_EX_APPWINDOW;
  } else {
    ex |= WS_EX_TOOLWINDOW;
  }
  if (f.topmost()) ex |= WS_EX_TOPMOST;
  if (layered_) ex |= WS_EX_LAYERED;
  const DWORD keep = GetWindowLongW(hwnd_, GWL_STYLE) & (WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  syncing_ = true;
  SetWindowLongW(hwnd_, GWL_STYLE, static_cast<LONG>(style | keep));
  SetWindowLongW(hwnd_, GWL_EXSTYLE, static_cast<LONG>(ex));
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  syncing_ = false;
}

void ContainerWindow::applyGeometry() {
  syncing_ = true;
  if (!parent_) {
    auto& f = form();
    const bool iconic = IsIconic(hwnd_), zoomed = IsZoomed(hwnd_);
    const auto want = f.windowState();
    if (want == tk::WindowState::Minimized && !iconic) {
      ShowWindow(hwnd_, SW_MINIMIZE);
    } else if (want == tk::WindowState::Maximized && !zoomed) {
      ShowWindow(hwnd_, SW_MAXIMIZE);
    } else if (want == tk::WindowState::Normal && (iconic || zoomed)) {
      ShowWindow(hwnd_, SW_RESTORE);
    }
    if (want == tk::WindowState::Normal) {
      const int x = static_cast<int>(std::lround(f.left() / tppX_));
      const int y = static_cast<int>(std::lround(f.top() / tppY_));
      const int w = static_cast<int>(std::lround(f.width() / tppX_));
      const int h = static_cast<int>(std::lround(f.height() / tppY_));
      SetWindowPos(hwnd_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  } else {
    const RECT r = parent_->childRect(c_);
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  syncing_ = false;
}

void ContainerWindow::applyVisible() {
  syncing_ = true;
  if (c_.visible()) {
    const bool activate = !parent_ && form().showInTaskbar() && !shownOnce_;
    ShowWindow(hwnd_, activate ? SW_SHOW : SW_SHOWNA);
    if (!parent_) shownOnce_ = true;
  } else {
    ShowWindow(hwnd_, SW_HIDE);
  }
  syncing_ = false;
}

RECT ContainerWindow::childRect(const tk::Control& child) const {
  const Scale s = scale();
  RECT r;
  r.left = s.x(child.left());
  r.top = s.y(child.top());
  r.right = s.x(child.left() + child.width());
  r.bottom = s.y(child.top() + child.height());
  return r;
}

void ContainerWindow::sync(tk::Prop what) {
  switch (what) {
    case tk::Prop::Geometry:
      applyGeometry();
      break;
    case tk::Prop::Visible:
      applyVisible();
      root()->refreshToolTips();
      break;
    case tk::Prop::Enabled:
      EnableWindow(hwnd_, c_.enabled());
      break;
    case tk::Prop::Caption:
      if (!parent_) SetWindowTextW(hwnd_, form().caption().c_str());
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case tk::Prop::Appearance:
      applyStyle();
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case tk::Prop::ToolTip:
      root()->refreshToolTips();
      break;
    case tk::Prop::ZOrder:
      SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    case tk::Prop::Overlay:
      if (c_.kind() == tk::Kind::PictureBox) {
        // XOR straight onto the screen: drawing the same band again erases it.
        const auto& b = static_cast<const tk::PictureBox&>(c_).lastFocusRect();
        RECT r{b.left, b.top, b.right, b.bottom};
        HDC dc = GetDC(hwnd_);
        DrawFocusRect(dc, &r);
        ReleaseDC(hwnd_, dc);
      }
      break;
    default:
      if (what == tk::Prop::Picture) dibStale_ = true;
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
  }
  if (parent_ && what == tk::Prop::Geometry) root()->refreshToolTips();
}

void ContainerWindow::childChanged(tk::Control& child, tk::Prop what) {
  // Everything windowless is drawn by this window; a full repaint is cheap
  // with the back buffer and keeps overlapping controls right.
  InvalidateRect(hwnd_, nullptr, FALSE);
  if (what == tk::Prop::ToolTip ||
      (!child.toolTip().empty() && (what == tk::Prop::Geometry || what == tk::Prop::Visible))) {
    root()->refreshToolTips();
  }
}

void ContainerWindow::beginMoveDrag() {
  ReleaseCapture();
  SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void ContainerWindow::setTopmost() {
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
}

void ContainerWindow::setColorKey(tk::Color key) {
  layered_ = true;
  colorKey_ = key;
  // Stay out of the taskbar: keep the tool-window bit beside the layered one.
  SetWindowLongW(hwnd_, GWL_EXSTYLE,
                 static_cast<LONG>(WS_EX_LAYERED | (GetWindowLongW(hwnd_, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)));
  SetLayeredWindowAttributes(hwnd_, ToColorRef(key), 0, LWA_COLORKEY);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

int ContainerWindow::clientWidthPixels() {
  RECT r;
  GetClientRect(hwnd_, &r);
  return r.right - r.left;
}

int ContainerWindow::clientHeightPixels() {
  RECT r;
  GetClientRect(hwnd_, &r);
  return r.bottom - r.top;
}

void ContainerWindow::collectToolTips(ContainerWindow& w) {
  UINT id = 1;
  for (tk::Control* child : w.c_.children()) {
    if (child->toolTip().empty() || !child->shownOnForm()) continue;
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.lpszText = const_cast<wchar_t*>(child->toolTip().c_str());
    if (IsWindowless(child->kind())) {
      ti.uFlags = TTF_SUBCLASS;
      ti.hwnd = w.hwnd_;
      ti.uId = id++;
      ti.rect = w.childRect(*child);
    } else if (child->nativeTag) {
      ti.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
      ti.hwnd = w.hwnd_;
      ti.uId = reinterpret_cast<UINT_PTR>(child->nativeTag);
    } else {
      continue;
    }
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  for (tk::Control* child : w.c_.children()) {
    if ((child->kind() == tk::Kind::Frame || child->kind() == tk::Kind::PictureBox) &&
        child->nativeTag) {
      auto* sub = reinterpret_cast<ContainerWindow*>(
          GetWindowLongPtrW(static_cast<HWND>(child->nativeTag), GWLP_USERDATA));
      if (sub) collectToolTips(*sub);
    }
  }
}

void ContainerWindow::refreshToolTips() {
  if (!tooltip_) return;
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  while (SendMessageW(tooltip_, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti))) {
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  collectToolTips(*this);
}

void ContainerWindow::paintPicture(HDC dc, const RECT& client) {
  const auto& pb = static_cast<const tk::PictureBox&>(c_);
  const auto& s = pb.surface();
  if (dibStale_) {
    if (!dib_ || dibW_ != s.width() || dibH_ != s.height()) {
      if (dib_) DeleteObject(dib_);
      dib_ = nullptr;
      dibBits_ = nullptr;
      dibW_ = s.width();
      dibH_ = s.height();
      if (dibW_ > 0 && dibH_ > 0) {
        BITMAPINFO bi = TopDownDib(dibW_, dibH_);
        void* bits = nullptr;
        dib_ = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        dibBits_ = static_cast<std::uint32_t*>(bits);
      }
    }
    if (dibBits_) {
      SwapRedBlue(s.pixels().data(), dibBits_, s.pixels().size());
      GdiFlush();
    }
    dibStale_ = false;
  }
  HBRUSH back = CreateSolidBrush(ToColorRef(c_.backColor()));
  RECT right{std::min<LONG>(dibW_, client.right), 0, client.right, client.bottom};
  RECT below{0, std::min<LONG>(dibH_, client.bottom), client.right, client.bottom};
  FillRect(dc, &right, back);
  FillRect(dc, &below, back);
  DeleteObject(back);
  if (dib_) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, dib_);
    BitBlt(dc, 0, 0, dibW_, dibH_, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  for (const auto& b : pb.focusRects()) {
    RECT fr{b.left, b.top, b.right, b.bottom};
    DrawFocusRect(dc, &fr);
  }
}

void ContainerWindow::paint(HDC dc, const RECT& client) {
  HBRUSH back = CreateSolidBrush(ToColorRef(c_.backColor()));
  FillRect(dc, &client, back);
  DeleteObject(back);

  if (!parent_ && form().picture()) DrawSurface(dc, *form().picture(), client);
  if (!parent_ && form().outline()) {
    HBRUSH line = CreateSolidBrush(ToColorRef(*form().outline()));
    FrameRect(dc, &client, line);
    DeleteObject(line);
  }
  if (c_.kind() == tk::Kind::Frame) {
    const auto& fr = static_cast<const tk::Frame&>(c_);
    if (fr.bordered()) {
      HGDIOBJ old = SelectObject(dc, FontFor(fr.font()));
      TEXTMETRICW tm;
      GetTextMetricsW(dc, &tm);
      RECT edge = client;
      edge.top += tm.tmHeight / 2;
      DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
      if (!fr.caption().empty()) {
        SetBkColor(dc, ToColorRef(fr.backColor()));
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, ToColorRef(fr.foreColor()));
        const std::wstring text = L" " + fr.caption() + L" ";
        TextOutW(dc, 6, 0, text.c_str(), static_cast<int>(text.size()));
      }
      SelectObject(dc, old);
    }
  }

  const Scale s = scale();
  for (tk::Control* child : c_.children()) {
    if (!IsWindowless(child->kind()) || !child->visible()) continue;
    const RECT r = childRect(*child);
    switch (child->kind()) {
      case tk::Kind::Label:
        DrawLabel(dc, static_cast<const tk::Label&>(*child), r);
        break;
      case tk::Kind::Shape:
        DrawShape(dc, static_cast<const tk::Shape&>(*child), r);
        break;
      case tk::Kind::Image: {
        const auto& pic = static_cast<const tk::Image&>(*child).picture();
        if (pic) DrawSurface(dc, *pic, r);
        break;
      }
      case tk::Kind::Line: {
        const auto& l = static_cast<const tk::Line&>(*child);
        DrawLine(dc, l, POINT{s.x(l.x1()), s.y(l.y1())}, POINT{s.x(l.x2()), s.y(l.y2())});
        break;
      }
      default:
        break;
    }
  }
}

tk::Control* ContainerWindow::hit(int x, int y) {
  const auto& kids = c_.children();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    tk::Control* child = *it;
    if (child->kind() != tk::Kind::Label && child->kind() != tk::Kind::Image) continue;
    if (!child->visible() || !child->enabled()) continue;
    const RECT r = childRect(*child);
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return child;
  }
  return nullptr;
}

void ContainerWindow::raiseMouse(tk::Control* target, int kind, int button, int shift, int x,
                                 int y) {
  const Scale s = scale();
  tk::MouseEvent e;
  e.button = button;
  e.shift = shift;
  if (target) {
    const RECT r = childRect(*target);
    e.x = s.fromX(x - r.left);
    e.y = s.fromY(y - r.top);
  } else {
    e.x = s.fromX(x);
    e.y = s.fromY(y);
  }
  tk::Control& c = target ? *target : static_cast<tk::Control&>(c_);
  if (kind == kDown) c.raiseMouseDown(e);
  if (kind == kMove) c.raiseMouseMove(e);
  if (kind == kUp) c.raiseMouseUp(e);
}

void ContainerWindow::mouse(UINT msg, WPARAM wp, LPARAM lp) {
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  const int shift = shiftState(wp);
  int button = 0;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      button = tk::kLeftButton;
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      button = tk::kRightButton;
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      button = tk::kMiddleButton;
      break;
    default:
      break;
  }
  switch (msg) {
    case WM_MOUSEMOVE: {
      tk::Control* target = buttonsDown_ ? pressed_ : hit(x, y);
      if (buttonsDown_ && pressedIsSelf_) target = nullptr;
      raiseMouse(target, kMove, heldButtons(wp), shift, x, y);
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      if (!buttonsDown_) {
        pressed_ = hit(x, y);
        pressedIsSelf_ = pressed_ == nullptr;
        SetCapture(hwnd_);
      }
      buttonsDown_ |= button;
      tk::Control* target = pressed_;
      const bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
      if (dbl) {
        afterDblClick_ = true;
        (target ? *target : static_cast<tk::Control&>(c_)).raiseDblClick();
      } else {
        raiseMouse(target, kDown, button, shift, x, y);
      }
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (!(buttonsDown_ & button)) break;  // the press went elsewhere (a drag, a dialog)
      buttonsDown_ &= ~button;
      tk::Control* target = pressed_;
      raiseMouse(target, kUp, button, shift, x, y);
      if (button == tk::kLeftButton && !afterDblClick_) {
        const bool over = target ? hit(x, y) == target : hit(x, y) == nullptr;
        if (over) (target ? *target : static_cast<tk::Control&>(c_)).raiseClick();
      }
      if (button == tk::kLeftButton) afterDblClick_ = false;
      if (!buttonsDown_) {
        pressed_ = nullptr;
        if (GetCapture() == hwnd_) ReleaseCapture();
      }
      break;
    }
    default:
      break;
  }
}

LRESULT CALLBACK ContainerWindow::WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    reinterpret_cast<ContainerWindow*>(cs->lpCreateParams)->hwnd_ = h;
  }
  auto* self = reinterpret_cast<ContainerWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!self) return DefWindowProcW(h, msg, wp, lp);
  return self->handle(msg, wp, lp);
}

LRESULT ContainerWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT client;
      GetClientRect(hwnd_, &client);
      if (c_.kind() == tk::Kind::PictureBox) {
        // The surface covers the box: no back buffer needed.
        paintPicture(dc, client);
        EndPaint(hwnd_, &ps);
        return 0;
      }
      // Draw into a back buffer so labels never flicker while they change.
      HDC mem = CreateCompatibleDC(dc);
      HBITMAP bmp = CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1),
                                           std::max<LONG>(client.bottom, 1));
      HGDIOBJ old = SelectObject(mem, bmp);
      paint(mem, client);
      BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteObject(bmp);
      DeleteDC(mem);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      mouse(msg, wp, lp);
      return 0;
    case WM_CAPTURECHANGED:
      // A handler started a window drag or a dialog: the press is over.
      if (reinterpret_cast<HWND>(lp) != hwnd_) {
        buttonsDown_ = 0;
        pressed_ = nullptr;
        afterDblClick_ = false;
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hwnd_) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd_, &p);
        tk::Control* target = hit(p.x, p.y);
        const tk::Pointer pointer =
            target && target->mousePointer() != tk::Pointer::kDefault ? target->mousePointer()
                                                                      : c_.mousePointer();
        SetCursor(LoadCursorW(nullptr, cursorFor(pointer)));
        return TRUE;
      }
      break;
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_VSCROLL: {
      HWND from = msg == WM_COMMAND || msg == WM_VSCROLL ? reinterpret_cast<HWND>(lp)
                                                           : reinterpret_cast<HWND>(lp);
      auto it = natives_.find(from);
      if (it != natives_.end()) {
        LRESULT result = 0;
        if (it->second->reflect(msg, wp, lp, result)) return result;
      }
      break;
    }
    case WM_WINDOWPOSCHANGED: {
      if (!parent_ && !syncing_ && !IsIconic(hwnd_) && !IsZoomed(hwnd_)) {
        RECT r;
        GetWindowRect(hwnd_, &r);
        auto& f = form();
        const double l = r.left * tppX_, t = r.top * tppY_;
        const double w = (r.right - r.left) * tppX_, hh = (r.bottom - r.top) * tppY_;
        // Keep the exact twips the program set when the pixels did not change.
        const bool samePx = std::lround(f.left() / tppX_) == r.left &&
                            std::lround(f.top() / tppY_) == r.top &&
                            std::lround(f.width() / tppX_) == r.right - r.left &&
                            std::lround(f.height() / tppY_) == r.bottom - r.top;
        if (!samePx) {
          const bool resized = std::lround(f.width() / tppX_) != r.right - r.left ||
                               std::lround(f.height() / tppY_) != r.bottom - r.top;
          f.nativeMoved(l, t, w, hh);
          if (resized) f.raiseResize();
        }
      }
      break;
    }
    case WM_SIZE:
      if (!parent_) {
        auto& f = form();
        tk::WindowState s = tk::WindowState::Normal;
        if (wp == SIZE_MINIMIZED) s = tk::WindowState::Minimized;
        if (wp == SIZE_MAXIMIZED) s = tk::WindowState::Maximized;
        if (s != f.windowState() && !syncing_) {
          f.nativeStateChanged(s);
          f.raiseResize();
        } else if (s != f.windowState()) {
          f.nativeStateChanged(s);
        }
      }
      break;
    case WM_ACTIVATE:
      if (!parent_ && LOWORD(wp) != WA_INACTIVE && form().onActivate) form().onActivate();
      break;
    case WM_CLOSE:
      if (!parent_) {
        if (form().queryUnload(tk::UnloadMode::ControlMenu)) form().hide();
        return 0;
      }
      break;
    case WM_MOUSEACTIVATE:
      if (!parent_ && !form().activatesOnClick() && LOWORD(lp) == HTCLIENT) return MA_NOACTIVATE;
      break;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (!parent_ && wp) form().queryUnload(tk::UnloadMode::AppWindows);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace pelnoro::win32
