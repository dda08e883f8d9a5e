// Drive, folder and file lists. They read the file system through the system
// interface, so headless forms list the fake's drives and folders exactly as
// the native lists show the real ones.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/control.h"

namespace pelnoro::sys {
class System;
}

namespace pelnoro::tk {

// "C:\pics\" and "c:/pics" become "C:\pics"; "C:" and "C:\" become "C:\".
// A drive root keeps its backslash, other folders lose theirs.
std::wstring NormalizeFolder(const std::wstring& path);
// "C:" for any path on drive C, "" for a path without a drive letter.
std::wstring DriveOf(const std::wstring& path);
// A folder and a name inside it, with exactly one backslash between them.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// Patterns such as "*.*" or "*.jpg;*.png", compared without regard to case.
bool MatchesPattern(const std::wstring& name, const std::wstring& patterns);

// Rows, a selection and the system the rows come from.
class FileSystemList : public Control {
 public:
  using Control::Control;
  void setSystem(sys::System& system);
  int listCount() const { return static_cast<int>(rows_.size()); }
  // The row's text; "" outside the list.
  const std::wstring& list(int i) const;
  const std::vector<std::wstring>& items() const { return rows_; }
  // -1 when no row is selected. Setting it does not raise Click.
  int listIndex() const { return listIndex_; }
  void setListIndex(int i);
  // What a user's click on a row (or moving to it with the keys) does:
  // select it, then Click.
  void clickRow(int i);
  // Reads the rows again (a folder was created or a medium inserted).
  virtual void refresh() = 0;

 protected:
  void setRows(std::vector<std::wstring> rows, int selected);
  // Makes `folder` the folder the list shows: false for one that does not exist
  // (nothing changes); `moved` tells whether it differs from the one shown before,
  // in which case the rows are read again.
  bool showFolder(std::wstring& folder, const std::wstring& path, bool& moved);
  sys::System* system_ = nullptr;

 private:
  std::vector<std::wstring> rows_;
  int listIndex_ = -1;
};

// The drives present. Rows are drive texts such as "C:".
class DriveListBox : public FileSystemList {
 public:
  using FileSystemList::FileSystemList;
  Kind kind() const override { return Kind::DriveList; }
  // The chosen drive, "C:"; "" before a system is set.
  const std::wstring& drive() const { return list(listIndex()); }
  // Takes the drive part of a path or drive text ("D:\pics" chooses "D:").
  // Raises Change when the drive differs; false when no such drive is present.
  bool setDrive(const std::wstring& pathOrDrive);
  // A user's choice of a row in the drop-down list.
  void chooseRow(int i) { setDrive(list(i)); }
  void refresh() override;
  std::function<void()> onChange;
};

// The current folder with every folder above it (open) and the folders in it
// (closed). Rows are full paths: the root, each folder down to the current
// one, then its subfolders.
class DirListBox : public FileSystemList {
 public:
  using FileSystemList::FileSystemList;
  Kind kind() const override { return Kind::DirList; }
  // "C:\pics", or "C:\" at a drive root.
  const std::wstring& path() const { return path_; }
  // A drive text ("D:") goes to that drive's root. Raises Change when the
  // folder differs; a folder that does not exist leaves the list as it was
  // and returns false.
  bool setPath(const std::wstring& path);
  // The row of the current folder; the rows after it are its subfolders.
  int currentRow() const { return currentRow_; }
  // How far a row is indented: 0 for the root.
  int depth(int i) const;
  // Enters the row's folder, as a double click or Enter does.
  void openRow(int i);
  void refresh() override;
  std::function<void()> onChange;

 private:
  std::wstring path_;
  int currentRow_ = -1;
};

// The ordinary files of a folder that match the pattern. Rows are file names.
class FileListBox : public FileSystemList {
 public:
  using FileSystemList::FileSystemList;
  Kind kind() const override { return Kind::FileList; }
  const std::wstring& path() const { return path_; }
  // Raises PathChange when the folder differs; a folder that does not exist
  // leaves the list as it was and returns false.
  bool setPath(const std::wstring& path);
  const std::wstring& pattern() const { return pattern_; }
  void setPattern(std::wstring patterns);
  // The selected file's name, "" when none is selected.
  const std::wstring& fileName() const { return list(listIndex()); }
  // Opens the row's file, as a double click or Enter does: select, DblClick.
  void openRow(int i);
  void refresh() override;
  std::function<void()> onPathChange;

 private:
  std::wstring path_;
  std::wstring pattern_ = L"*.*";
};

}  // namespace pelnoro::tk
