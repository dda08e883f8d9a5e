#include "win32/win32_system.h"

#include <shellapi.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <new>
#include <string_view>

#include "encoder/file_writer.h"
#include "image/exif_orientation.h"
#include "image/picture_file.h"
#include "image/pixel_ops.h"
#include "win32/gdi_draw.h"

namespace pelnoro::win32 {

namespace {

// Releases a COM interface at the end of its scope.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T** out() { return &p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// ---------------------------------------------------------------- picture files

enum class PictureFormat { kUnknown, kBmp, kPng, kJpeg, kGif, kTiff, kIco };

PictureFormat IdentifyPicture(std::string_view b) {
  const auto starts = [&](std::string_view sig) { return b.substr(0, sig.size()) == sig; };
  if (starts("BM")) return PictureFormat::kBmp;
  if (starts("\x89PNG\r\n\x1a\n")) return PictureFormat::kPng;
  if (starts("\xFF\xD8\xFF")) return PictureFormat::kJpeg;
  if (starts("GIF87a") || starts("GIF89a")) return PictureFormat::kGif;
  if (starts(std::string_view("II*\0", 4)) || starts(std::string_view("MM\0*", 4)))
    return PictureFormat::kTiff;
  if (starts(std::string_view("\0\0\1\0", 4))) return PictureFormat::kIco;
  return PictureFormat::kUnknown;
}

// Bounded reads of a file's bytes: callers check has() first.
class Bytes {
 public:
  explicit Bytes(std::string_view b) : b_(b) {}
  bool has(std::size_t at, std::size_t n) const { return at <= b_.size() && n <= b_.size() - at; }
  unsigned u8(std::size_t at) const { return static_cast<unsigned char>(b_[at]); }
  unsigned le16(std::size_t at) const { return u8(at) | u8(at + 1) << 8; }
  unsigned be16(std::size_t at) const { return u8(at) << 8 | u8(at + 1); }
  std::uint32_t le32(std::size_t at) const { return le16(at) | std::uint32_t{le16(at + 2)} << 16; }
  std::uint32_t be32(std::size_t at) const { return std::uint32_t{be16(at)} << 16 | be16(at + 2); }
  long long sle32(std::size_t at) const { return static_cast<std::int32_t>(le32(at)); }
  bool pngAt(std::size_t at) const {
    return has(at, 24) && b_.substr(at, 8) == "\x89PNG\r\n\x1a\n";
  }

