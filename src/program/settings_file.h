// The settings file and the save log as data: their lines read into the settings and
// the folder history, and the lines written back from them. Read at start, written at
// exit; the two functions at the end do the reading and writing of the files.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "program/settings.h"
#include "system/system.h"

namespace pelnoro::program {

// Rows of the folder history after a start without a save log or after a save.
inline constexpr int kFolderHistoryRows = 16;

// The settings the file's lines give over `settings`: a line's key is the first of
// 画像形式, ファイル名, 自動ナンバリング, 保存先, 解像度 it holds anywhere, its value
// everything after the first "=" (all of it without one); the last line of a key wins,
// an unknown format keeps the one before, numbering is on for "する" only. Every other
// field keeps its value.
Settings ApplySettingsLines(const std::vector<std::wstring>& lines, Settings settings);

// X and Y of the first position line, in twips.
std::optional<std::pair<long, long>> WindowPositionOf(const std::vector<std::wstring>& lines);
// The position value of a settings line: "X-Y", a leading minus belonging to X.
std::pair<long, long> ParsePositionValue(const std::wstring& line);

// The six settings lines (five when no format is chosen) for the settings and the main
// window's place in twips. The file is Shift_JIS: a save folder or file name it cannot
// hold is written as keptFolder or keptFileName, the last one it could, so that it never
// names another folder or a name no file can have ("e??").
std::vector<std::wstring> SettingsLines(const Settings& settings, const std::wstring& keptFolder,
                                        const std::wstring& keptFileName, double left, double top);

// The history a start makes: the save log's non-empty lines, or without a save log the
// save folder and single spaces, 16 rows.
std::vector<std::wstring> FolderHistoryOf(const std::optional<std::vector<std::wstring>>& saveLog,
                                          const std::wstring& saveFolder);
// A save into `folder`: unless it stands first already (the comparison is exact), it
// becomes row 0, the old rows 0..13 follow and an empty row ends the 16. False when
// nothing changed.
bool PushFolderHistory(std::vector<std::wstring>& rows, const std::wstring& folder);

// What the program starts with.
struct StartSettings {
  std::vector<std::wstring> propertyLines;  // the file's non-empty lines, as read
  Settings settings;
  std::optional<std::pair<long, long>> windowPosition;
  std::vector<std::wstring> folderHistory;
};

// Reads the settings file and the save log beside the exe over `defaults`. A missing or
// unreadable settings file leaves the defaults; a save folder that lists no ordinary
// file is forgotten.
StartSettings ReadSettingsFiles(sys::System& sys, const Settings& defaults);
// Writes the settings file (the non-empty property lines and the comment line) and the
// save log (the non-empty rows the file can hold); false when either failed.
bool WriteSettingsFiles(sys::System& sys, const std::vector<std::wstring>& propertyLines,
                        const std::vector<std::wstring>& folderHistory);

}  // namespace pelnoro::program
