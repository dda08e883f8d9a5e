// Native drive, folder and file lists. Each is an owner-drawn combo or list
// box inside a small host window of its own, so the host receives the draw
// and notification messages and the container windows need not know them.
#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/file_lists.h"
#include "win32/child_peers.h"
#include "win32/container_window.h"
#include "win32/gdi_draw.h"

namespace pelnoro::win32 {

namespace {

constexpr wchar_t kHostClass[] = L"PelnoroListHost";
// Handled after the notification that asked for it has returned, because
// handling may rebuild the list or show a message box.
constexpr UINT kChooseLater = WM_APP + 41;
constexpr UINT kOpenLater = WM_APP + 42;
constexpr int kIconSize = 16;

const wchar_t* HostClass() {
  static bool done = false;
  if (!done) {
    done = true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHostClass;
    RegisterClassExW(&wc);
  }
  return kHostClass;
}

// Small icons drawn with GDI at (x, y), 16 x 16 pixels.
enum class Icon {
  ClosedFolder,
  OpenFolder,
  FixedDrive,
  RemovableDrive,
  OpticalDrive,
  NetworkDrive,
  File
};

void polygon(HDC dc, int x, int y, std::initializer_list<POINT> pts, COLORREF fill, COLORREF edge) {
  std::vector<POINT> p(pts);
  for (auto& pt : p) {
    pt.x += x;
    pt.y += y;
  }
  HBRUSH b = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, edge);
  HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, pen);
  Polygon(dc, p.data(), static_cast<int>(p.size()));
  SelectObject(dc, ob);
  SelectObject(dc, op);
  DeleteObject(b);
  DeleteObject(pen);
}

void box(HDC dc, int x0, int y0, int x1, int y1, COLORREF fill, COLORREF edge) {
  polygon(dc, 0, 0, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, fill, edge);
}

