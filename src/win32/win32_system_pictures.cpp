// The system's picture loading: the file read, its headers checked, the WIC decoder,
// the frame shown as the file means it.
#include <wincodec.h>

#include <new>

#include "image/picture_header.h"
#include "system/picture_memory.h"
#include "win32/wic_decoder.h"
#include "win32/win32_system.h"

namespace pelnoro::win32 {

namespace {

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
          if (image::IdentifyPicture(bytes) == image::PictureFormat::kUnknown) break;
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

}  // namespace

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
    const image::HeaderCheck header = image::CheckPictureHeader(bytes, maxSide);
    switch (header.verdict) {
      case image::HeaderCheck::Verdict::kNotPicture:
        return sys::PictureFailure(sys::kPictureNotPicture);
      case image::HeaderCheck::Verdict::kTooLarge:
        return sys::PictureFailure(sys::kPictureTooLarge, header.width, header.height, maxSide);
      case image::HeaderCheck::Verdict::kDecodable:
        break;
    }
    // Refused before decoding: a picture the free memory cannot hold would only fail
    // part way, or push the system into paging.
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    if (GlobalMemoryStatusEx(&memory)) {
      if (auto refused = sys::RefusedForMemory(header.width, header.height, memory.ullAvailPhys)) {
        return std::move(*refused);
      }
    }
    sys::PictureLoad decoded =
        DecodeWithWic(imagingFactory(), bytes, header.format, background, maxSide);
    if (decoded.picture) {
      decoded.picture =
          image::AsTheFileShowsIt(std::move(*decoded.picture), header.format, bytes, background);
    }
    return decoded;
  } catch (const std::bad_alloc&) {
    return sys::PictureFailure(sys::kPictureOutOfMemory);
  }
}

}  // namespace pelnoro::win32
