#include "toolkit/file_lists.h"

#include <algorithm>
#include <cwctype>

#include "system/system.h"

namespace pelnoro::tk {

namespace {

const std::wstring kNoText;

wchar_t upper(wchar_t c) {
  return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

bool sameText(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return upper(x) == upper(y); });
}

bool lessText(const std::wstring& a, const std::wstring& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](wchar_t x, wchar_t y) { return upper(x) < upper(y); });
}

bool hasDriveLetter(const std::wstring& p) {
  return p.size() >= 2 && p[1] == L':' && std::iswalpha(static_cast<wint_t>(p[0]));
}

// Length of the part that names the root: "C:\" or "\\server\share\".
std::size_t rootLength(const std::wstring& p) {
  if (hasDriveLetter(p)) return p.size() >= 3 && p[2] == L'\\' ? 3 : 2;
  if (p.rfind(L"\\\\", 0) == 0) {
    const auto server = p.find(L'\\', 2);
    if (server == std::wstring::npos) return p.size();
    const auto share = p.find(L'\\', server + 1);
    return share == std::wstring::npos ? p.size() : share + 1;
  }
  return !p.empty() && p[0] == L'\\' ? 1 : 0;
}

bool wildcard(const wchar_t* name, const wchar_t* pat) {
  // Iterative matching with one backtrack point for the last star.
  const wchar_t* star = nullptr;
  const wchar_t* resume = nullptr;
  while (*name) {
    if (*pat == L'*') {
      star = pat++;
      resume = name;
    } else if (*pat == L'?' || (*pat && upper(*pat) == upper(*name))) {
      ++pat;
      ++name;
    } else if (star) {
      pat = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pat == L'*') ++pat;
  return *pat == 0;
}

}  // namespace

std::wstring NormalizeFolder(const std::wstring& path) {
  std::wstring p = path;
  std::replace(p.begin(), p.end(), L'/', L'\\');
  if (hasDriveLetter(p)) {
    p[0] = upper(p[0]);
    if (p.size() == 2) p += L'\\';
  }
  const std::size_t keep = std::max<std::size_t>(rootLength(p), 1);
  while (p.size() > keep && p.back() == L'\\') p.pop_back();
  return p;
}

std::wstring DriveOf(const std::wstring& path) {
  if (!hasDriveLetter(path)) return L"";
  return std::wstring(1, upper(path[0])) + L":";
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty() || folder.back() == L'\\') return folder + name;
  return folder + L"\\" + name;
}

bool MatchesPattern(const std::wstring& name, const std::wstring& patterns) {
  std::size_t start = 0;
  bool any = false;
  while (start <= patterns.size()) {
    auto end = patterns.find(L';', start);
    if (end == std::wstring::npos) end = patterns.size();
    std::wstring p = patterns.substr(start, end - start);
    p.erase(0, p.find_first_not_of(L' '));
    p.erase(p.find_last_not_of(L' ') + 1);
    if (!p.empty()) {
      any = true;
      // "*.*" also matches names without a dot, as the platform's lists do.
      if (p == L"*.*") p = L"*";
      if (wildcard(name.c_str(), p.c_str())) return true;
    }
    start = end + 1;
  }
  return !any;
}

void FileSystemList::setSystem(sys::System& system) {
  system_ = &system;
  refresh();
}

const std::wstring& FileSystemList::list(int i) const {
  if (i < 0 || i >= listCount()) return kNoText;
  return rows_[static_cast<std::size_t>(i)];
}

void FileSystemList::setListIndex(int i) {
  if (i < -1 || i >= listCount()) i = -1;
  if (i == listIndex_) return;
  listIndex_ = i;
  changed(Prop::Selection);
}

void FileSystemList::clickRow(int i) {
  if (i < 0 || i >= listCount()) return;
  setListIndex(i);
  raiseClick();
}

