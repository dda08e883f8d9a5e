// pelnoro-driver: drives a running program from the outside, as a user would, for the
// end-to-end scripts. It runs in the same Wine prefix (same wineserver) as the program.
//
//   pelnoro-driver COMMAND [ARGS] [OPTIONS]
//
// A window is named by its exact title (visible top-level windows, message boxes
// excepted), or by "hwnd:0x1234". Options: --timeout MS (default 20000), --class NAME.
// Every result is one "key=value" line on stdout (UTF-8); errors go to stderr.
// Exit codes: 0 done, 2 bad usage, 3 timed out, 4 crashed, 5 failed or not found. 1 is
// not the driver's: Wine ends a start of it that fails with 1 and nothing said.

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kExitFailed = 5;
constexpr int kExitUsage = 2;
constexpr int kExitTimeout = 3;
constexpr int kExitCrashed = 4;
constexpr wchar_t kDialogClass[] = L"#32770";

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

// A result that did not reach stdout must not pass for an empty one. A reader that has
// gone away (awk's exit after the first match) wanted no more: that is no loss.
DWORD g_lost_output = ERROR_SUCCESS;

void WriteBytes(HANDLE handle, const std::string& bytes) {
  DWORD written = 0;
  if (WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size()) {
    return;
  }
  const DWORD error = GetLastError();
  const bool reader_gone =
      error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED || error == ERROR_BROKEN_PIPE;
  if (handle == GetStdHandle(STD_OUTPUT_HANDLE) && !reader_gone) g_lost_output = error;
}

// Line breaks inside a value would split a result over lines: show them escaped.
std::wstring OneLine(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\r') {
      out += L"\\r";
    } else if (c == L'\n') {
      out += L"\\n";
    } else {
      out += c;
    }
  }
  return out;
}

void Out(const std::wstring& key, const std::wstring& value) {
  WriteBytes(GetStdHandle(STD_OUTPUT_HANDLE), ToUtf8(key + L"=" + OneLine(value) + L"\n"));
}

void Err(const std::wstring& message) {
  WriteBytes(GetStdHandle(STD_ERROR_HANDLE), ToUtf8(L"pelnoro-driver: " + message + L"\n"));
}

std::wstring Num(long long v) {
  return std::to_wstring(v);
}

std::wstring Hex(HWND hwnd) {
  wchar_t buf[32];
  std::swprintf(buf, 32, L"0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
  return buf;
}

std::wstring RectText(const RECT& r) {
  return Num(r.left) + L"," + Num(r.top) + L"," + Num(r.right) + L"," + Num(r.bottom);
}

std::wstring WindowText(HWND hwnd) {
  // WM_GETTEXT reaches controls of other processes too; GetWindowText would not.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(copied);
  return text;
}

std::wstring ClassName(HWND hwnd) {
  wchar_t buf[256] = {};
  GetClassNameW(hwnd, buf, 256);
  return buf;
}

// ------------------------------------------------------------------ command line

struct Args {
  std::vector<std::wstring> positional;
  DWORD timeout_ms = 20000;
  std::optional<std::wstring> class_name;
  std::optional<std::wstring> title;
  std::optional<int> id;
  bool right = false;
  bool force = false;
  RECT watch{0, 0, 64, 64};  // click-watch: the screen rectangle watched
  bool locate = false;       // press: print the button's point instead of clicking it
};

bool ParseInt(const std::wstring& text, long long& value) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  value = std::wcstoll(text.c_str(), &end, 0);
  return end && *end == L'\0';
}

bool ParseArgs(int argc, wchar_t** argv, Args& args) {
  for (int i = 2; i < argc; ++i) {
    std::wstring a = argv[i];
    auto next = [&](std::wstring& value) {
      if (i + 1 >= argc) return false;
      value = argv[++i];
      return true;
    };
    std::wstring value;
    long long n = 0;
    if (a == L"--timeout") {
      if (!next(value) || !ParseInt(value, n) || n < 0) return false;
      args.timeout_ms = static_cast<DWORD>(n);
    } else if (a == L"--class") {
      if (!next(value)) return false;
      args.class_name = value;
    } else if (a == L"--title") {
      if (!next(value)) return false;
      args.title = value;
    } else if (a == L"--id") {
      if (!next(value) || !ParseInt(value, n)) return false;
      args.id = static_cast<int>(n);
    } else if (a == L"--right") {
      args.right = true;
    } else if (a == L"--watch" && i + 1 < argc) {
      long long v[4];
      const std::wstring spec = argv[++i];
      size_t at = 0;
      for (long long& x : v) {
        const size_t comma = spec.find(L',', at);
        if (!ParseInt(spec.substr(at, comma == std::wstring::npos ? comma : comma - at), x))
          return false;
        at = comma == std::wstring::npos ? spec.size() : comma + 1;
      }
      args.watch = {static_cast<LONG>(v[0]), static_cast<LONG>(v[1]),
                    static_cast<LONG>(v[0] + v[2]), static_cast<LONG>(v[1] + v[3])};
    } else if (a == L"--locate") {
      args.locate = true;
    } else if (a == L"--force") {
      args.force = true;
    } else {
      args.positional.push_back(a);
    }
  }
  return true;
}

// ------------------------------------------------------------------ finding windows

struct Selector {
  HWND hwnd = nullptr;  // when given as hwnd:...
  std::wstring title;
  std::optional<std::wstring> class_name;
  bool dialogs = false;  // message boxes are reached only on request
  bool any_title = false;
};