void DrawIcon16(HDC dc, Icon icon, int x, int y) {
  const COLORREF folderEdge = RGB(176, 128, 32), folderBack = RGB(232, 184, 72);
  const COLORREF folderFront = RGB(250, 212, 104), folderOpen = RGB(253, 232, 150);
  const COLORREF metal = RGB(206, 210, 216), metalEdge = RGB(96, 100, 108);
  switch (icon) {
    case Icon::ClosedFolder:
      polygon(dc, x, y, {{1, 3}, {6, 3}, {8, 5}, {8, 6}, {1, 6}}, folderBack, folderEdge);
      box(dc, x + 1, y + 5, x + 15, y + 14, folderFront, folderEdge);
      break;
    case Icon::OpenFolder:
      polygon(dc, x, y, {{1, 3}, {6, 3}, {8, 5}, {14, 5}, {14, 14}, {1, 14}}, folderBack,
              folderEdge);
      polygon(dc, x, y, {{4, 8}, {16, 8}, {13, 14}, {1, 14}}, folderOpen, folderEdge);
      break;
    case Icon::FixedDrive:
    case Icon::RemovableDrive:
    case Icon::NetworkDrive:
      box(dc, x + 1, y + 5, x + 15, y + 12, metal, metalEdge);
      box(dc, x + 11, y + 8, x + 13, y + 9, RGB(40, 200, 60), RGB(20, 140, 40));
      if (icon == Icon::RemovableDrive)
        box(dc, x + 3, y + 8, x + 9, y + 9, RGB(60, 60, 60), RGB(60, 60, 60));
      if (icon == Icon::NetworkDrive) {
        box(dc, x + 7, y + 12, x + 8, y + 15, metalEdge, metalEdge);
        box(dc, x + 3, y + 14, x + 12, y + 15, metalEdge, metalEdge);
      }
      break;
    case Icon::OpticalDrive: {
      HBRUSH b = CreateSolidBrush(RGB(220, 224, 236));
      HPEN pen = CreatePen(PS_SOLID, 1, metalEdge);
      HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, pen);
      Ellipse(dc, x + 1, y + 1, x + 16, y + 16);
      SelectObject(dc, GetStockObject(WHITE_BRUSH));
      Ellipse(dc, x + 6, y + 6, x + 11, y + 11);
      SelectObject(dc, ob);
      SelectObject(dc, op);
      DeleteObject(b);
      DeleteObject(pen);
      break;
    }
    case Icon::File:
      polygon(dc, x, y, {{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, RGB(255, 255, 255),
              metalEdge);
      polygon(dc, x, y, {{10, 1}, {10, 4}, {13, 4}}, RGB(220, 224, 232), metalEdge);
      break;
  }
}

// The host window and the list inside it.
class ListHostPeer : public NativeChild {
 public:
  ListHostPeer(tk::Control& c, ContainerWindow& host)
      : NativeChild(c, host, HostClass(), WS_TABSTOP) {}

 protected:
  void createInner(const wchar_t* cls, DWORD style, DWORD exStyle) {
    inner_ = CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0,
                             10, 10, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1)),
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(inner_, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c_.font(), host_.dpi())),
                 FALSE);
    layoutInner();
  }

  void rescaled() override {
    NativeChild::rescaled();
    // Owner-drawn rows were measured once, at the old scale.
    wchar_t cls[16] = {};
    GetClassNameW(inner_, cls, 16);
    const UINT msg = lstrcmpiW(cls, L"COMBOBOX") == 0 ? CB_SETITEMHEIGHT : LB_SETITEMHEIGHT;
    SendMessageW(inner_, msg, 0, rowHeight());
    InvalidateRect(inner_, nullptr, TRUE);
  }

  virtual void layoutInner() {
    RECT r;
    GetClientRect(hwnd_, &r);
    MoveWindow(inner_, 0, 0, r.right, r.bottom, TRUE);
  }

  int rowHeight() const {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, FontFor(c_.font(), host_.dpi()));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return std::max<int>(kIconSize + 2, tm.tmHeight + 3);
  }

  // One row: selection colours, the icon indented, then the text.
  void drawRow(const DRAWITEMSTRUCT& d, Icon icon, int indent, const std::wstring& text) {
    const bool selected = (d.itemState & ODS_SELECTED) &&
                          !(d.itemState & ODS_COMBOBOXEDIT && !(d.itemState & ODS_FOCUS));
    const bool enabled = c_.enabled();
    HBRUSH back = GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    FillRect(d.hDC, &d.rcItem, back);
    const int h = d.rcItem.bottom - d.rcItem.top;
    const int x = d.rcItem.left + 2 + indent;
    DrawIcon16(d.hDC, icon, x, d.rcItem.top + (h - kIconSize) / 2);
    SetBkMode(d.hDC, TRANSPARENT);
    SetTextColor(d.hDC, GetSysColor(!enabled   ? COLOR_GRAYTEXT
                                    : selected ? COLOR_HIGHLIGHTTEXT
                                               : COLOR_WINDOWTEXT));
    RECT tr = d.rcItem;
    tr.left = x + kIconSize + 4;
    HGDIOBJ old = SelectObject(d.hDC, FontFor(c_.font(), host_.dpi()));
    DrawTextW(d.hDC, text.c_str(), static_cast<int>(text.size()), &tr,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(d.hDC, old);
    if ((d.itemState & ODS_FOCUS) && !(d.itemState & ODS_NOFOCUSRECT))
      DrawFocusRect(d.hDC, &d.rcItem);
  }

  virtual void drawItem(const DRAWITEMSTRUCT& d) = 0;
  virtual void notify(int code) = 0;
  // A key pressed in a list box: the caret row to move to (-1: the list's
  // own handling, -2: handled).
  virtual int key(int, int) { return -1; }
  virtual void later(UINT, WPARAM) {}

  bool subclassed(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    switch (msg) {
      case WM_SIZE:
        if (inner_) layoutInner();
        break;
      case WM_SETFONT:
        if (inner_) SendMessageW(inner_, WM_SETFONT, wp, lp);
        break;
      case WM_SETFOCUS:
        if (inner_) SetFocus(inner_);
        result = 0;
        return true;
      case WM_ENABLE:
        if (inner_) EnableWindow(inner_, wp != 0);
        break;
      case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = static_cast<UINT>(rowHeight());
        result = TRUE;
        return true;
      case WM_DRAWITEM: {
        const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (d.itemID != static_cast<UINT>(-1)) {
          drawItem(d);
        } else {
          FillRect(d.hDC, &d.rcItem, GetSysColorBrush(COLOR_WINDOW));
        }
        result = TRUE;
        return true;
      }
      case WM_COMMAND:
        if (reinterpret_cast<HWND>(lp) == inner_ && inner_) {
          if (!syncing_) notify(HIWORD(wp));
          result = 0;
          return true;
        }
        break;
      case WM_VKEYTOITEM:
        result = key(LOWORD(wp), HIWORD(wp));
        return true;
      case kChooseLater:
      case kOpenLater:
        later(msg, wp);
        result = 0;
        return true;
      default:
        break;
    }
    return NativeChild::subclassed(msg, wp, lp, result);
  }

  HWND inner_ = nullptr;
};

