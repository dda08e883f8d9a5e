// The system interface for real, on Windows.
#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "system/system.h"

struct IWICImagingFactory;

namespace pelnoro::win32 {

class Win32System : public sys::System {
 public:
  Win32System();
  ~Win32System() override;

  int screenWidthPixels() override;
  int screenHeightPixels() override;
  double twipsPerPixelX() override { return tppX_; }
  double twipsPerPixelY() override { return tppY_; }
  image::Surface captureScreen(int x, int y, int width, int height) override;
  void clearClipboard() override;
  std::optional<image::Surface> clipboardBitmap() override;
  bool setClipboardBitmap(const image::Surface& picture) override;
  sys::ScreenPoint cursorPosition() override;
  void setCursorPosition(sys::ScreenPoint at) override;
  bool registerHotKey(int keyCode, std::function<void()> pressed) override;
  int osMajorVersion() override;
  bool previousInstanceRunning() override;
  int messageBox(const std::wstring& text, const std::wstring& title, unsigned style) override;
  void doEvents() override;
  void waitEvents() override;
  void quit() override;
  bool quitting() const { return quitting_; }

  std::wstring exeFolder() override;
  bool fileExists(const std::wstring& path) override;
  bool folderExists(const std::wstring& path) override;
  std::vector<std::wstring> listFiles(const std::wstring& pattern) override;
  bool createFolder(const std::wstring& path) override;
  std::vector<std::wstring> listDrives() override;
  bool driveReady(const std::wstring& root) override;
  std::vector<std::wstring> listFolders(const std::wstring& folder) override;
  std::optional<std::string> readFile(const std::wstring& path) override;
  sys::WriteResult writeFileReplacing(const std::wstring& path,
                                      std::span<const std::uint8_t> bytes) override;
  sys::PictureLoad loadPicture(const std::wstring& path, std::uint32_t background,
                               int maxSide) override;
  int shellOpen(const std::wstring& path, int showCommand) override;
  sys::LocalTime now() override;

  // Runs the message loop until quit.
  int run();

 private:
  bool pump(bool wait);
  // A hot key or a key for a form: handled here, not dispatched.
  bool takeMessage(const MSG& msg);
  bool openClipboard();
  // COM on this (the user-interface) thread, started on first need.
  void ensureCom();
  IWICImagingFactory* imagingFactory();
  double tppX_ = 15, tppY_ = 15;
  // Owns what the program puts on the clipboard: with no owner the system
  // may refuse the data.
  HWND clipboardOwner_ = nullptr;
  HANDLE instanceMutex_ = nullptr;
  bool quitting_ = false;
  bool otherInstance_ = false;
  bool comTried_ = false;
  bool comOwned_ = false;  // ours to end
  IWICImagingFactory* wic_ = nullptr;
  // Hot keys by their id, posted to this thread.
  std::map<int, std::function<void()>> hotKeys_;
};

}  // namespace pelnoro::win32
