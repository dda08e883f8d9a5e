#include "win32/child_peers.h"

#include <windowsx.h>

#include "win32/container_window.h"
#include "win32/gdi_draw.h"

namespace pelnoro::win32 {

NativeChild::NativeChild(tk::Control& c, ContainerWindow& host, const wchar_t* cls, DWORD style,
                         DWORD exStyle)
    : c_(c), host_(host) {
  hwnd_ = CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 10, 10,
                          host.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  c_.nativeTag = hwnd_;
  host_.registerChild(hwnd_, this);
  // Our procedure in front of the control's own. Not SetWindowSubclass: that
  // keeps its chain in a window property, and under Wine every message then
  // costs two trips to the server (25 us, fifty times what a list box takes
  // to add a row).
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  own_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubProc)));
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c_.font(), host_.dpi())), FALSE);
  applyGeometry();
  EnableWindow(hwnd_, c_.enabled());
  if (c_.visible()) ShowWindow(hwnd_, SW_SHOWNA);
}

NativeChild::~NativeChild() {
  host_.unregisterChild(hwnd_);
  // The last messages go to the control alone (another subclass, a tool tip's,
  // may stand above ours, so the procedure is not put back).
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
  if (brush_) DeleteObject(brush_);
}

void NativeChild::applyGeometry() {
  const RECT r = host_.childRect(c_);
  SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void NativeChild::rescaled() {
  syncing_ = true;
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c_.font(), host_.dpi())), TRUE);
  applyGeometry();
  syncing_ = false;
}

void NativeChild::sync(tk::Prop what) {
  syncing_ = true;
  switch (what) {
    case tk::Prop::Geometry:
      applyGeometry();
      host_.toolTipsChanged();
      break;
    case tk::Prop::Visible:
      ShowWindow(hwnd_, c_.visible() ? SW_SHOWNA : SW_HIDE);
      host_.toolTipsChanged();
      break;
    case tk::Prop::Enabled:
      EnableWindow(hwnd_, c_.enabled());
      break;
    case tk::Prop::ToolTip:
      host_.toolTipsChanged();
      break;
    case tk::Prop::Appearance:
      SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c_.font(), host_.dpi())),
                   TRUE);
      if (brush_) DeleteObject(brush_);
      brush_ = nullptr;
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case tk::Prop::ZOrder:
      SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    default:
      syncContent(what);
      break;
  }
  syncing_ = false;
}

bool NativeChild::reflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
  if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN || msg == WM_CTLCOLOREDIT ||
      msg == WM_CTLCOLORLISTBOX) {
    HDC dc = reinterpret_cast<HDC>(wp);
    if (!brush_) brush_ = CreateSolidBrush(ToColorRef(c_.backColor()));
    SetBkColor(dc, ToColorRef(c_.backColor()));
    SetTextColor(dc, ToColorRef(c_.foreColor()));
    result = reinterpret_cast<LRESULT>(brush_);
    return true;
  }
  return false;
}

bool NativeChild::subclassed(UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
  if (msg == WM_MOUSEMOVE) {
    tk::MouseEvent e;
    const Scale s = host_.scale();
    e.x = s.fromX(GET_X_LPARAM(lp));
    e.y = s.fromY(GET_Y_LPARAM(lp));
    if (wp & MK_LBUTTON) e.button |= tk::kLeftButton;
    if (wp & MK_RBUTTON) e.button |= tk::kRightButton;
    c_.raiseMouseMove(e);
  }
  return false;
}

LRESULT CALLBACK NativeChild::SubProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<NativeChild*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!self) {
    // The peer is gone; the control was made with its class's procedure.
    return CallWindowProcW(reinterpret_cast<WNDPROC>(GetClassLongPtrW(h, GCLP_WNDPROC)), h, msg, wp,
                           lp);
  }
  LRESULT result = 0;
  if (self->subclassed(msg, wp, lp, result)) return result;
  return CallWindowProcW(self->own_, h, msg, wp, lp);
}

namespace {

// Follows the control change by change: appending a row appends one native
// row. While changes arrive the list does not redraw; it shows the result once
// the program next reads its messages, so filling it row by row costs one
// repaint, not one per row.
class ListBoxPeer : public NativeChild {
 public:
  ListBoxPeer(tk::ListBox& c, ContainerWindow& host)
      : NativeChild(c, host, L"LISTBOX",
                    WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER),
        list_(c) {
    list_.takeRowChange();  // what happened before the peer existed comes whole
    apply({tk::RowChange::Kind::Reset, 0, 0});
    SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(list_.listIndex()), 0);
  }