bool ParseSelector(const std::wstring& text, const Args& args, Selector& sel) {
  sel.class_name = args.class_name;
  if (text.rfind(L"hwnd:", 0) == 0) {
    long long v = 0;
    if (!ParseInt(text.substr(5), v)) return false;
    sel.hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(v));
    return true;
  }
  sel.title = text;
  return true;
}

bool Matches(HWND hwnd, const Selector& sel) {
  if (!IsWindowVisible(hwnd)) return false;
  std::wstring cls = ClassName(hwnd);
  if (sel.class_name) {
    if (cls != *sel.class_name) return false;
  } else if ((cls == kDialogClass) != sel.dialogs) {
    return false;
  }
  return sel.any_title || WindowText(hwnd) == sel.title;
}

std::vector<HWND> FindAll(const Selector& sel) {
  std::vector<HWND> found;
  if (sel.hwnd) {
    if (IsWindow(sel.hwnd)) found.push_back(sel.hwnd);
    return found;
  }
  struct Ctx {
    const Selector* sel;
    std::vector<HWND>* found;
  } ctx{&sel, &found};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* c = reinterpret_cast<Ctx*>(lp);
        if (Matches(hwnd, *c->sel)) c->found->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&ctx));
  return found;
}

std::wstring Describe(const Selector& sel) {
  if (sel.hwnd) return L"window " + Hex(sel.hwnd);
  if (sel.any_title) return L"window of class " + sel.class_name.value_or(kDialogClass);
  return L"window \"" + sel.title + L"\"";
}

// Polls until a matching window shows up; nullptr on timeout.
HWND WaitFor(const Selector& sel, DWORD timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    auto found = FindAll(sel);
    if (!found.empty()) return found.front();
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(50);
  }
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

// ------------------------------------------------------------------ input

POINT ScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// Absolute coordinates are 0..65535 over the primary screen; round up so that the
// scaled value maps back onto the same pixel.
LONG Normalize(LONG v, LONG extent) {
  return static_cast<LONG>((static_cast<long long>(v) * 65536 + extent - 1) / extent);
}

// Every event carries its position: a button event without one lands wherever Wine
// last saw the X pointer, which in a Wine desktop can still be the previous spot.
bool SendMouse(DWORD flags, POINT pt) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  POINT screen = ScreenSize();
  in.mi.dx = Normalize(pt.x, screen.x);
  in.mi.dy = Normalize(pt.y, screen.y);
  return SendInput(1, &in, sizeof(in)) == 1;
}

// Where the pointer is and what holds it: the clip rectangle, and for the foreground
// window's thread the capture and whether a move or size loop runs.
std::wstring PointerState() {
  POINT now{};
  GetCursorPos(&now);
  RECT clip{};
  GetClipCursor(&clip);
  std::wstring text = L"at " + Num(now.x) + L"," + Num(now.y) + L" clip " + RectText(clip);
  HWND fg = GetForegroundWindow();
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  if (fg && GetGUIThreadInfo(GetWindowThreadProcessId(fg, nullptr), &gui)) {
    text += L" foreground " + Hex(fg) + L" \"" + WindowText(fg) + L"\" capture " +
            Hex(gui.hwndCapture) + ((gui.flags & GUI_INMOVESIZE) ? L" in-move-size" : L"") +
            ((gui.flags & GUI_INMENUMODE) ? L" in-menu" : L"");
  }
  return text;
}

// Waits until the thread of the window has dealt with what reached it and asks for more:
// a sent message is answered only when that thread next reads its queue, after the
// handler at work. Twice, since the first answer may come before input already queued.
// A program that does not answer in 20 s is hung, and is reported so.
bool Settle(HWND hwnd) {
  HWND root = GetAncestor(hwnd, GA_ROOT);
  for (int i = 0; i < 2; ++i) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(root ? root : hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &answer)) {
      if (!IsWindow(hwnd)) return true;  // gone, with whatever it did
      Err(L"window " + Hex(hwnd) + L" does not answer within 20 s: the program hangs (" +
          PointerState() + L")");
      return false;
    }
  }
  return true;
}

// Moves the pointer as a user would and makes sure it got there.
bool MoveTo(POINT pt) {
  SendMouse(0, pt);
  POINT now{};
  GetCursorPos(&now);
  if (now.x != pt.x || now.y != pt.y) {
    SetCursorPos(pt.x, pt.y);
    GetCursorPos(&now);
  }
  if (now.x != pt.x || now.y != pt.y) {
    Err(L"pointer stays at " + Num(now.x) + L"," + Num(now.y) + L" instead of " + Num(pt.x) + L"," +
        Num(pt.y) + L" (" + PointerState() + L")");
    return false;
  }
  // Let the program see the move (hover effects) before anything else happens.
  HWND under = WindowFromPoint(pt);
  return !under || Settle(under);
}

bool IsSameOrDescendant(HWND hit, HWND target) {
  for (HWND w = hit; w; w = GetParent(w)) {
    if (w == target) return true;
  }
  return GetAncestor(hit, GA_ROOT) == GetAncestor(target, GA_ROOT);
}

// A click only means something if the pointer lands on the intended window.
bool CheckReachable(HWND target, POINT screen_pt, bool force) {
  HWND hit = WindowFromPoint(screen_pt);
  if (hit && IsSameOrDescendant(hit, target)) return true;
  std::wstring who =
      hit ? Hex(hit) + L" \"" + WindowText(GetAncestor(hit, GA_ROOT)) + L"\"" : L"nothing";
  if (force) {
    Err(L"warning: point " + Num(screen_pt.x) + L"," + Num(screen_pt.y) + L" is over " + who);
    return true;
  }
  Err(L"point " + Num(screen_pt.x) + L"," + Num(screen_pt.y) + L" is over " + who + L", not over " +
      Hex(target));
  return false;
}

