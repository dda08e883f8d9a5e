// The outside world as the program sees it. The Win32 layer implements it for
// real; tests use a scripted fake.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "image/surface.h"

namespace pelnoro::sys {

// Message box styles and answers, with the platform's values.
enum MessageBoxStyle : unsigned {
  kMbOk = 0x0,
  kMbYesNo = 0x4,
  kMbIconStop = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconExclamation = 0x30,
  kMbIconInformation = 0x40,
  kMbDefButton2 = 0x100,
  kMbSetForeground = 0x10000,
};
enum MessageBoxAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// How a replacing write ended: which step failed, for the code shown to the user.
enum class WriteResult { kOk, kCannotCreate, kWriteFailed, kCannotReplace };

class System {
 public:
  virtual ~System() = default;

  // Display.
  virtual int screenWidthPixels() = 0;
  virtual int screenHeightPixels() = 0;
  virtual double twipsPerPixelX() = 0;
  virtual double twipsPerPixelY() = 0;
  double screenWidthTwips() { return screenWidthPixels() * twipsPerPixelX(); }
  double screenHeightTwips() { return screenHeightPixels() * twipsPerPixelY(); }

  // Screen and clipboard.
  // Copies a rectangle of the primary screen onto the clipboard as a bitmap.
  virtual void copyScreenToClipboard(int x, int y, int width, int height) = 0;
  virtual void clearClipboard() = 0;
  // The clipboard's bitmap, if it holds one.
  virtual std::optional<image::Surface> clipboardBitmap() = 0;
  virtual bool setClipboardBitmap(const image::Surface& picture) = 0;

  virtual int osMajorVersion() = 0;
  virtual bool previousInstanceRunning() = 0;

  // An empty title shows the application's title.
  virtual int messageBox(const std::wstring& text, const std::wstring& title, unsigned style) = 0;
  // Lets pending window events run once.
  virtual void doEvents() = 0;
  // Waits for at least one event, then runs what is pending: for loops that
  // wait on the user without spinning.
  virtual void waitEvents() = 0;
  // Ends the message loop; the program exits once the current handler returns.
  virtual void quit() = 0;

  // File system, with Windows path rules.
  virtual std::wstring exeFolder() = 0;  // ends with a backslash
  virtual bool fileExists(const std::wstring& path) = 0;
  virtual bool folderExists(const std::wstring& path) = 0;
  // Names of the ordinary files matching a pattern ("C:\pics\" lists that folder).
  virtual std::vector<std::wstring> listFiles(const std::wstring& pattern) = 0;
  virtual bool createFolder(const std::wstring& path) = 0;
  // Roots of the drives present ("C:\", "D:\"), in letter order.
  virtual std::vector<std::wstring> listDrives() = 0;
  // False for a drive without a medium or one that cannot be read now.
  virtual bool driveReady(const std::wstring& root) = 0;
  // Names of the folders held in a folder, without "." and "..", sorted.
  virtual std::vector<std::wstring> listFolders(const std::wstring& folder) = 0;
  virtual std::optional<std::string> readFile(const std::wstring& path) = 0;
  // Writes beside the target and replaces it, so a failure keeps the old file.
  virtual WriteResult writeFileReplacing(const std::wstring& path, const std::string& bytes) = 0;
};

}  // namespace pelnoro::sys