 private:
  std::string_view b_;
};

// Calls visit(at) with the offset of each GIF image descriptor, in file order,
// until it returns true or the blocks end.
template <class Visit>
void ForEachGifFrame(const Bytes& b, Visit visit) {
  if (!b.has(0, 13)) return;
  const auto colorTable = [](unsigned flags) {
    return flags & 0x80 ? std::size_t{3} << ((flags & 7) + 1) : 0;
  };
  std::size_t at = 13 + colorTable(b.u8(10));
  while (b.has(at, 1)) {
    const unsigned kind = b.u8(at);
    if (kind == 0x21) {
      at += 2;
    } else if (kind == 0x2C && b.has(at, 10)) {
      if (visit(at)) return;
      at += 10 + colorTable(b.u8(at + 9)) + 1;
    } else {
      return;  // the trailer, or something no decoder reads further
    }
    while (b.has(at, 1) && b.u8(at) != 0) at += 1 + b.u8(at);
    ++at;
  }
}

// Where a GIF's first frame lies on its logical screen, when it does not cover
// it: the codec hands out the frame alone.
struct GifInset {
  int screenWidth, screenHeight, left, top;
};
std::optional<GifInset> FirstGifFrameInset(std::string_view file) {
  const Bytes b(file);
  std::optional<GifInset> inset;
  ForEachGifFrame(b, [&](std::size_t at) {
    const int sw = static_cast<int>(b.le16(6)), sh = static_cast<int>(b.le16(8));
    if (sw == 0 || sh == 0) return true;  // no screen to speak of: the frame is all
    const int left = static_cast<int>(b.le16(at + 1)), top = static_cast<int>(b.le16(at + 3));
    if (left != 0 || top != 0 || static_cast<int>(b.le16(at + 5)) != sw ||
        static_cast<int>(b.le16(at + 7)) != sh) {
      inset = GifInset{sw, sh, left, top};
    }
    return true;
  });
  return inset;
}

struct DeclaredSize {
  long long width = 0, height = 0;
};

// The first picture size the file's headers declare that is wider or higher than
// maxSide. Read before any decoder sees the file: some decoders (Wine's PNG, JPEG
// and GIF ones, and its icon frames) decode the whole picture as soon as they
// open it, so their own size would come too late. TIFF and BMP decoders read
// pixels only when asked; their frame size is checked before that.
std::optional<DeclaredSize> DeclaredOversize(std::string_view file, PictureFormat format,
                                             int maxSide) {
  const Bytes b(file);
  std::optional<DeclaredSize> found;
  const auto check = [&](long long w, long long h) {
    w = std::llabs(w);
    h = std::llabs(h);
    if (!found && (w > maxSide || h > maxSide)) found = DeclaredSize{w, h};
    return found.has_value();
  };
  const auto pngSize = [&](std::size_t at) { return check(b.be32(at + 16), b.be32(at + 20)); };
  switch (format) {
    case PictureFormat::kPng:
      if (b.pngAt(0)) pngSize(0);
      break;
    case PictureFormat::kBmp:
      if (b.has(0, 26)) {
        if (b.le32(14) == 12) {
          check(b.le16(18), b.le16(20));
        } else {
          check(b.sle32(18), b.sle32(22));
        }
      }
      break;
    case PictureFormat::kJpeg: {
      std::size_t at = 2;
      while (b.has(at, 4) && b.u8(at) == 0xFF) {
        const unsigned marker = b.u8(at + 1);
        if (marker == 0xFF) {
          ++at;
          continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
          at += 2;
          continue;
        }
        if (marker == 0xD9 || marker == 0xDA) break;
        const bool frameHeader =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frameHeader && b.has(at, 9) && check(b.be16(at + 7), b.be16(at + 5))) break;
        at += 2 + b.be16(at + 2);
      }
      break;
    }
    case PictureFormat::kGif:
      // Every frame counts: the decoder unpacks them all when it opens the file.
      if (b.has(0, 13) && !check(b.le16(6), b.le16(8))) {
        ForEachGifFrame(b, [&](std::size_t at) { return check(b.le16(at + 5), b.le16(at + 7)); });
      }
      break;
    case PictureFormat::kIco: {
      if (!b.has(0, 6)) break;
      const unsigned count = b.le16(4);
      for (unsigned i = 0; i < count && !found; ++i) {
        const std::size_t entry = 6 + std::size_t{16} * i;
        if (!b.has(entry, 16)) break;
        // The image itself may claim more than its directory entry.
        const std::size_t at = b.le32(entry + 12);
        if (b.pngAt(at)) {
          pngSize(at);
        } else if (b.has(at, 12)) {
          check(b.sle32(at + 4), b.sle32(at + 8) / 2);
        }
      }
      break;
    }
    case PictureFormat::kTiff:
    case PictureFormat::kUnknown:
      break;
  }
  return found;
}

long PictureErrorOf(HRESULT hr) {
  return hr == E_OUTOFMEMORY ? sys::kPictureOutOfMemory : sys::kPictureNotPicture;
}

// Reads the whole file, or only its start when that is no picture we know; a
// picture error when it cannot.
long ReadPictureFile(const std::wstring& path, std::string& bytes) {
  if (path.empty()) return sys::kPictureNotFound;
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  const DWORD openError = GetLastError();
  SetErrorMode(oldMode);
  if (h == INVALID_HANDLE_VALUE) {
    switch (openError) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_INVALID_NAME:
      case ERROR_BAD_PATHNAME:
      case ERROR_INVALID_DRIVE:
      case ERROR_BAD_NETPATH:
      case ERROR_BAD_NET_NAME:
        return sys::kPictureNotFound;
      default:
        return sys::kPictureCannotRead;  // a folder, locked, no permission
    }
  }
  long error = sys::kPictureOk;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h, &size)) {
    error = sys::kPictureCannotRead;
  } else {
    try {
      bytes.clear();
      bytes.reserve(static_cast<std::size_t>(size.QuadPart));
      // Only the start of a file that is no picture we know: the dialog asks
      // about every file the user clicks, videos too.
      bool known = false;
      char buf[65536];
      DWORD got = 0;
      for (;;) {
        if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) {
          error = sys::kPictureCannotRead;
          break;
        }
        if (got == 0) break;
        bytes.append(buf, got);
        if (!known && bytes.size() >= 8) {
          if (IdentifyPicture(bytes) == PictureFormat::kUnknown) break;
          known = true;
        }
      }
    } catch (const std::bad_alloc&) {
      error = sys::kPictureOutOfMemory;
    }
  }
  CloseHandle(h);
  return error;
}