void FileSystemList::setRows(std::vector<std::wstring> rows, int selected) {
  rows_ = std::move(rows);
  listIndex_ = selected >= 0 && selected < listCount() ? selected : -1;
  changed(Prop::Items);
}

void DriveListBox::refresh() {
  if (!system_) return;
  const std::wstring current = drive();
  std::vector<std::wstring> rows;
  for (const auto& root : system_->listDrives()) {
    const auto d = DriveOf(root);
    if (!d.empty()) rows.push_back(d);
  }
  // Keep the chosen drive; the first time, start on the program's own drive.
  const std::wstring want = current.empty() ? DriveOf(system_->exeFolder()) : current;
  int selected = rows.empty() ? -1 : 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i] == want) selected = static_cast<int>(i);
  }
  setRows(std::move(rows), selected);
}

bool DriveListBox::setDrive(const std::wstring& pathOrDrive) {
  const std::wstring d = DriveOf(pathOrDrive);
  if (d.empty()) return false;
  for (int i = 0; i < listCount(); ++i) {
    if (list(i) != d) continue;
    if (i != listIndex()) {
      setListIndex(i);
      if (onChange) onChange();
    }
    return true;
  }
  return false;
}

bool FileSystemList::showFolder(std::wstring& folder, const std::wstring& path, bool& moved) {
  moved = false;
  const std::wstring n = NormalizeFolder(path);
  if (n.empty()) return false;
  if (system_ && !system_->folderExists(n)) return false;
  if (sameText(n, folder)) return true;
  folder = n;
  moved = true;
  refresh();
  return true;
}

bool DirListBox::setPath(const std::wstring& path) {
  bool moved = false;
  if (!showFolder(path_, path, moved)) return false;
  if (moved && onChange) onChange();
  return true;
}

int DirListBox::depth(int i) const {
  if (i < 0 || i >= listCount()) return 0;
  return i <= currentRow_ ? i : currentRow_ + 1;
}

void DirListBox::openRow(int i) {
  if (i < 0 || i >= listCount()) return;
  // A folder removed meanwhile: show what is there now.
  if (!setPath(list(i))) refresh();
}

void DirListBox::refresh() {
  std::vector<std::wstring> rows;
  if (!path_.empty()) {
    const std::size_t root = rootLength(path_);
    if (root == 0) {
      rows.push_back(path_);
    } else {
      rows.push_back(path_.substr(0, root));
      for (auto slash = path_.find(L'\\', root); slash != std::wstring::npos;
           slash = path_.find(L'\\', slash + 1)) {
        rows.push_back(path_.substr(0, slash));
      }
      if (path_.size() > root) rows.push_back(path_);
    }
  }
  currentRow_ = static_cast<int>(rows.size()) - 1;
  if (system_ && !path_.empty()) {
    auto names = system_->listFolders(path_);
    std::stable_sort(names.begin(), names.end(), lessText);
    for (const auto& name : names) rows.push_back(JoinPath(path_, name));
  }
  setRows(std::move(rows), currentRow_);
}

bool FileListBox::setPath(const std::wstring& path) {
  bool moved = false;
  if (!showFolder(path_, path, moved)) return false;
  if (moved && onPathChange) onPathChange();
  return true;
}

void FileListBox::setPattern(std::wstring patterns) {
  if (patterns == pattern_) return;
  pattern_ = std::move(patterns);
  refresh();
}

void FileListBox::openRow(int i) {
  if (i < 0 || i >= listCount()) return;
  setListIndex(i);
  raiseDblClick();
}

void FileListBox::refresh() {
  std::vector<std::wstring> rows;
  if (system_ && !path_.empty()) {
    for (auto& name : system_->listFiles(JoinPath(path_, L""))) {
      if (MatchesPattern(name, pattern_)) rows.push_back(std::move(name));
    }
    std::stable_sort(rows.begin(), rows.end(), lessText);
  }
  setRows(std::move(rows), -1);
}

}  // namespace pelnoro::tk