bool Click(HWND target, POINT screen_pt, bool right, bool force) {
  if (!CheckReachable(target, screen_pt, force)) return false;
  if (!MoveTo(screen_pt)) return false;
  DWORD down = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  DWORD up = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  if (!SendMouse(down, screen_pt)) return false;
  Sleep(30);  // a press takes a moment
  return SendMouse(up, screen_pt) && Settle(target);
}

POINT ClientToScreenPoint(HWND hwnd, LONG x, LONG y) {
  POINT pt{x, y};
  ClientToScreen(hwnd, &pt);
  return pt;
}

struct KeyName {
  const wchar_t* name;
  WORD vk;
};
constexpr KeyName kKeys[] = {
    {L"enter", VK_RETURN}, {L"esc", VK_ESCAPE},    {L"escape", VK_ESCAPE}, {L"tab", VK_TAB},
    {L"space", VK_SPACE},  {L"left", VK_LEFT},     {L"right", VK_RIGHT},   {L"up", VK_UP},
    {L"down", VK_DOWN},    {L"delete", VK_DELETE}, {L"back", VK_BACK},     {L"home", VK_HOME},
    {L"end", VK_END},      {L"f1", VK_F1},         {L"f4", VK_F4},         {L"ctrl", VK_CONTROL},
    {L"shift", VK_SHIFT},  {L"alt", VK_MENU},
};

std::optional<WORD> ParseKey(const std::wstring& name) {
  for (const auto& k : kKeys) {
    if (_wcsicmp(k.name, name.c_str()) == 0) return k.vk;
  }
  if (name.size() == 1) {
    wchar_t c = name[0];
    if (c >= L'a' && c <= L'z') return static_cast<WORD>(c - L'a' + L'A');
    if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return static_cast<WORD>(c);
  }
  long long v = 0;
  if (ParseInt(name, v) && v > 0 && v < 256) return static_cast<WORD>(v);
  return std::nullopt;
}

bool SendKey(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return SendInput(1, &in, sizeof(in)) == 1;
}

// "ctrl+c": modifiers down in order, key, then all up in reverse.
bool PressChord(const std::wstring& chord) {
  std::vector<WORD> keys;
  size_t start = 0;
  for (;;) {
    size_t plus = chord.find(L'+', start);
    auto key = ParseKey(chord.substr(start, plus == std::wstring::npos ? plus : plus - start));
    if (!key) {
      Err(L"unknown key in \"" + chord + L"\"");
      return false;
    }
    keys.push_back(*key);
    if (plus == std::wstring::npos) break;
    start = plus + 1;
  }
  bool ok = true;
  for (WORD vk : keys) ok = SendKey(vk, false) && ok;
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) ok = SendKey(*it, true) && ok;
  return ok;
}

// Characters as they are, whatever the keyboard layout: the box receives them as typed.
// Each character is dealt with before the next: keys go to the window with the focus.
bool TypeText(HWND hwnd, const std::wstring& text) {
  for (wchar_t c : text) {
    INPUT in[2] = {};
    for (int i = 0; i < 2; ++i) {
      in[i].type = INPUT_KEYBOARD;
      in[i].ki.wScan = c;
      in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
    }
    if (SendInput(2, in, sizeof(INPUT)) != 2 || !Settle(hwnd)) return false;
  }
  return true;
}

// ------------------------------------------------------------------ message boxes

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> kids;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&kids));
  return kids;
}

