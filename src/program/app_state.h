// Program-wide state that the forms share.
#pragma once

#include <cstdint>
#include <string>

namespace pelnoro::program {

// The program tests its flags as 16-bit booleans.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

struct AppState {
  std::int16_t LayeredWindowsOK = kFalse;
  std::int16_t CaptureActive = kFalse;
  std::int16_t SelectDragging = kFalse;
  std::int16_t LinkModeActive = kFalse;
  // A change of the edit image is under way (a turn, a mosaic, a replace waiting for
  // its answer): a second one is held off until it has finished.
  std::int16_t ImageChanging = kFalse;

  // In-window prompt.
  std::wstring OnMsgTitle;
  std::wstring OnMsgComment;
  std::wstring OnMsgMode;
  std::wstring OnMsgAnswer;

  // Selection and the cut.
  std::int32_t FocusRect[4] = {0, 0, 0, 0};  // left, top, right, bottom (exclusive)
  std::int32_t CutLeft = 0, CutTop = 0, CutWidth = 0, CutHeight = 0;
  std::int32_t OriginalWidth = 0, OriginalHeight = 0;
  std::int32_t UndoWidth = 0, UndoHeight = 0;
  std::int32_t FitWidth = 0, FitHeight = 0;

  // Pending save.
  std::wstring SaveFileName;
  std::wstring SaveFileExt;
  std::wstring NumberText;
  std::int16_t SaveResult = 0;
  std::int16_t JpegProgressive = kFalse;
};

}  // namespace pelnoro::program