 protected:
  void syncContent(tk::Prop what) override {
    if (what == tk::Prop::Items) {
      apply(list_.takeRowChange());
      // Rows added or removed around the selection move it the same way in
      // both lists; set it only where they disagree.
      if (SendMessageW(hwnd_, LB_GETCURSEL, 0, 0) == list_.listIndex()) return;
    }
    SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(list_.listIndex()), 0);
  }

  bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_COMMAND && HIWORD(wp) == LBN_SELCHANGE) {
      const int sel = static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
      if (!syncing_) list_.clickRow(sel);
      return true;
    }
    return NativeChild::reflect(msg, wp, lp, result);
  }

  bool subclassed(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == kRedrawLater) {
      held_ = false;
      SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(hwnd_, nullptr, TRUE);
      result = 0;
      return true;
    }
    if (msg == WM_LBUTTONDBLCLK) {
      // Every click on a row is one Click: the second press of a double click goes to
      // the list as a press of its own, which it answers with a selection on release.
      result = CallWindowProcW(own_, hwnd_, WM_LBUTTONDOWN, wp, lp);
      return true;
    }
    return NativeChild::subclassed(msg, wp, lp, result);
  }

 private:
  static constexpr UINT kRedrawLater = WM_APP + 43;

  void apply(const tk::RowChange& c) {
    using K = tk::RowChange::Kind;
    if (c.kind == K::None) return;
    holdRedraw();
    switch (c.kind) {
      case K::Inserted:
        for (int i = c.first; i < c.first + c.count; ++i) insert(i);
        break;
      case K::Removed:
        for (int i = 0; i < c.count; ++i)
          SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(c.first), 0);
        break;
      case K::Replaced:
        SendMessageW(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(c.first), 0);
        insert(c.first);
        break;
      case K::Reset:
        reload();
        break;
      case K::None:
        break;
    }
  }

  void insert(int i) {
    SendMessageW(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(list_.list(i).c_str()));
  }

  void reload() {
    // Stay where the user had scrolled to, as far as the rows reach.
    const LRESULT top = SendMessageW(hwnd_, LB_GETTOPINDEX, 0, 0);
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
    std::size_t chars = 0;
    for (const auto& item : list_.items()) chars += item.size() + 1;
    SendMessageW(hwnd_, LB_INITSTORAGE, list_.items().size(),
                 static_cast<LPARAM>(chars * sizeof(wchar_t)));
    for (int i = 0; i < list_.listCount(); ++i) insert(i);
    SendMessageW(hwnd_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
  }

  void holdRedraw() {
    if (held_) return;
    held_ = true;
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    PostMessageW(hwnd_, kRedrawLater, 0, 0);
  }

  tk::ListBox& list_;
  bool held_ = false;
};

class TextBoxPeer : public NativeChild {
 public:
  TextBoxPeer(tk::TextBox& c, ContainerWindow& host)
      : NativeChild(
            c, host, L"EDIT",
            WS_TABSTOP | (c.multiLine() ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL
                                        : ES_AUTOHSCROLL),
            WS_EX_CLIENTEDGE),
        text_(c) {
    syncContent(tk::Prop::Value);
  }

 protected:
  void syncContent(tk::Prop what) override {
    if (what != tk::Prop::Value) return;
    SetWindowTextW(hwnd_, text_.text().c_str());
  }
  bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE) {
      if (!syncing_) {
        const int n = GetWindowTextLengthW(hwnd_);
        std::wstring t(static_cast<std::size_t>(n) + 1, L'\0');
        GetWindowTextW(hwnd_, t.data(), n + 1);
        t.resize(static_cast<std::size_t>(n));
        text_.setTextFromPeer(std::move(t));
      }
      return true;
    }
    return NativeChild::reflect(msg, wp, lp, result);
  }
  bool subclassed(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_KEYDOWN) {
      int key = static_cast<int>(wp);
      int shift = (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                  (GetKeyState(VK_MENU) < 0 ? 4 : 0);
      text_.raiseKeyDown(key, shift);
      if (key == 0) {
        result = 0;
        return true;
      }
    }
    if (msg == WM_CHAR && wp == VK_RETURN && !text_.multiLine()) {
      result = 0;  // no beep for Enter in a one-line box
      return true;
    }
    if (msg == WM_PASTE && !text_.multiLine()) {
      // The edit control would keep only the first line of what is pasted; a path
      // copied across a line break should come whole.
      pasteOneLine();
      result = 0;
      return true;
    }
    return NativeChild::subclassed(msg, wp, lp, result);
  }

 private:
  void pasteOneLine() {
    if (GetWindowLongPtrW(hwnd_, GWL_STYLE) & ES_READONLY) return;
    std::wstring pasted;
    if (!OpenClipboard(hwnd_)) return;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
      if (const auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
        // Another program's data: read no further than its block, ended or not.
        const std::size_t room = GlobalSize(h) / sizeof(wchar_t);
        pasted = tk::OneLineText(std::wstring_view(p, wcsnlen(p, room)));
        GlobalUnlock(h);
      }
    }
    CloseClipboard();
    SendMessageW(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
  }

  tk::TextBox& text_;
};