std::wstring WithoutMnemonic(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

// "はい(&Y)" answers to "はい(Y)", "はい" and "&はい(&Y)" alike.
bool ButtonTextMatches(const std::wstring& label, const std::wstring& wanted) {
  std::wstring a = WithoutMnemonic(label), b = WithoutMnemonic(wanted);
  if (a == b) return true;
  size_t paren = a.find(L'(');
  return paren != std::wstring::npos && paren > 0 && a.substr(0, paren) == b;
}

bool IsButton(HWND hwnd) {
  return _wcsicmp(ClassName(hwnd).c_str(), L"Button") == 0;
}

Selector DialogSelector(const Args& args) {
  Selector sel;
  sel.class_name = args.class_name.value_or(kDialogClass);
  sel.dialogs = true;
  if (args.title) {
    sel.title = *args.title;
  } else {
    sel.any_title = true;
  }
  return sel;
}

void PrintDialog(HWND box) {
  Out(L"hwnd", Hex(box));
  Out(L"title", WindowText(box));
  Out(L"pid", Num(ProcessOf(box)));
  for (HWND kid : Children(box)) {
    if (!IsWindowVisible(kid)) continue;
    std::wstring text = WindowText(kid);
    if (IsButton(kid)) {
      Out(L"button", Num(GetDlgCtrlID(kid)) + L" " + WithoutMnemonic(text));
    } else if (_wcsicmp(ClassName(kid).c_str(), L"Static") == 0 && !text.empty()) {
      Out(L"text", text);
    }
  }
}

// ------------------------------------------------------------------ test picture

// Every pixel differs from its neighbours in some channel, so a cut that is off by one
// pixel or mirrored cannot match the screen by chance.
std::uint32_t PatternPixel(int x, int y) {
  const unsigned r = (x * 7 + y * 3) & 0xFF;
  const unsigned g = (x * y + (x >> 3) * 40) & 0xFF;
  const unsigned b = ((x ^ y) * 5 + ((x / 16 + y / 16) % 2) * 128) & 0xFF;
  return r << 16 | g << 8 | b;  // DIB order 0x00RRGGBB
}

// A photo-like picture: soft ramps, blobs and ripples, no hard edges, so that a lossy
// encoder keeps it close (about 37 dB at JPEG quality 50); a cut two pixels off, or
// mirrored, is far below 30 dB.
std::uint32_t SmoothPixel(int x, int y) {
  const double pi = 3.14159265358979;
  const double u = x / 320.0, v = y / 260.0;
  auto blob = [](double du, double dv, double r) {
    return std::exp(-(du * du + dv * dv) / (r * r));
  };
  const double a = blob(u - 0.3, v - 0.35, 0.18), b = blob(u - 0.7, v - 0.65, 0.22);
  const double ripple = 50 * std::sin(2 * pi * x / 28 + 0.8 * std::sin(2 * pi * y / 40));
  const double r = 30 + 150 * u + 60 * a + 20 * std::sin(v * 2 * pi) + ripple;
  const double g = 40 + 140 * v + 70 * b - 30 * a - 0.6 * ripple + 40 * std::sin(2 * pi * y / 36);
  const double bl =
      200 - 120 * u * v + 40 * std::cos(u * 3 * pi) + 30 * b + 50 * std::cos(2 * pi * y / 40);
  auto clamp = [](double c) {
    return static_cast<unsigned>(c < 0 ? 0 : c > 255 ? 255 : std::lround(c));
  };
  return clamp(r) << 16 | clamp(g) << 8 | clamp(bl);
}

LRESULT CALLBACK PatternProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int w = rc.right, h = rc.bottom;
    std::vector<std::uint32_t> bits(static_cast<size_t>(w) * h);
    const bool smooth = GetPropW(hwnd, L"PelnoroSmooth") != nullptr;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        bits[static_cast<size_t>(y) * w + x] = smooth ? SmoothPixel(x, y) : PatternPixel(x, y);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, w, h, 0, 0, 0, h, bits.data(), &info, DIB_RGB_COLORS);
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// The test picture window: "test pattern" (every pixel distinct from its neighbours) or,
// when smooth, "smooth picture".
int CmdPattern(const Args& args, bool smooth) {
  if (args.positional.size() < 4) return kExitUsage;
  long long v[4];
  for (int i = 0; i < 4; ++i)
    if (!ParseInt(args.positional[i], v[i]) || v[i] < 0) return kExitUsage;
  WNDCLASSW wc{};
  wc.lpfnWndProc = PatternProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelnoroTestPattern";
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  RegisterClassW(&wc);
  HWND hwnd =
      CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName,
                      smooth ? L"smooth picture" : L"test pattern", WS_POPUP,
                      static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                      static_cast<int>(v[3]), nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return kExitFailed;
  if (smooth) SetPropW(hwnd, L"PelnoroSmooth", reinterpret_cast<HANDLE>(1));
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd);
  Out(L"pattern", Hex(hwnd));
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}

// ------------------------------------------------------------------ commands

int Usage() {
  Err(L"usage:\n"
      L"  wait-window TITLE            wait for a visible top-level window\n"
      L"  info TITLE                   title, class, pid, rects, topmost, state\n"
      L"  children TITLE               child windows: class, id, text, client rect\n"
      L"  count TITLE                  how many visible windows have this title\n"
      L"  list                         every visible top-level window\n"
      L"  click TITLE X Y [--right] [--force]   click at client pixel X,Y\n"
      L"  move TITLE X Y               move the pointer to client pixel X,Y\n"
      L"  drag TITLE X1 Y1 X2 Y2       press at one client point, release at another\n"
      L"  key TITLE CHORD...           bring TITLE forward, type chords (esc, ctrl+c)\n"
      L"  type TITLE TEXT              bring TITLE's window forward, type TEXT as characters\n"
      L"                               into the control that has the focus\n"
      L"  items LIST                   rows of a list box (hwnd:...): index, client rect, text\n"
      L"  checked BUTTON               check state of a check box or option button (hwnd:...)\n"
      L"  text WINDOW                  the window's text as it is, in UTF-8, line ends kept\n"
      L"  close TITLE                  post WM_CLOSE\n"
      L"  syscommand TITLE close|maximize|minimize|restore\n"
      L"  wait-gone TITLE              wait until no such window is left\n"
      L"  wait-process-gone PID        wait until a Windows process has ended\n"
      L"  msgbox [--title T]           wait for a message box; title, texts, buttons\n"
      L"  press TEXT|--id N [--title T] [--locate]  press a message-box button (--locate:\n"
      L"                               print its screen point for a click through X)\n"
      L"  screen                       screen size and DPI\n"
      L"  desktop [--hold]             whether this process can make windows (exit 5: not);\n"
      L"                               --hold: then stay, so the desktop stays, until killed\n"
      L"  pointer                      where the pointer is, its clip, capture, move loop\n"
      L"  wait-input X Y up|down       wait until the pointer is there, button as given\n"
      L"  await-click X Y              print ready, then wait for a click there (made\n"
      L"                               through X) and for the program to handle it\n"
      L"  settle TITLE                 wait until the window's program has handled its input\n"
      L"  locate TITLE X Y             the screen point of client pixel X,Y, if reachable\n"
      L"  click-watch TITLE X Y --watch L,T,W,H   click, then the ms until that screen\n"
      L"                               rectangle shows the result (unchanged for 0.5 s)\n"
      L"  pattern X Y W H              show a test picture at screen X,Y until killed\n"
      L"  smooth-picture X Y W H       a soft, photo-like picture (\"smooth picture\") there\n"
      L"options: --timeout MS (20000), --class NAME");
  return kExitUsage;
}

