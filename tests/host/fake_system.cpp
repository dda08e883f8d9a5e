#include "fake_system.h"

#include <cwctype>
#include <utility>

namespace pelnoro::testing {

std::wstring FakeSystem::key(std::wstring path) {
  for (auto& c : path) {
    if (c == L'/') c = L'\\';
    c = static_cast<wchar_t>(std::towupper(c));
  }
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

int FakeSystem::messageBox(const std::wstring& text, const std::wstring& title, unsigned style) {
  messages.push_back({text, title, style});
  if (answers.empty()) return sys::kIdOk;
  const int a = answers.front();
  answers.pop_front();
  return a;
}

image::Surface FakeSystem::captureScreen(int x, int y, int width, int height) {
  if (onCaptureScreen) onCaptureScreen();
  image::Surface s(width, height, 0);
  for (int yy = 0; yy < height; ++yy) {
    for (int xx = 0; xx < width; ++xx) {
      const auto p = screen.pixel(x + xx, y + yy);
      s.setPixel(xx, yy, p < 0 ? 0 : static_cast<std::uint32_t>(p));
    }
  }
  return s;
}

void FakeSystem::doEvents() {
  if (userActions.empty()) return;
  auto action = std::move(userActions.front());
  userActions.pop_front();
  action();
}

void FakeSystem::waitEvents() {
  if (userActions.empty()) throw NothingToDo();
  doEvents();
}

bool FakeSystem::fileExists(const std::wstring& path) {
  return files_.count(key(path)) > 0;
}

bool FakeSystem::folderExists(const std::wstring& path) {
  const auto k = key(path);
  if (k.size() == 3 && k[1] == L':' && k[2] == L'\\') return driveReady(k);
  return folders_.count(k) > 0;
}

std::vector<std::wstring> FakeSystem::listFiles(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  std::wstring folder = key(pattern);
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  for (const auto& [k, v] : files_) {
    const auto slash = k.rfind(L'\\');
    if (slash == std::wstring::npos || k.substr(0, slash) != folder) continue;
    // Listed as first spelled, as the file system keeps a name's letter case.
    const auto it = fileSpelling_.find(k);
    names.push_back(it == fileSpelling_.end() ? k.substr(slash + 1) : it->second);
  }
  return names;
}

bool FakeSystem::createFolder(const std::wstring& path) {
  const auto k = key(path);
  const auto slash = k.rfind(L'\\');
  if (slash == std::wstring::npos || slash + 1 == k.size()) return false;
  const std::wstring parent = slash == 2 ? k.substr(0, 3) : k.substr(0, slash);
  if (!folderExists(parent) || folders_.count(k) || files_.count(k)) return false;
  if (k.find_first_of(L"<>:\"|?*", 3) != std::wstring::npos) return false;
  for (const auto& r : refusedFolders) {
    if (key(r) == k) return false;
  }
  folders_[k] = true;
  folderSpelling_.emplace(k, path.substr(0, k.size()));
  return true;
}

bool FakeSystem::driveReady(const std::wstring& root) {
  const auto k = key(root);
  bool present = false;
  for (const auto& d : drives) present = present || key(d) == k;
  for (const auto& d : notReadyDrives) present = present && key(d) != k;
  return present;
}

std::vector<std::wstring> FakeSystem::listFolders(const std::wstring& folder) {
  std::wstring parent = key(folder);
  if (parent.empty()) return {};
  if (parent.size() > 3 || parent.back() != L'\\') parent += L'\\';
  std::vector<std::wstring> names;
  for (const auto& [k, v] : folders_) {
    if (k.size() <= parent.size() || k.compare(0, parent.size(), parent) != 0) continue;
    if (k.find(L'\\', parent.size()) != std::wstring::npos) continue;
    const auto it = folderSpelling_.find(k);
    const std::wstring& spelled = it == folderSpelling_.end() ? k : it->second;
    names.push_back(spelled.substr(parent.size()));
  }
  return names;  // the map's order is the sorted, case-blind order
}

std::optional<std::string> FakeSystem::readFile(const std::wstring& path) {
  return file(path);
}

sys::WriteResult FakeSystem::writeFileReplacing(const std::wstring& path,
                                                std::span<const std::uint8_t> bytes) {
  if (failWrites) return failWith;
  const auto k = key(path);
  if (readOnly_.count(k) && files_.count(k)) return sys::WriteResult::kCannotReplace;
  if (folders_.count(k)) return sys::WriteResult::kCannotReplace;
  files_[k] = std::string(bytes.begin(), bytes.end());
  fileSpelling_.emplace(k, nameOf(path));
  // What was written is no longer the picture that was there.
  pictures_.erase(k);
  return sys::WriteResult::kOk;
}

sys::PictureLoad FakeSystem::loadPicture(const std::wstring& path, std::uint32_t background,
                                         int maxSide) {
  pictureRequests.push_back({path, background, maxSide});
  if (pictureError != 0) return {std::nullopt, pictureError, pictureErrorDescription};
  const auto k = key(path);
  if (!files_.count(k)) return sys::PictureFailure(sys::kPictureNotFound);
  const auto it = pictures_.find(k);
  if (it == pictures_.end()) return sys::PictureFailure(sys::kPictureNotPicture);
  const image::Surface& p = it->second;
  if (p.width() > maxSide || p.height() > maxSide) {
    return sys::PictureFailure(sys::kPictureTooLarge, p.width(), p.height(), maxSide);
  }
  return {p, sys::kPictureOk, L""};
}

void FakeSystem::putPicture(const std::wstring& path, image::Surface picture) {
  putFile(path, "picture");
  pictures_[key(path)] = std::move(picture);
}

void FakeSystem::setReadOnly(const std::wstring& path, bool readOnly) {
  if (readOnly) {
    readOnly_.insert(key(path));
  } else {
    readOnly_.erase(key(path));
  }
}

std::wstring FakeSystem::nameOf(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void FakeSystem::putFile(const std::wstring& path, std::string bytes) {
  files_[key(path)] = std::move(bytes);
  fileSpelling_[key(path)] = nameOf(path);
  pictures_.erase(key(path));
  const auto k = key(path);
  folders_[k.substr(0, k.rfind(L'\\'))] = true;
}

void FakeSystem::putFolder(const std::wstring& path) {
  // Every folder above it exists too, spelled as given.
  auto k = key(path);
  std::wstring spelled = path;
  for (auto& c : spelled) c = c == L'/' ? L'\\' : c;
  while (k.size() > 3) {
    folders_[k] = true;
    folderSpelling_.emplace(k, spelled.substr(0, k.size()));
    const auto slash = k.rfind(L'\\');
    if (slash == std::wstring::npos) break;
    k.resize(slash);
  }
}

std::optional<std::string> FakeSystem::file(const std::wstring& path) const {
  const auto it = files_.find(key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

}  // namespace pelnoro::testing