class CheckBoxPeer : public NativeChild {
 public:
  CheckBoxPeer(tk::CheckBox& c, ContainerWindow& host)
      : NativeChild(c, host, L"BUTTON", WS_TABSTOP | BS_CHECKBOX), box_(c) {
    syncContent(tk::Prop::Caption);
    syncContent(tk::Prop::Value);
  }

 protected:
  void syncContent(tk::Prop what) override {
    if (what == tk::Prop::Caption) SetWindowTextW(hwnd_, box_.caption().c_str());
    if (what == tk::Prop::Value) {
      SendMessageW(hwnd_, BM_SETCHECK, box_.value() == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
      box_.userClick();
      return true;
    }
    return NativeChild::reflect(msg, wp, lp, result);
  }

 private:
  tk::CheckBox& box_;
};

class OptionPeer : public NativeChild {
 public:
  OptionPeer(tk::OptionButton& c, ContainerWindow& host)
      : NativeChild(c, host, L"BUTTON", WS_TABSTOP | BS_RADIOBUTTON), option_(c) {
    syncContent(tk::Prop::Caption);
    syncContent(tk::Prop::Value);
  }

 protected:
  void syncContent(tk::Prop what) override {
    if (what == tk::Prop::Caption) SetWindowTextW(hwnd_, option_.caption().c_str());
    if (what == tk::Prop::Value) {
      SendMessageW(hwnd_, BM_SETCHECK, option_.value() ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
      option_.userClick();
      return true;
    }
    return NativeChild::reflect(msg, wp, lp, result);
  }

 private:
  tk::OptionButton& option_;
};

class CommandPeer : public NativeChild {
 public:
  CommandPeer(tk::CommandButton& c, ContainerWindow& host)
      : NativeChild(c, host, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON), button_(c) {
    syncContent(tk::Prop::Caption);
  }

 protected:
  void syncContent(tk::Prop what) override {
    if (what == tk::Prop::Caption) SetWindowTextW(hwnd_, button_.caption().c_str());
  }
  bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
      if (button_.enabled()) button_.raiseClick();
      return true;
    }
    return NativeChild::reflect(msg, wp, lp, result);
  }

 private:
  tk::CommandButton& button_;
};

class ScrollPeer : public NativeChild {
 public:
  ScrollPeer(tk::VScrollBar& c, ContainerWindow& host)
      : NativeChild(c, host, L"SCROLLBAR", SBS_VERT), bar_(c) {
    syncContent(tk::Prop::Value);
  }

 protected:
  void syncContent(tk::Prop what) override {
    if (what != tk::Prop::Value) return;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    si.nMin = bar_.min();
    si.nMax = bar_.max();
    si.nPage = 0;
    si.nPos = bar_.value();
    SetScrollInfo(hwnd_, SB_CTL, &si, TRUE);
  }
  bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_VSCROLL) {
      int v = bar_.value();
      switch (LOWORD(wp)) {
        case SB_LINEUP:
          --v;
          break;
        case SB_LINEDOWN:
          ++v;
          break;
        case SB_PAGEUP:
          v -= 10;
          break;
        case SB_PAGEDOWN:
          v += 10;
          break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
          v = static_cast<short>(HIWORD(wp));
          break;
        case SB_TOP:
          v = bar_.min();
          break;
        case SB_BOTTOM:
          v = bar_.max();
          break;
        default:
          return true;
      }
      bar_.setValue(v);
      result = 0;
      return true;
    }
    return NativeChild::reflect(msg, wp, lp, result);
  }

 private:
  tk::VScrollBar& bar_;
};

}  // namespace

// Drive, folder and file lists (file_list_peers.cpp).
std::unique_ptr<NativeChild> MakeFileListPeer(tk::Control& c, ContainerWindow& host);

std::unique_ptr<NativeChild> MakeNativeChild(tk::Control& c, ContainerWindow& host) {
  switch (c.kind()) {
    case tk::Kind::DriveList:
    case tk::Kind::DirList:
    case tk::Kind::FileList:
      return MakeFileListPeer(c, host);
    case tk::Kind::ListBox:
      return std::make_unique<ListBoxPeer>(static_cast<tk::ListBox&>(c), host);
    case tk::Kind::TextBox:
      return std::make_unique<TextBoxPeer>(static_cast<tk::TextBox&>(c), host);
    case tk::Kind::CheckBox:
      return std::make_unique<CheckBoxPeer>(static_cast<tk::CheckBox&>(c), host);
    case tk::Kind::OptionButton:
      return std::make_unique<OptionPeer>(static_cast<tk::OptionButton&>(c), host);
    case tk::Kind::CommandButton:
      return std::make_unique<CommandPeer>(static_cast<tk::CommandButton&>(c), host);
    case tk::Kind::VScrollBar:
      return std::make_unique<ScrollPeer>(static_cast<tk::VScrollBar&>(c), host);
    default:
      return nullptr;
  }
}

}  // namespace pelnoro::win32