bool NeedPositional(const Args& args, size_t n) {
  if (args.positional.size() >= n) return true;
  Usage();
  return false;
}

bool ParsePoint(const Args& args, size_t at, LONG& x, LONG& y) {
  long long vx = 0, vy = 0;
  if (!ParseInt(args.positional[at], vx) || !ParseInt(args.positional[at + 1], vy)) return false;
  x = static_cast<LONG>(vx);
  y = static_cast<LONG>(vy);
  return true;
}

// Finds the window named by the first positional argument, waiting for it.
HWND Target(const Args& args, int& rc) {
  Selector sel;
  if (!ParseSelector(args.positional[0], args, sel)) {
    rc = Usage();
    return nullptr;
  }
  HWND hwnd = WaitFor(sel, args.timeout_ms);
  if (!hwnd) {
    Err(L"timed out waiting for " + Describe(sel));
    rc = kExitTimeout;
  }
  return hwnd;
}

int CmdInfo(HWND hwnd) {
  RECT outer{}, client{};
  GetWindowRect(hwnd, &outer);
  GetClientRect(hwnd, &client);
  POINT origin = ClientToScreenPoint(hwnd, 0, 0);
  LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  Out(L"hwnd", Hex(hwnd));
  Out(L"title", WindowText(hwnd));
  Out(L"class", ClassName(hwnd));
  Out(L"pid", Num(ProcessOf(hwnd)));
  Out(L"rect", RectText(outer));
  Out(L"size", Num(outer.right - outer.left) + L"x" + Num(outer.bottom - outer.top));
  Out(L"client", Num(client.right) + L"x" + Num(client.bottom));
  Out(L"client_origin", Num(origin.x) + L"," + Num(origin.y));
  Out(L"topmost", Num((ex & WS_EX_TOPMOST) ? 1 : 0));
  Out(L"visible", Num(IsWindowVisible(hwnd) ? 1 : 0));
  Out(L"enabled", Num(IsWindowEnabled(hwnd) ? 1 : 0));
  Out(L"minimized", Num(IsIconic(hwnd) ? 1 : 0));
  Out(L"maximized", Num(IsZoomed(hwnd) ? 1 : 0));
  Out(L"caption", Num((style & WS_CAPTION) == WS_CAPTION ? 1 : 0));
  Out(L"foreground", Num(GetForegroundWindow() == hwnd ? 1 : 0));
  return 0;
}

int CmdChildren(HWND hwnd) {
  for (HWND kid : Children(hwnd)) {
    RECT r{};
    GetWindowRect(kid, &r);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    Out(L"child", Hex(kid) + L" " + ClassName(kid) + L" id=" + Num(GetDlgCtrlID(kid)) +
                      L" visible=" + Num(IsWindowVisible(kid) ? 1 : 0) + L" rect=" + RectText(r) +
                      L" text=" + WindowText(kid));
  }
  return 0;
}

// Rows of a list box: index, rect in the list's client pixels, text. The rows shown
// are where a user clicks; a row scrolled out of view has an empty rect.
int CmdItems(HWND list) {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count) ||
      static_cast<LONG_PTR>(count) < 0) {
    Err(L"not a list box: " + Hex(list));
    return kExitFailed;
  }
  RECT client{};
  GetClientRect(list, &client);
  for (DWORD_PTR i = 0; i < count; ++i) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(static_cast<LONG_PTR>(copied) < 0 ? 0 : copied);
    RECT r{};
    DWORD_PTR ok = 0;
    SendMessageTimeoutW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r), SMTO_ABORTIFHUNG,
                        2000, &ok);
    RECT shown{};
    if (static_cast<LONG_PTR>(ok) == LB_ERR || !IntersectRect(&shown, &r, &client)) shown = {};
    Out(L"item", Num(static_cast<long long>(i)) + L" " + RectText(shown) + L" " + text);
  }
  DWORD_PTR sel = 0;
  SendMessageTimeoutW(list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &sel);
  Out(L"selected", Num(static_cast<LONG_PTR>(sel)));
  return 0;
}

// The check state of a check box or option button: 0, 1, or 2 (indeterminate).
int CmdChecked(HWND button) {
  DWORD_PTR state = 0;
  if (!SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state)) {
    return kExitFailed;
  }
  Out(L"checked", Num(static_cast<long long>(state)));
  return 0;
}

int CmdList() {
  std::vector<HWND> all;
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        if (IsWindowVisible(hwnd)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  for (HWND hwnd : all) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    Out(L"window", Hex(hwnd) + L" pid=" + Num(ProcessOf(hwnd)) + L" class=" + ClassName(hwnd) +
                       L" rect=" + RectText(r) + L" title=" + WindowText(hwnd));
  }
  return 0;
}

int CmdWaitGone(const Args& args) {
  Selector sel;
  if (!ParseSelector(args.positional[0], args, sel)) return Usage();
  const ULONGLONG deadline = GetTickCount64() + args.timeout_ms;
  while (!FindAll(sel).empty()) {
    if (GetTickCount64() >= deadline) {
      Err(L"timed out: " + Describe(sel) + L" is still there");
      return kExitTimeout;
    }
    Sleep(50);
  }
  Out(L"gone", args.positional[0]);
  return 0;
}

