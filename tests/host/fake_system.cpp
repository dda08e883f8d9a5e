#include "fake_system.h"

#include <cwctype>

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

void FakeSystem::copyScreenToClipboard(int x, int y, int width, int height) {
  image::Surface s(width, height, 0);
  for (int yy = 0; yy < height; ++yy) {
    for (int xx = 0; xx < width; ++xx) {
      const auto p = screen.pixel(x + xx, y + yy);
      s.setPixel(xx, yy, p < 0 ? 0 : static_cast<std::uint32_t>(p));
    }
  }
  clipboard = std::move(s);
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

bool FakeSystem::fileExists(const std::wstring& path) { return files_.count(key(path)) > 0; }

bool FakeSystem::folderExists(const std::wstring& path) { return folders_.count(key(path)) > 0; }

std::vector<std::wstring> FakeSystem::listFiles(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  std::wstring folder = key(pattern);
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  for (const auto& [k, v] : files_) {
    const auto slash = k.rfind(L'\\');
    if (slash != std::wstring::npos && k.substr(0, slash) == folder) names.push_back(k.substr(slash + 1));
  }
  return names;
}

bool FakeSystem::createFolder(const std::wstring& path) {
  folders_[key(path)] = true;
  return true;
}

std::optional<std::string> FakeSystem::readFile(const std::wstring& path) { return file(path); }

bool FakeSystem::writeFileReplacing(const std::wstring& path, const std::string& bytes) {
  if (failWrites) return false;
  files_[key(path)] = bytes;
  return true;
}

void FakeSystem::putFile(const std::wstring& path, std::string bytes) {
  files_[key(path)] = std::move(bytes);
  const auto k = key(path);
  folders_[k.substr(0, k.rfind(L'\\'))] = true;
}

void FakeSystem::putFolder(const std::wstring& path) { folders_[key(path)] = true; }

std::optional<std::string> FakeSystem::file(const std::wstring& path) const {
  const auto it = files_.find(key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

}  // namespace pelnoro::testing
