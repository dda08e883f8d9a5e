// The outside world as the program sees it. The Win32 layer implements it for
// real; tests use a scripted fake.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
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
// A read-only target or a folder of that name is never replaced (kCannotReplace).
enum class WriteResult { kOk, kCannotCreate, kWriteFailed, kCannotReplace };

// The bytes of a text that is already in its file's encoding.
inline std::span<const std::uint8_t> BytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Why a picture file could not be loaded: the number the error message shows.
enum PictureError : long {
  kPictureOk = 0,
  kPictureOutOfMemory = 7,
  kPictureNotFound = 53,
  kPictureCannotRead = 75,   // a folder, locked, no permission, a read error
  kPictureTooLarge = 480,    // wider or higher than the caller allows
  kPictureNotPicture = 481,  // no format we read, or damaged or cut short
};

// What loading a picture file gave.
struct PictureLoad {
  std::optional<image::Surface> picture;  // 0x00BBGGRR pixels, top row first
  long error = 0;                         // 0, or a number for the message the program shows
  std::wstring description;  // a short Japanese description of the failure for the user
};

// The user's description of a picture error; the size only for kPictureTooLarge.
inline std::wstring PictureErrorDescription(long error, long long width = 0, long long height = 0,
                                            int maxSide = 0) {
  switch (error) {
    case kPictureOk:
      return L"";
    case kPictureOutOfMemory:
      return L"メモリが不足しています。";
    case kPictureNotFound:
      return L"ファイルが見つかりません。";
    case kPictureCannotRead:
      return L"ファイルを読み込めません。";
    case kPictureTooLarge:
      return L"画像が大きすぎます (" + std::to_wstring(width) + L"×" + std::to_wstring(height) +
             L")。最大 " + std::to_wstring(maxSide) + L" ピクセルまでです。";
    default:
      return L"画像ファイルとして読み込めません。";
  }
}

inline PictureLoad PictureFailure(long error, long long width = 0, long long height = 0,
                                  int maxSide = 0) {
  return {std::nullopt, error, PictureErrorDescription(error, width, height, maxSide)};
}

// A point on the primary screen, pixels.
struct ScreenPoint {
  int x = 0, y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

// Local wall-clock time, 24-hour clock; month and day count from 1.
struct LocalTime {
  int year, month, day, hour, minute, second;
};

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
  // The pixels of a rectangle of the primary screen as it shows now.
  virtual image::Surface captureScreen(int x, int y, int width, int height) = 0;
  virtual void clearClipboard() = 0;
  // The clipboard's bitmap, if it holds one.
  virtual std::optional<image::Surface> clipboardBitmap() = 0;
  virtual bool setClipboardBitmap(const image::Surface& picture) = 0;

  // The mouse pointer, and moving it as the mouse would.
  virtual ScreenPoint cursorPosition() = 0;
  virtual void setCursorPosition(ScreenPoint at) = 0;
  // A key that presses `pressed` whichever program has the focus, for as long as this
  // program runs. False when another program holds the key; nothing is registered then.
  virtual bool registerHotKey(int keyCode, std::function<void()> pressed) = 0;

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
  // Writes beside the target, flushed, and replaces it, so a failure keeps the old file.
  virtual WriteResult writeFileReplacing(const std::wstring& path,
                                         std::span<const std::uint8_t> bytes) = 0;

  // Pictures: BMP, JPEG (turned upright by its Exif orientation), GIF (first frame),
  // PNG, ICO (its largest image), TIFF (first page). Transparent pixels are laid
  // over `background`. A picture wider or higher than maxSide is refused before
  // its pixels are decoded.
  virtual PictureLoad loadPicture(const std::wstring& path, std::uint32_t background,
                                  int maxSide) = 0;
  // Opens a file or address with its associated program; the platform's result
  // (above 32 when it started).
  virtual int shellOpen(const std::wstring& path, int showCommand) = 0;

  virtual LocalTime now() = 0;
};

}  // namespace pelnoro::sys