int CmdWaitProcessGone(const Args& args) {
  long long pid = 0;
  if (!ParseInt(args.positional[0], pid)) return Usage();
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (process) {
    DWORD wait = WaitForSingleObject(process, args.timeout_ms);
    CloseHandle(process);
    if (wait != WAIT_OBJECT_0) {
      Err(L"timed out: process " + Num(pid) + L" still runs");
      return kExitTimeout;
    }
  }
  Out(L"gone", Num(pid));
  return 0;
}

int CmdSysCommand(HWND hwnd, const std::wstring& what) {
  WPARAM cmd = 0;
  if (what == L"close") {
    cmd = SC_CLOSE;
  } else if (what == L"maximize") {
    cmd = SC_MAXIMIZE;
  } else if (what == L"minimize") {
    cmd = SC_MINIMIZE;
  } else if (what == L"restore") {
    cmd = SC_RESTORE;
  } else {
    return Usage();
  }
  if (!PostMessageW(hwnd, WM_SYSCOMMAND, cmd, 0)) return kExitFailed;
  Out(L"posted", L"WM_SYSCOMMAND " + what);
  return 0;
}

// The message box the arguments select, once it is built; null after the timeout.
HWND WaitForBox(const Args& args) {
  Selector sel = DialogSelector(args);
  HWND box = WaitFor(sel, args.timeout_ms);
  if (!box) {
    Err(L"timed out waiting for a message box");
    return nullptr;
  }
  // The texts are set while the box is being built: give it that moment.
  Sleep(100);
  return box;
}

int CmdMsgBox(const Args& args) {
  HWND box = WaitForBox(args);
  if (!box) return kExitTimeout;
  PrintDialog(box);
  return 0;
}

int CmdPress(const Args& args) {
  if (!args.id && args.positional.empty()) return Usage();
  HWND box = WaitForBox(args);
  if (!box) return kExitTimeout;
  HWND button = nullptr;
  for (HWND kid : Children(box)) {
    if (!IsButton(kid) || !IsWindowVisible(kid)) continue;
    if (args.id ? GetDlgCtrlID(kid) == *args.id
                : ButtonTextMatches(WindowText(kid), args.positional[0])) {
      button = kid;
      break;
    }
  }
  if (!button) {
    Err(L"no such button in the message box:");
    PrintDialog(box);
    return kExitFailed;
  }
  RECT r{};
  GetWindowRect(button, &r);
  POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  std::wstring text = WithoutMnemonic(WindowText(button));
  int id = GetDlgCtrlID(button);
  // Click like a user; a box hidden under a topmost window still gets its answer.
  if (WindowFromPoint(centre) == button && args.locate) {
    Out(L"point", Num(centre.x) + L"," + Num(centre.y));
    Out(L"button", Num(id) + L" " + text);
  } else if (WindowFromPoint(centre) == button) {
    if (!Click(button, centre, false, false)) return kExitFailed;
    Out(L"pressed", Num(id) + L" " + text);
  } else {
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    Out(L"pressed", Num(id) + L" " + text + L" (BM_CLICK, button covered)");
  }
  return 0;
}

// wait-input X Y up|down: waits until the pointer is at screen X,Y with the left button
// as given, as every Wine process sees it: input made by another X client (xdotool) has
// then reached the program, before anything the driver sends afterwards.
int CmdWaitInput(const Args& args) {
  if (args.positional.size() < 3) return Usage();
  LONG x = 0, y = 0;
  if (!ParsePoint(args, 0, x, y)) return Usage();
  const bool down = args.positional[2] == L"down";
  const ULONGLONG deadline = GetTickCount64() + args.timeout_ms;
  for (;;) {
    POINT now{};
    GetCursorPos(&now);
    const bool held = GetAsyncKeyState(VK_LBUTTON) < 0;
    if (now.x == x && now.y == y && held == down) {
      HWND under = WindowFromPoint(now);
      if (under && !Settle(under)) return kExitFailed;
      Out(L"input", Num(x) + L"," + Num(y) + (down ? L" down" : L" up"));
      return 0;
    }
    if (GetTickCount64() >= deadline) {
      Err(L"input did not arrive: wanted " + Num(x) + L"," + Num(y) + (down ? L" down" : L" up") +
          L", " + PointerState() + (held ? L" button down" : L" button up"));
      return kExitTimeout;
    }
    Sleep(5);
  }
}

// The left button's presses and releases as the system hands them out, seen by a
// low-level hook: every hardware click passes it, however short, whoever reads the
// button's state meanwhile.
struct ClickSeen {
  POINT at{};
  bool pressed = false;
  bool released = false;
} g_click;

LRESULT CALLBACK ClickHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    if (message == WM_LBUTTONDOWN) {
      g_click.pressed = true;
      g_click.at = info->pt;
    } else if (message == WM_LBUTTONUP && g_click.pressed) {
      g_click.released = true;
      g_click.at = info->pt;
    }
  }
  return CallNextHookEx(nullptr, code, message, data);
}

