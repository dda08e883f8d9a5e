#include "win32/win32_system.h"

#include <shellapi.h>
#include <wincodec.h>

#include "win32/form_window.h"

// Here: the display, the message loop, message boxes, the single instance, the shell
// and the clock. The screen and the clipboard: win32_system_screen.cpp; files:
// win32_system_files.cpp; pictures: win32_system_pictures.cpp.

namespace pelnoro::win32 {

Win32System::Win32System() {
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpiX > 0) tppX_ = 1440.0 / dpiX;
  if (dpiY > 0) tppY_ = 1440.0 / dpiY;
}

Win32System::~Win32System() {
  for (const auto& [id, pressed] : hotKeys_) UnregisterHotKey(nullptr, id);
  if (instanceMutex_) CloseHandle(instanceMutex_);
  if (wic_) wic_->Release();
  if (comOwned_) CoUninitialize();
}

int Win32System::screenWidthPixels() {
  return GetSystemMetrics(SM_CXSCREEN);
}
int Win32System::screenHeightPixels() {
  return GetSystemMetrics(SM_CYSCREEN);
}

int Win32System::osMajorVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = 148;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return 0;
#pragma GCC diagnostic pop
  return static_cast<int>(info.dwMajorVersion);
}

bool Win32System::previousInstanceRunning() {
  // A named mutex per user session: the first copy owns it while it runs.
  if (!instanceMutex_) {
    instanceMutex_ = CreateMutexW(nullptr, FALSE, L"Local\\Pelnoro.SingleInstance");
    otherInstance_ = instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
  }
  return otherInstance_;
}

int Win32System::messageBox(const std::wstring& text, const std::wstring& title, unsigned style) {
  // Our windows stay on top, so the box must too, or it would open behind them.
  HWND owner = GetActiveWindow();
  return MessageBoxW(owner, text.c_str(), title.empty() ? L"Pelnoro" : title.c_str(),
                     style | MB_TOPMOST);
}

sys::ScreenPoint Win32System::cursorPosition() {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y};
}

void Win32System::setCursorPosition(sys::ScreenPoint at) {
  SetCursorPos(at.x, at.y);
}

bool Win32System::registerHotKey(int keyCode, std::function<void()> pressed) {
  const int id = static_cast<int>(hotKeys_.size()) + 1;
  // To the thread, not a window: a modal loop (a message box) drops it rather than
  // running the key's action under the box.
  if (!RegisterHotKey(nullptr, id, MOD_NOREPEAT, static_cast<UINT>(keyCode))) return false;
  hotKeys_[id] = std::move(pressed);
  return true;
}

bool Win32System::takeMessage(const MSG& msg) {
  if (msg.message == WM_HOTKEY && !msg.hwnd) {
    const auto it = hotKeys_.find(static_cast<int>(msg.wParam));
    if (it != hotKeys_.end()) {
      // A copy: the action may register keys itself.
      const auto pressed = it->second;
      pressed();
    }
    return true;
  }
  return OfferKeyToForm(msg);
}

bool Win32System::pump(bool wait) {
  MSG msg;
  if (wait && !quitting_) WaitMessage();
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitting_ = true;
      // Leave it for the main loop too.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (takeMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void Win32System::doEvents() {
  pump(false);
}
void Win32System::waitEvents() {
  pump(true);
}

void Win32System::quit() {
  if (quitting_) return;
  quitting_ = true;
  PostQuitMessage(0);
}

int Win32System::run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (takeMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

void Win32System::ensureCom() {
  if (comTried_) return;
  comTried_ = true;
  // Apartment threaded, as the shell and the codecs expect on a window thread. When
  // someone else already started COM here differently, it is still usable.
  comOwned_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

int Win32System::shellOpen(const std::wstring& path, int showCommand) {
  // The shell may hand the file to an extension that needs COM on this thread.
  ensureCom();
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", path.c_str(), L"", nullptr, showCommand);
  return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

sys::LocalTime Win32System::now() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace pelnoro::win32
