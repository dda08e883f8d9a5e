// The Windows writer: the program's saves and the DC entry points of the library.
#include <windows.h>

#include <cwchar>
#include <string>

#include "encoder/file_writer.h"

namespace pelnoro::encoder {
namespace {

// Creates a file of its own beside the target, never one that exists.
HANDLE CreateTemporary(const std::wstring& target, std::wstring& temporary) {
  const auto slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
  static unsigned counter = 0;
  const unsigned seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (;;) {
    wchar_t name[32];
    std::swprintf(name, 32, L"~pelnoro%08x.tmp", seed + 0x9E3779B9u * ++counter);
    temporary = folder + name;
    HANDLE h = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
  }
}

bool WriteAll(HANDLE h, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    // WriteFile counts in 32 bits.
    const DWORD chunk = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : 1u << 30);
    DWORD written = 0;
    if (!WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes = bytes.subspan(written);
  }
  return true;
}

}  // namespace

Error WriteFileReplacing(const std::wstring& target, std::span<const std::uint8_t> bytes) {
  if (target.empty() || target.back() == L'\\' || target.back() == L'/')
    return Error::kCannotCreateFile;
  // A read-only file or a folder of that name is never replaced. Windows refuses the
  // rename then, but Wine renames over a read-only file, so ask first.
  const DWORD existing = GetFileAttributesW(target.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES &&
      (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return Error::kCannotReplace;
  }
  std::wstring temporary;
  HANDLE h = CreateTemporary(target, temporary);
  if (h == INVALID_HANDLE_VALUE) return Error::kCannotCreateFile;
  // A full disk shows up in the write or the flush.
  bool ok = WriteAll(h, bytes);
  ok = FlushFileBuffers(h) && ok;
  ok = CloseHandle(h) && ok;
  if (!ok) {
    DeleteFileW(temporary.c_str());
    return Error::kWriteFailed;
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return Error::kCannotReplace;
  }
  return Error::kOk;
}

}  // namespace pelnoro::encoder