// await-click X Y: prints "ready" once it watches the button, then waits for one press
// and release at screen X,Y (made by another X client) and for the program under the
// point to have handled them.
int CmdAwaitClick(const Args& args) {
  if (args.positional.size() < 2) return Usage();
  LONG x = 0, y = 0;
  if (!ParsePoint(args, 0, x, y)) return Usage();
  HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, ClickHook, GetModuleHandleW(nullptr), 0);
  if (!hook) {
    Err(L"no low-level mouse hook: error " + Num(GetLastError()));
    return kExitFailed;
  }
  Out(L"ready", Num(x) + L"," + Num(y));
  const ULONGLONG deadline = GetTickCount64() + args.timeout_ms;
  // The hook is called from this thread's message loop.
  while (!g_click.released) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  UnhookWindowsHookEx(hook);
  if (!g_click.released) {
    Err(L"the click did not arrive: wanted " + Num(x) + L"," + Num(y) + L", " +
        (g_click.pressed ? L"pressed, not released, " : L"not pressed, ") + PointerState());
    return kExitTimeout;
  }
  if (g_click.at.x != x || g_click.at.y != y) {
    Err(L"the click arrived at " + Num(g_click.at.x) + L"," + Num(g_click.at.y) + L" instead of " +
        Num(x) + L"," + Num(y));
    return kExitFailed;
  }
  HWND under = WindowFromPoint(g_click.at);
  if (under && !Settle(under)) return kExitFailed;
  Out(L"clicked", Num(x) + L"," + Num(y));
  return 0;
}

// A hash of what the screen shows in a rectangle.
std::uint64_t ScreenHash(HDC screen, HDC mem, const RECT& r, std::vector<std::uint32_t>& pixels) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  pixels.resize(static_cast<size_t>(w) * h);
  GetDIBits(mem, static_cast<HBITMAP>(GetCurrentObject(mem, OBJ_BITMAP)), 0, h, pixels.data(), &bi,
            DIB_RGB_COLORS);
  std::uint64_t hash = 1469598103934665603ull;
  for (std::uint32_t p : pixels) hash = (hash ^ p) * 1099511628211ull;
  return hash;
}

double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

// click-watch TITLE X Y --watch L,T,W,H: clicks, then watches that screen rectangle
// until it has changed and then stayed as it is for half a second; prints the ms from
// the release of the button to the last change: the click's result as painted.
int CmdClickWatch(HWND hwnd, const Args& args, POINT pt) {
  RECT r = args.watch;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top);
  HGDIOBJ old = SelectObject(mem, bmp);
  std::vector<std::uint32_t> pixels;
  const std::uint64_t before = ScreenHash(screen, mem, r, pixels);
  std::uint64_t last = before;
  int rc = 0;
  if (!CheckReachable(hwnd, pt, args.force) || !MoveTo(pt) ||
      !SendMouse(MOUSEEVENTF_LEFTDOWN, pt)) {
    rc = kExitFailed;
  } else {
    Sleep(30);  // a press takes a moment
    SendMouse(MOUSEEVENTF_LEFTUP, pt);
    const double released = NowMs();
    double changed = -1;
    for (;;) {
      const double now = NowMs();
      const std::uint64_t hash = ScreenHash(screen, mem, r, pixels);
      if (hash != last) {
        last = hash;
        changed = now;
      }
      if (changed >= 0 && now - changed > 500) break;
      if (now - released > args.timeout_ms) {
        Err(L"the watched rectangle did not settle");
        rc = kExitTimeout;
        break;
      }
      Sleep(1);
    }
    if (rc == 0) Out(L"painted_ms", Num(std::lround(changed - released)));
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return rc;
}

// Wine starts a prefix's desktop for the first program that asks for one and waits
// 10 s for it; a program that asked in vain gets no windows at all, for its whole life.
// The desktop also ends with the last program. Windows has its desktop before any
// program starts, and keeps it: the scripts make and hold it with this.
int CmdDesktop(bool hold) {
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  if (probe == nullptr) {
    Out(L"desktop", L"none");
    return kExitFailed;
  }
  DestroyWindow(probe);
  Out(L"desktop", L"ready");
  if (hold)
    for (;;) Sleep(INFINITE);
  return 0;
}

int CmdScreen() {
  POINT size = ScreenSize();
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  Out(L"screen", Num(size.x) + L"x" + Num(size.y));
  Out(L"dpi", Num(dpi));
  return 0;
}

// Coordinates in and out must be physical pixels, as the program under test sees them.
void BecomeDpiAware() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  auto set_context = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_SYSTEM_AWARE
  if (!set_context || !set_context(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2)))) {
    SetProcessDPIAware();
  }
}