class DriveListPeer : public ListHostPeer {
 public:
  DriveListPeer(tk::DriveListBox& c, ContainerWindow& host) : ListHostPeer(c, host), list_(c) {
    createInner(L"COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                0);
    syncContent(tk::Prop::Items);
  }

 protected:
  void layoutInner() override {
    RECT r;
    GetClientRect(hwnd_, &r);
    // The selection field fills the host; the drop-down opens below it.
    SendMessageW(inner_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                 std::max<LPARAM>(r.bottom - 6, 8));
    SendMessageW(inner_, CB_SETITEMHEIGHT, 0, rowHeight());
    MoveWindow(inner_, 0, 0, r.right, r.bottom + 12 * rowHeight(), TRUE);
  }

  void syncContent(tk::Prop what) override {
    if (what == tk::Prop::Items) {
      SendMessageW(inner_, CB_RESETCONTENT, 0, 0);
      icons_.clear();
      for (const auto& d : list_.items()) {
        // No volume labels: asking for one can stall on network or empty drives.
        const std::wstring root = d + L"\\";
        Icon icon = Icon::FixedDrive;
        switch (GetDriveTypeW(root.c_str())) {
          case DRIVE_REMOVABLE:
            icon = Icon::RemovableDrive;
            break;
          case DRIVE_CDROM:
            icon = Icon::OpticalDrive;
            break;
          case DRIVE_REMOTE:
            icon = Icon::NetworkDrive;
            break;
          default:
            break;
        }
        icons_.push_back(icon);
        SendMessageW(inner_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d.c_str()));
      }
    }
    if (what == tk::Prop::Items || what == tk::Prop::Selection) {
      SendMessageW(inner_, CB_SETCURSEL, static_cast<WPARAM>(list_.listIndex()), 0);
    }
  }

  void drawItem(const DRAWITEMSTRUCT& d) override {
    const int len = static_cast<int>(SendMessageW(inner_, CB_GETLBTEXTLEN, d.itemID, 0));
    std::wstring text(static_cast<std::size_t>(std::max(len, 0)) + 1, L'\0');
    SendMessageW(inner_, CB_GETLBTEXT, d.itemID, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::max(len, 0)));
    const Icon icon = d.itemID < icons_.size() ? icons_[d.itemID] : Icon::FixedDrive;
    drawRow(d, icon, 0, text);
  }

  void notify(int code) override {
    const bool dropped = SendMessageW(inner_, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if (code == CBN_SELENDOK || (code == CBN_SELCHANGE && !dropped)) {
      PostMessageW(hwnd_, kChooseLater, 0, 0);
    } else if (code == CBN_SELENDCANCEL) {
      SendMessageW(inner_, CB_SETCURSEL, static_cast<WPARAM>(list_.listIndex()), 0);
    }
  }

  void later(UINT, WPARAM) override {
    const int sel = static_cast<int>(SendMessageW(inner_, CB_GETCURSEL, 0, 0));
    if (sel >= 0) list_.chooseRow(sel);
    // A drive that could not be chosen leaves the list on the previous one.
    if (SendMessageW(inner_, CB_GETCURSEL, 0, 0) != list_.listIndex()) {
      SendMessageW(inner_, CB_SETCURSEL, static_cast<WPARAM>(list_.listIndex()), 0);
    }
  }

 private:
  tk::DriveListBox& list_;
  std::vector<Icon> icons_;
};

// Shared by the folder and file lists.
class RowListPeer : public ListHostPeer {
 public:
  RowListPeer(tk::FileSystemList& c, ContainerWindow& host) : ListHostPeer(c, host), rows_(c) {
    createInner(L"LISTBOX",
                WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                    LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT,
                WS_EX_CLIENTEDGE);
  }