// Straight alpha over the background, each channel rounded.
inline std::uint32_t Over(std::uint32_t bgra, std::uint32_t background) {
  const std::uint32_t a = bgra >> 24;
  const std::uint32_t r = bgra >> 16 & 0xFF, g = bgra >> 8 & 0xFF, b = bgra & 0xFF;
  if (a == 0xFF) return b << 16 | g << 8 | r;
  if (a == 0) return background & 0x00FFFFFF;
  const std::uint32_t br = background & 0xFF, bg = background >> 8 & 0xFF,
                      bb = background >> 16 & 0xFF;
  const auto mix = [a](std::uint32_t f, std::uint32_t k) {
    return (f * a + k * (255 - a) + 127) / 255;
  };
  return mix(b, bb) << 16 | mix(g, bg) << 8 | mix(r, br);
}

}  // namespace

Win32System::Win32System() {
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpiX > 0) tppX_ = 1440.0 / dpiX;
  if (dpiY > 0) tppY_ = 1440.0 / dpiY;
}

Win32System::~Win32System() {
  if (instanceMutex_) CloseHandle(instanceMutex_);
  if (wic_) wic_->Release();
  if (comOwned_) CoUninitialize();
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

image::Surface Win32System::captureScreen(int x, int y, int width, int height) {
  image::Surface shot(std::max(width, 0), std::max(height, 0), 0);
  if (shot.empty()) return shot;
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HDC mem = CreateCompatibleDC(display);
  // Straight into a DIB section: the pixels are ours without another copy through
  // the driver.
  BITMAPINFO bi = TopDownDib(width, height);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(display, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, width, height, display, x, y, SRCCOPY);
    GdiFlush();
    SwapRedBlue(static_cast<const std::uint32_t*>(bits), shot.pixels().data(),
                shot.pixels().size());
    SelectObject(mem, old);
  }
  if (dib) DeleteObject(dib);
  DeleteDC(mem);
  DeleteDC(display);
  return shot;
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
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == L"." || name == L"..")
      continue;
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
                                                 std::span<const std::uint8_t> bytes) {
  // The encoder library's writer: one for the program's files and the library's.
  switch (encoder::WriteFileReplacing(path, bytes)) {
    case encoder::Error::kOk:
      return sys::WriteResult::kOk;
    case encoder::Error::kCannotCreateFile:
      return sys::WriteResult::kCannotCreate;
    case encoder::Error::kCannotReplace:
      return sys::WriteResult::kCannotReplace;
    default:
      return sys::WriteResult::kWriteFailed;
  }
}

void Win32System::ensureCom() {
  if (comTried_) return;
  comTried_ = true;
  // Apartment threaded, as the shell and the codecs expect on a window thread. When
  // someone else already started COM here differently, it is still usable.
  comOwned_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

IWICImagingFactory* Win32System::imagingFactory() {
  ensureCom();
  if (!wic_) {
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                     reinterpret_cast<void**>(&wic_));
  }
  return wic_;
}

