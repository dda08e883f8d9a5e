#include "win32/container_window.h"

#include <algorithm>

#include "win32/app_icon.h"
#include "win32/child_peers.h"
#include "win32/gdi_draw.h"

namespace pelnoro::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"PelnoroForm";
constexpr wchar_t kPanelClass[] = L"PelnoroPanel";

void registerClasses(WNDPROC proc) {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = AppIcon(GetSystemMetrics(SM_CXICON));
  wc.hIconSm = AppIcon(GetSystemMetrics(SM_CXSMICON));
  wc.lpszClassName = kFormClass;
  RegisterClassExW(&wc);
  wc.lpszClassName = kPanelClass;
  wc.hIcon = nullptr;
  wc.hIconSm = nullptr;
  RegisterClassExW(&wc);
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

// A memory DC the size of the client area, copied onto the window at the end.
class BackBuffer {
 public:
  BackBuffer(HDC target, const RECT& client) : target_(target), client_(client) {
    mem_ = CreateCompatibleDC(target);
    bmp_ = CreateCompatibleBitmap(target, std::max<LONG>(client.right, 1),
                                  std::max<LONG>(client.bottom, 1));
    old_ = SelectObject(mem_, bmp_);
  }
  ~BackBuffer() {
    BitBlt(target_, 0, 0, client_.right, client_.bottom, mem_, 0, 0, SRCCOPY);
    SelectObject(mem_, old_);
    DeleteObject(bmp_);
    DeleteDC(mem_);
  }
  BackBuffer(const BackBuffer&) = delete;
  BackBuffer& operator=(const BackBuffer&) = delete;
  HDC dc() const { return mem_; }

 private:
  HDC target_;
  RECT client_;
  HDC mem_;
  HBITMAP bmp_;
  HGDIOBJ old_;
};

}  // namespace

bool IsWindowless(tk::Kind k) {
  return k == tk::Kind::Label || k == tk::Kind::Line || k == tk::Kind::Shape ||
         k == tk::Kind::Image;
}

ContainerWindow::ContainerWindow(tk::Container& c, double tppX, double tppY)
    : c_(c), tppX_(tppX), tppY_(tppY), mouse_(*this) {
  registerClasses(WndProc);
}

ContainerWindow::~ContainerWindow() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

const wchar_t* ContainerWindow::formClass() {
  return kFormClass;
}
const wchar_t* ContainerWindow::panelClass() {
  return kPanelClass;
}

void ContainerWindow::create(const wchar_t* windowClass, const wchar_t* caption, DWORD style,
                             HWND parent) {
  CreateWindowExW(0, windowClass, caption, style, 0, 0, 10, 10, parent, nullptr,
                  GetModuleHandleW(nullptr), this);
  c_.nativeTag = hwnd_;
}

ContainerWindow* ContainerWindow::of(HWND h) {
  return reinterpret_cast<ContainerWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
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

void ContainerWindow::syncShared(tk::Prop what) {
  switch (what) {
    case tk::Prop::Enabled:
      EnableWindow(hwnd_, c_.enabled());
      break;
    case tk::Prop::ToolTip:
      toolTipsChanged();
      break;
    case tk::Prop::ZOrder:
      SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    case tk::Prop::Overlay:
      break;
    default:
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
  }
}

void ContainerWindow::childChanged(tk::Control& child, tk::Prop what) {
  // Everything windowless is drawn by this window; a full repaint is cheap
  // with the back buffer and keeps overlapping controls right.
  InvalidateRect(hwnd_, nullptr, FALSE);
  if (what == tk::Prop::ToolTip ||
      (!child.toolTip().empty() && (what == tk::Prop::Geometry || what == tk::Prop::Visible))) {
    toolTipsChanged();
  }
}

void ContainerWindow::paint(HDC dc, const RECT& client) {
  BackBuffer buffer(dc, client);
  HBRUSH back = CreateSolidBrush(ToColorRef(c_.backColor()));
  FillRect(buffer.dc(), &client, back);
  DeleteObject(back);
  paintDecoration(buffer.dc(), client);
  paintWindowless(buffer.dc());
}

void ContainerWindow::paintWindowless(HDC dc) {
  const Scale s = scale();
  for (tk::Control* child : c_.children()) {
    if (!IsWindowless(child->kind()) || !child->visible()) continue;
    const RECT r = childRect(*child);
    switch (child->kind()) {
      case tk::Kind::Label:
        DrawLabel(dc, static_cast<const tk::Label&>(*child), r, dpi());
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

void ContainerWindow::rescale(double tppX, double tppY) {
  tppX_ = tppX;
  tppY_ = tppY;
  for (auto& native : natives_) native.second->rescaled();
  for (tk::Control* child : c_.children()) {
    if (child->kind() != tk::Kind::Frame && child->kind() != tk::Kind::PictureBox) continue;
    if (!child->nativeTag) continue;
    if (auto* sub = of(static_cast<HWND>(child->nativeTag))) sub->rescale(tppX, tppY);
  }
  toolTipsChanged();
  InvalidateRect(hwnd_, nullptr, FALSE);
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

bool ContainerWindow::setCursor(WPARAM wp, LPARAM lp) {
  if (LOWORD(lp) != HTCLIENT || reinterpret_cast<HWND>(wp) != hwnd_) return false;
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(hwnd_, &p);
  tk::Control* target = hit(p.x, p.y);
  const tk::Pointer pointer = target && target->mousePointer() != tk::Pointer::kDefault
                                  ? target->mousePointer()
                                  : c_.mousePointer();
  SetCursor(LoadCursorW(nullptr, cursorFor(pointer)));
  return true;
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
  if (mouse_.message(msg, wp, lp)) return 0;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT client;
      GetClientRect(hwnd_, &client);
      paint(dc, client);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != hwnd_) mouse_.captureLost();
      return 0;
    case WM_SETCURSOR:
      if (setCursor(wp, lp)) return TRUE;
      break;
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_VSCROLL: {
      // Native children hear about themselves through their parent.
      auto it = natives_.find(reinterpret_cast<HWND>(lp));
      if (it != natives_.end()) {
        LRESULT result = 0;
        if (it->second->reflect(msg, wp, lp, result)) return result;
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace pelnoro::win32