 protected:
  virtual std::wstring shown(int i) const { return rows_.list(i); }

  void syncContent(tk::Prop what) override {
    if (what == tk::Prop::Items) {
      SendMessageW(inner_, WM_SETREDRAW, FALSE, 0);
      SendMessageW(inner_, LB_RESETCONTENT, 0, 0);
      for (int i = 0; i < rows_.listCount(); ++i) {
        const std::wstring s = shown(i);
        SendMessageW(inner_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
      }
      SendMessageW(inner_, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(inner_, nullptr, TRUE);
    }
    if (what == tk::Prop::Items || what == tk::Prop::Selection) {
      SendMessageW(inner_, LB_SETCURSEL, static_cast<WPARAM>(rows_.listIndex()), 0);
    }
  }

  std::wstring rowText(UINT i) const {
    const int len = static_cast<int>(SendMessageW(inner_, LB_GETTEXTLEN, i, 0));
    if (len <= 0) return L"";
    std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
    SendMessageW(inner_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(len));
    return text;
  }

  int caret() const { return static_cast<int>(SendMessageW(inner_, LB_GETCURSEL, 0, 0)); }

  void notify(int code) override {
    if (code == LBN_SELCHANGE) {
      rows_.clickRow(caret());
    } else if (code == LBN_DBLCLK) {
      PostMessageW(hwnd_, kOpenLater, static_cast<WPARAM>(caret()), 0);
    }
  }

  int key(int vk, int) override {
    if (vk == VK_RETURN) {
      if (caret() >= 0) PostMessageW(hwnd_, kOpenLater, static_cast<WPARAM>(caret()), 0);
      return -2;
    }
    return -1;
  }

  tk::FileSystemList& rows_;
};

class DirListPeer : public RowListPeer {
 public:
  DirListPeer(tk::DirListBox& c, ContainerWindow& host) : RowListPeer(c, host), dir_(c) {
    syncContent(tk::Prop::Items);
  }

 protected:
  // The root shows its whole name ("C:\"), every other row its last part.
  std::wstring shown(int i) const override {
    const std::wstring& p = dir_.list(i);
    if (i == 0) return p;
    const auto slash = p.find_last_of(L'\\');
    return slash == std::wstring::npos ? p : p.substr(slash + 1);
  }

  void drawItem(const DRAWITEMSTRUCT& d) override {
    const int i = static_cast<int>(d.itemID);
    const Icon icon = i <= dir_.currentRow() ? Icon::OpenFolder : Icon::ClosedFolder;
    drawRow(d, icon, dir_.depth(i) * 10, rowText(d.itemID));
  }

  int key(int vk, int caretRow) override {
    // Backspace goes up one folder, as in Explorer.
    if (vk == VK_BACK) {
      if (dir_.currentRow() > 0)
        PostMessageW(hwnd_, kOpenLater, static_cast<WPARAM>(dir_.currentRow() - 1), 0);
      return -2;
    }
    return RowListPeer::key(vk, caretRow);
  }

  void later(UINT, WPARAM wp) override { dir_.openRow(static_cast<int>(wp)); }

 private:
  tk::DirListBox& dir_;
};

class FileListPeer : public RowListPeer {
 public:
  FileListPeer(tk::FileListBox& c, ContainerWindow& host) : RowListPeer(c, host), files_(c) {
    syncContent(tk::Prop::Items);
  }

 protected:
  void drawItem(const DRAWITEMSTRUCT& d) override { drawRow(d, Icon::File, 0, rowText(d.itemID)); }
  void later(UINT, WPARAM wp) override { files_.openRow(static_cast<int>(wp)); }

 private:
  tk::FileListBox& files_;
};

}  // namespace

std::unique_ptr<NativeChild> MakeFileListPeer(tk::Control& c, ContainerWindow& host) {
  switch (c.kind()) {
    case tk::Kind::DriveList:
      return std::make_unique<DriveListPeer>(static_cast<tk::DriveListBox&>(c), host);
    case tk::Kind::DirList:
      return std::make_unique<DirListPeer>(static_cast<tk::DirListBox&>(c), host);
    case tk::Kind::FileList:
      return std::make_unique<FileListPeer>(static_cast<tk::FileListBox&>(c), host);
    default:
      return nullptr;
  }
}

}  // namespace pelnoro::win32