sys::PictureLoad Win32System::loadPicture(const std::wstring& path, std::uint32_t background,
                                          int maxSide) {
  try {
    std::string bytes;
    if (const long error = ReadPictureFile(path, bytes)) return sys::PictureFailure(error);
    const PictureFormat format = IdentifyPicture(bytes);
    if (format == PictureFormat::kUnknown) return sys::PictureFailure(sys::kPictureNotPicture);
    // Wine's PNG decoder shows a file cut short without a word.
    if (format == PictureFormat::kPng && !image::PngIsWhole(bytes)) {
      return sys::PictureFailure(sys::kPictureNotPicture);
    }
    if (const auto big = DeclaredOversize(bytes, format, maxSide)) {
      return sys::PictureFailure(sys::kPictureTooLarge, big->width, big->height, maxSide);
    }

    IWICImagingFactory* factory = imagingFactory();
    if (!factory || bytes.size() > MAXDWORD) return sys::PictureFailure(sys::kPictureNotPicture);
    ComPtr<IWICStream> stream;
    HRESULT hr = factory->CreateStream(stream.out());
    if (SUCCEEDED(hr)) {
      hr = stream->InitializeFromMemory(reinterpret_cast<BYTE*>(bytes.data()),
                                        static_cast<DWORD>(bytes.size()));
    }
    ComPtr<IWICBitmapDecoder> decoder;
    if (SUCCEEDED(hr)) {
      hr = factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                            decoder.out());
    }
    UINT frames = 0;
    if (SUCCEEDED(hr)) hr = decoder->GetFrameCount(&frames);
    if (SUCCEEDED(hr) && frames == 0) hr = WINCODEC_ERR_BADIMAGE;
    if (FAILED(hr)) return sys::PictureFailure(PictureErrorOf(hr));

    // An icon holds the same picture at several sizes: the largest is the one to
    // edit, and of equal sizes the one with the most colours.
    UINT chosen = 0;
    if (format == PictureFormat::kIco) {
      unsigned long long bestArea = 0;
      UINT bestDepth = 0;
      for (UINT i = 0; i < frames; ++i) {
        ComPtr<IWICBitmapFrameDecode> frame;
        UINT w = 0, h = 0, depth = 0;
        if (FAILED(decoder->GetFrame(i, frame.out())) || FAILED(frame->GetSize(&w, &h))) continue;
        WICPixelFormatGUID pixelFormat{};
        ComPtr<IWICComponentInfo> info;
        ComPtr<IWICPixelFormatInfo> formatInfo;
        if (SUCCEEDED(frame->GetPixelFormat(&pixelFormat)) &&
            SUCCEEDED(factory->CreateComponentInfo(pixelFormat, info.out())) &&
            SUCCEEDED(info->QueryInterface(IID_IWICPixelFormatInfo,
                                           reinterpret_cast<void**>(formatInfo.out())))) {
          formatInfo->GetBitsPerPixel(&depth);
        }
        const unsigned long long area = 1ull * w * h;
        if (area > bestArea || (area == bestArea && depth > bestDepth)) {
          chosen = i;
          bestArea = area;
          bestDepth = depth;
        }
      }
    }
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    hr = decoder->GetFrame(chosen, frame.out());
    if (SUCCEEDED(hr)) hr = frame->GetSize(&width, &height);
    if (FAILED(hr)) return sys::PictureFailure(PictureErrorOf(hr));
    if (width > static_cast<long long>(maxSide) || height > static_cast<long long>(maxSide)) {
      return sys::PictureFailure(sys::kPictureTooLarge, width, height, maxSide);
    }
    if (width == 0 || height == 0) return sys::PictureFailure(sys::kPictureNotPicture);
    // Rows whose byte count would not fit the copy's 32 bits, whatever maxSide allows.
    if (width > (1u << 28) || height > (1u << 28)) {
      return sys::PictureFailure(sys::kPictureOutOfMemory);
    }

    ComPtr<IWICBitmapSource> bgra;
    hr = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), bgra.out());
    if (FAILED(hr)) return sys::PictureFailure(PictureErrorOf(hr));
    image::Surface picture(static_cast<int>(width), static_cast<int>(height), 0);
    // In bands of rows, so that no single copy's byte count can overflow.
    const UINT stride = width * 4;
    const UINT bandRows = std::max<UINT>(1, (16u << 20) / stride);
    for (UINT y = 0; y < height; y += bandRows) {
      const UINT rows = std::min(bandRows, height - y);
      const WICRect band{0, static_cast<INT>(y), static_cast<INT>(width), static_cast<INT>(rows)};
      std::uint32_t* dst = picture.row(static_cast<int>(y));
      hr = bgra->CopyPixels(&band, stride, stride * rows, reinterpret_cast<BYTE*>(dst));
      if (FAILED(hr)) return sys::PictureFailure(PictureErrorOf(hr));
      for (std::uint32_t* p = dst; p != dst + std::size_t{width} * rows; ++p) {
        *p = Over(*p, background);
      }
    }
    if (format == PictureFormat::kGif) {
      if (const auto inset = FirstGifFrameInset(bytes)) {
        // The rest of the screen shows through, as a transparent pixel does.
        image::Surface screen(inset->screenWidth, inset->screenHeight, background & 0x00FFFFFF);
        image::CopyRect(picture, 0, 0, picture.width(), picture.height(), screen, inset->left,
                        inset->top);
        picture = std::move(screen);
      }
    }
    if (format == PictureFormat::kJpeg) {
      picture = image::ApplyOrientation(std::move(picture), image::ExifOrientation(bytes));
    }
    return {std::move(picture), sys::kPictureOk, L""};
  } catch (const std::bad_alloc&) {
    return sys::PictureFailure(sys::kPictureOutOfMemory);
  }
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
