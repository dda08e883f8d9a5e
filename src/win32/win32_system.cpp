#include "win32/win32_system.h"

#include "win32/gdi_draw.h"

#include <algorithm>
#include <iterator>

namespace pelnoro::win32 {

Win32System::Win32System() {
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpiX > 0) tppX_ = 1440.0 / dpiX;
  if (dpiY > 0) tppY_ = 1440.0 / dpiY;
}

Win32System::~Win32System() {
  if (instanceMutex_) CloseHandle(instanceMutex_);
}

bool Win32System::openClipboard() {
  if (!clipboardOwner_) {
    clipboardOwner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  }
  // Another program may hold it for a moment.
  for (int i = 0; i < 20; ++i) {
    if (OpenClipboard(clipboardOwner_)) return true;
    Sleep(10);
  }
  return false;
}

void Win32System::copyScreenToClipboard(int x, int y, int width, int height) {
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HDC mem = CreateCompatibleDC(display);
  HBITMAP bmp = CreateCompatibleBitmap(display, width, height);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, width, height, display, x, y, SRCCOPY);
  SelectObject(mem, old);
  if (openClipboard()) {
    EmptyClipboard();
    if (!SetClipboardData(CF_BITMAP, bmp)) DeleteObject(bmp);
    CloseClipboard();
  } else {
    DeleteObject(bmp);
  }
  DeleteDC(mem);
  DeleteDC(display);
}

void Win32System::clearClipboard() {
  if (!openClipboard()) return;
  EmptyClipboard();
  CloseClipboard();
}

std::optional<image::Surface> Win32System::clipboardBitmap() {
  if (!openClipboard()) return std::nullopt;
  std::optional<image::Surface> result;
  if (auto bmp = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    BITMAP info{};
    GetObjectW(bmp, sizeof info, &info);
    if (info.bmWidth > 0 && info.bmHeight > 0) {
      BITMAPINFO bi = TopDownDib(info.bmWidth, info.bmHeight);
      image::Surface s(info.bmWidth, info.bmHeight, 0);
      HDC screen = GetDC(nullptr);
      GetDIBits(screen, bmp, 0, static_cast<UINT>(info.bmHeight), s.pixels().data(), &bi,
                DIB_RGB_COLORS);
      ReleaseDC(nullptr, screen);
      SwapRedBlue(s.pixels().data(), s.pixels().data(), s.pixels().size());
      result = std::move(s);
    }
  }
  CloseClipboard();
  return result;
}

bool Win32System::setClipboardBitmap(const image::Surface& picture) {
  if (picture.empty()) return false;
  std::vector<std::uint32_t> bgr(picture.pixels().size());
  SwapRedBlue(picture.pixels().data(), bgr.data(), bgr.size());
  BITMAPINFO bi = TopDownDib(picture.width(), picture.height());
  HDC screen = GetDC(nullptr);
  // A device-dependent bitmap: the system offers it as a DIB to whoever asks.
  HBITMAP bmp = CreateCompatibleBitmap(screen, picture.width(), picture.height());
  const bool filled = bmp && SetDIBits(screen, bmp, 0, static_cast<UINT>(picture.height()),
                                       bgr.data(), &bi, DIB_RGB_COLORS) > 0;
  ReleaseDC(nullptr, screen);
  if (!filled) {
    if (bmp) DeleteObject(bmp);
    return false;
  }
  if (!openClipboard()) {
    DeleteObject(bmp);
    return false;
  }
  EmptyClipboard();
  const bool ok = SetClipboardData(CF_BITMAP, bmp) != nullptr;
  if (!ok) DeleteObject(bmp);
  CloseClipboard();
  return ok;
}

int Win32System::screenWidthPixels() { return GetSystemMetrics(SM_CXSCREEN); }
int Win32System::screenHeightPixels() { return GetSystemMetrics(SM_CYSCREEN); }

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
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void Win32System::doEvents() { pump(false); }
void Win32System::waitEvents() { pump(true); }

void Win32System::quit() {
  if (quitting_) return;
  quitting_ = true;
  PostQuitMessage(0);
}

int Win32System::run() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

std::wstring Win32System::exeFolder() {
  wchar_t buf[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, buf, static_cast<DWORD>(std::size(buf)));
  std::wstring path(buf, n);
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L".\\" : path.substr(0, slash + 1);
}

bool Win32System::fileExists(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32System::folderExists(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> Win32System::listFiles(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  std::wstring p = pattern;
  if (p.empty() || p.back() == L'\\' || p.back() == L'/') p += L"*";
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(p.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const DWORD skip = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (!(fd.dwFileAttributes & skip)) names.emplace_back(fd.cFileName);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

bool Win32System::createFolder(const std::wstring& path) {
  return CreateDirectoryW(path.c_str(), nullptr) != 0;
}

std::vector<std::wstring> Win32System::listDrives() {
  std::vector<std::wstring> roots;
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (mask & (1u << i)) roots.push_back(std::wstring(1, static_cast<wchar_t>(L'A' + i)) + L":\\");
  }
  return roots;
}

bool Win32System::driveReady(const std::wstring& root) {
  // An empty drive must answer "not ready", not pop up the system's own box.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const DWORD a = GetFileAttributesW(root.c_str());
  SetErrorMode(oldMode);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> Win32System::listFolders(const std::wstring& folder) {
  std::vector<std::wstring> names;
  std::wstring p = folder;
  if (p.empty() || (p.back() != L'\\' && p.back() != L'/')) p += L'\\';
  p += L'*';
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(p.c_str(), &fd);
  SetErrorMode(oldMode);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = fd.cFileName;
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..") continue;
    // Hidden system folders are what Explorer does not show either.
    const DWORD hiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((fd.dwFileAttributes & hiddenSystem) == hiddenSystem) continue;
    names.push_back(name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return lstrcmpiW(a.c_str(), b.c_str()) < 0;
  });
  return names;
}

std::optional<std::string> Win32System::readFile(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string data;
  char buf[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr)) && got > 0) data.append(buf, got);
  CloseHandle(h);
  if (!ok) return std::nullopt;
  return data;
}

sys::WriteResult Win32System::writeFileReplacing(const std::wstring& path,
                                                 const std::string& bytes) {
  const std::wstring tmp = path + L".pelnoro-tmp";
  HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return sys::WriteResult::kCannotCreate;
  DWORD written = 0;
  bool ok = bytes.empty() ||
            (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size());
  ok = FlushFileBuffers(h) && ok;
  CloseHandle(h);
  if (!ok) {
    DeleteFileW(tmp.c_str());
    return sys::WriteResult::kWriteFailed;
  }
  // Refused for a read-only file or a folder of that name: the old one stays.
  if (!MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(tmp.c_str());
    return sys::WriteResult::kCannotReplace;
  }
  return sys::WriteResult::kOk;
}

}  // namespace pelnoro::win32