int Run(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring cmd = argv[1];
  Args args;
  if (!ParseArgs(argc, argv, args)) return Usage();
  int rc = 0;

  if (cmd == L"list") return CmdList();
  if (cmd == L"screen") return CmdScreen();
  if (cmd == L"desktop") return CmdDesktop(argc > 2 && std::wstring(argv[2]) == L"--hold");
  if (cmd == L"wait-input") return CmdWaitInput(args);
  if (cmd == L"await-click") return CmdAwaitClick(args);
  if (cmd == L"pointer") {
    Out(L"pointer", PointerState());
    return 0;
  }
  if (cmd == L"pattern") return CmdPattern(args, false);
  if (cmd == L"smooth-picture") return CmdPattern(args, true);
  if (cmd == L"msgbox") return CmdMsgBox(args);
  if (cmd == L"press") return CmdPress(args);
  if (!NeedPositional(args, 1)) return kExitUsage;
  if (cmd == L"wait-gone") return CmdWaitGone(args);
  if (cmd == L"wait-process-gone") return CmdWaitProcessGone(args);
  if (cmd == L"count") {
    Selector sel;
    if (!ParseSelector(args.positional[0], args, sel)) return Usage();
    Out(L"count", Num(static_cast<long long>(FindAll(sel).size())));
    return 0;
  }

  const bool known = cmd == L"wait-window" || cmd == L"info" || cmd == L"children" ||
                     cmd == L"settle" || cmd == L"click-watch" || cmd == L"locate" ||
                     cmd == L"click" || cmd == L"move" || cmd == L"drag" || cmd == L"key" ||
                     cmd == L"close" || cmd == L"syscommand" || cmd == L"type" || cmd == L"items" ||
                     cmd == L"checked" || cmd == L"text";
  if (!known) return Usage();
  HWND hwnd = Target(args, rc);
  if (!hwnd) return rc;

  if (cmd == L"wait-window") {
    Out(L"hwnd", Hex(hwnd));
    Out(L"pid", Num(ProcessOf(hwnd)));
    return 0;
  }
  if (cmd == L"info") return CmdInfo(hwnd);
  if (cmd == L"settle") {
    if (!Settle(hwnd)) return kExitFailed;
    Out(L"settled", Hex(hwnd));
    return 0;
  }
  if (cmd == L"children") return CmdChildren(hwnd);
  if (cmd == L"items") return CmdItems(hwnd);
  if (cmd == L"checked") return CmdChecked(hwnd);
  if (cmd == L"text") {
    WriteBytes(GetStdHandle(STD_OUTPUT_HANDLE), ToUtf8(WindowText(hwnd)));
    return 0;
  }
  if (cmd == L"type") {
    if (!NeedPositional(args, 2)) return kExitUsage;
    SetForegroundWindow(GetAncestor(hwnd, GA_ROOT));
    if (!TypeText(hwnd, args.positional[1])) return kExitFailed;
    Out(L"typed", Num(static_cast<long long>(args.positional[1].size())));
    return 0;
  }
  if (cmd == L"close") {
    if (!PostMessageW(hwnd, WM_CLOSE, 0, 0)) return kExitFailed;
    Out(L"posted", L"WM_CLOSE");
    return 0;
  }
  if (cmd == L"syscommand") {
    if (!NeedPositional(args, 2)) return kExitUsage;
    return CmdSysCommand(hwnd, args.positional[1]);
  }
  if (cmd == L"key") {
    if (!NeedPositional(args, 2)) return kExitUsage;
    SetForegroundWindow(hwnd);
    for (size_t i = 1; i < args.positional.size(); ++i) {
      if (!PressChord(args.positional[i]) || !Settle(hwnd)) return kExitFailed;
    }
    Out(L"keys", Num(static_cast<long long>(args.positional.size() - 1)));
    return 0;
  }

  LONG x = 0, y = 0;
  if (!NeedPositional(args, 3) || !ParsePoint(args, 1, x, y)) return Usage();
  POINT pt = ClientToScreenPoint(hwnd, x, y);
  if (cmd == L"move") {
    if (!CheckReachable(hwnd, pt, args.force) || !MoveTo(pt)) return kExitFailed;
    Out(L"moved", Num(pt.x) + L"," + Num(pt.y));
    return 0;
  }
  if (cmd == L"click-watch") return CmdClickWatch(hwnd, args, pt);
  if (cmd == L"locate") {
    if (!CheckReachable(hwnd, pt, args.force)) return kExitFailed;
    Out(L"point", Num(pt.x) + L"," + Num(pt.y));
    return 0;
  }
  if (cmd == L"click") {
    if (!Click(hwnd, pt, args.right, args.force)) return kExitFailed;
    Out(L"clicked", Num(pt.x) + L"," + Num(pt.y));
    return 0;
  }
  // drag
  LONG x2 = 0, y2 = 0;
  if (!NeedPositional(args, 5) || !ParsePoint(args, 3, x2, y2)) return Usage();
  POINT end = ClientToScreenPoint(hwnd, x2, y2);
  if (!CheckReachable(hwnd, pt, args.force) || !MoveTo(pt)) return kExitFailed;
  DWORD down = args.right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  DWORD up = args.right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  if (!SendMouse(down, pt)) return kExitFailed;
  // Several steps so that the program sees a drag, not a jump.
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i) {
    POINT step{pt.x + (end.x - pt.x) * i / kSteps, pt.y + (end.y - pt.y) * i / kSteps};
    if (!MoveTo(step)) {
      SendMouse(up, step);
      return kExitFailed;
    }
  }
  if (!SendMouse(up, end)) return kExitFailed;
  Out(L"dragged", Num(pt.x) + L"," + Num(pt.y) + L"-" + Num(end.x) + L"," + Num(end.y));
  return 0;
}

}  // namespace

// A crash would otherwise end the driver with nothing said (Wine's own report is off), and
// the C runtime's abort exits 3, as a time-out does.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  wchar_t buf[96];
  std::swprintf(buf, 96, L"crashed: exception 0x%08lx at %p",
                static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                info->ExceptionRecord->ExceptionAddress);
  Err(buf);
  ExitProcess(kExitCrashed);
}

int wmain(int argc, wchar_t** argv) {
  SetUnhandledExceptionFilter(ReportCrash);
  int rc = kExitCrashed;
  try {
    BecomeDpiAware();
    rc = Run(argc, argv);
  } catch (const std::exception& e) {
    Err(L"crashed: " + std::wstring(e.what(), e.what() + std::strlen(e.what())));
  } catch (...) {
    Err(L"crashed: an exception of unknown type");
  }
  if (g_lost_output != ERROR_SUCCESS) {
    Err(L"its result could not be written to stdout (error " + Num(g_lost_output) + L")");
    if (rc == 0) rc = kExitFailed;
  }
  return rc;
}
