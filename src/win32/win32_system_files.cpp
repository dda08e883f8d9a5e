// The system's file system: Windows paths, wide names, one writer of files.
#include <algorithm>
#include <iterator>

#include "encoder/file_writer.h"
#include "win32/win32_system.h"

namespace pelnoro::win32 {

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

}  // namespace pelnoro::win32
