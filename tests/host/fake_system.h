// A scripted system for host tests: a given screen, an in-memory file system
// with Windows path rules, queued message-box answers and a pump that runs
// queued user actions.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "system/system.h"

namespace pelnoro::testing {

struct ShownMessage {
  std::wstring text;
  std::wstring title;
  unsigned style;
};

struct PictureRequest {
  std::wstring path;
  std::uint32_t background;
  int maxSide;
};

struct ShellOpenCall {
  std::wstring path;
  int showCommand;
};

// Thrown when a wait finds nothing left for the user to do: the test would hang.
struct NothingToDo : std::runtime_error {
  NothingToDo() : std::runtime_error("the program waits but the test queued no user action") {}
};

class FakeSystem : public sys::System {
 public:
  int screenW = 1920, screenH = 1080;
  double tpp = 15;
  int osMajor = 10;
  bool otherInstance = false;
  std::wstring exe = L"C:\\Program Files\\Pelnoro\\";
  std::vector<ShownMessage> messages;
  std::deque<int> answers;  // message-box answers; OK when empty
  std::deque<std::function<void()>> userActions;
  bool quitCalled = false;
  bool failWrites = false;  // every write then fails with failWith
  sys::WriteResult failWith = sys::WriteResult::kWriteFailed;

  int screenWidthPixels() override { return screenW; }
  int screenHeightPixels() override { return screenH; }
  double twipsPerPixelX() override { return tpp; }
  double twipsPerPixelY() override { return tpp; }
  image::Surface screen{1920, 1080, 0x00808080};
  std::optional<image::Surface> clipboard;
  bool clipboardFails = false;
  image::Surface captureScreen(int x, int y, int width, int height) override;
  std::function<void()> onCaptureScreen;  // called at each copy of the screen
  void clearClipboard() override { clipboard.reset(); }
  std::optional<image::Surface> clipboardBitmap() override { return clipboard; }
  bool setClipboardBitmap(const image::Surface& picture) override {
    if (clipboardFails) return false;
    clipboard = picture;
    return true;
  }
  sys::ScreenPoint cursor;  // kept on the screen, as the platform keeps it
  sys::ScreenPoint cursorPosition() override { return cursor; }
  void setCursorPosition(sys::ScreenPoint at) override {
    cursor = {std::clamp(at.x, 0, screenW - 1), std::clamp(at.y, 0, screenH - 1)};
  }
  std::set<int> hotKeysTaken;  // by other programs
  std::map<int, std::function<void()>> hotKeys;
  bool registerHotKey(int keyCode, std::function<void()> pressed) override {
    return !hotKeysTaken.count(keyCode) && hotKeys.emplace(keyCode, std::move(pressed)).second;
  }
  int osMajorVersion() override { return osMajor; }
  bool previousInstanceRunning() override { return otherInstance; }
  int messageBox(const std::wstring& text, const std::wstring& title, unsigned style) override;
  void doEvents() override;
  void waitEvents() override;
  void quit() override { quitCalled = true; }

  std::wstring exeFolder() override { return exe; }
  bool fileExists(const std::wstring& path) override;
  bool folderExists(const std::wstring& path) override;
  std::vector<std::wstring> listFiles(const std::wstring& pattern) override;
  // One level only, as the platform does: the parent must exist.
  bool createFolder(const std::wstring& path) override;
  std::vector<std::wstring> drives{L"C:\\"};
  std::vector<std::wstring> notReadyDrives;  // roots without a medium
  std::vector<std::wstring> refusedFolders;  // creation fails (no permission)
  std::vector<std::wstring> listDrives() override { return drives; }
  bool driveReady(const std::wstring& root) override;
  std::vector<std::wstring> listFolders(const std::wstring& folder) override;
  std::optional<std::string> readFile(const std::wstring& path) override;
  // A read-only file or a folder of that name is not replaced (kCannotReplace).
  sys::WriteResult writeFileReplacing(const std::wstring& path,
                                      std::span<const std::uint8_t> bytes) override;

  // Pictures are the files given by putPicture (already decoded, no transparency);
  // any other existing file is no picture. A set pictureError makes every load
  // fail with it and pictureErrorDescription.
  long pictureError = 0;
  std::wstring pictureErrorDescription;
  std::vector<PictureRequest> pictureRequests;
  sys::PictureLoad loadPicture(const std::wstring& path, std::uint32_t background,
                               int maxSide) override;

  std::vector<ShellOpenCall> shellOpened;
  int shellOpenResult = 42;  // above 32: started
  int shellOpen(const std::wstring& path, int showCommand) override {
    shellOpened.push_back({path, showCommand});
    return shellOpenResult;
  }

  sys::LocalTime clock{2024, 3, 15, 9, 30, 5};
  sys::LocalTime now() override { return clock; }

  // Test helpers.
  void putFile(const std::wstring& path, std::string bytes);
  void putFolder(const std::wstring& path);
  // A picture file: its file exists (with placeholder bytes) and loads as `picture`.
  void putPicture(const std::wstring& path, image::Surface picture);
  void setReadOnly(const std::wstring& path, bool readOnly = true);
  std::optional<std::string> file(const std::wstring& path) const;

 private:
  static std::wstring key(std::wstring path);
  static std::wstring nameOf(const std::wstring& path);
  std::map<std::wstring, std::string> files_;
  std::map<std::wstring, std::wstring> fileSpelling_;  // key -> name as first given
  std::map<std::wstring, image::Surface> pictures_;
  std::set<std::wstring> readOnly_;
  std::map<std::wstring, bool> folders_;
  std::map<std::wstring, std::wstring> folderSpelling_;  // key -> path as first given
};

}  // namespace pelnoro::testing
