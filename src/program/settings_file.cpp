#include "program/settings_file.h"

#include "program/texts.h"
#include "system/number_text.h"
#include "system/text_file.h"

namespace pelnoro::program {

namespace {

bool contains(const std::wstring& s, const wchar_t* what) {
  return s.find(what) != std::wstring::npos;
}

std::wstring valueOf(const std::wstring& line) {
  const auto eq = line.find(L'=');
  return eq == std::wstring::npos ? line : line.substr(eq + 1);
}

std::optional<SaveFormat> formatNamed(const std::wstring& value) {
  if (value == text::kFormatClipboard) return SaveFormat::kClipboard;
  if (value == text::kFormatJpeg) return SaveFormat::kJpeg;
  if (value == text::kFormatBmp) return SaveFormat::kBmp;
  if (value == text::kFormatPng) return SaveFormat::kPng;
  return std::nullopt;
}

const wchar_t* formatName(SaveFormat format) {
  switch (format) {
    case SaveFormat::kClipboard:
      return text::kFormatClipboard;
    case SaveFormat::kJpeg:
      return text::kFormatJpeg;
    case SaveFormat::kBmp:
      return text::kFormatBmp;
    case SaveFormat::kPng:
      return text::kFormatPng;
    case SaveFormat::kNone:
      break;
  }
  return nullptr;
}

std::wstring line(const wchar_t* key, const std::wstring& value) {
  return std::wstring(key) + L"=" + value;
}

}  // namespace

Settings ApplySettingsLines(const std::vector<std::wstring>& lines, Settings settings) {
  for (const auto& l : lines) {
    const std::wstring value = valueOf(l);
    if (contains(l, text::kKeyFormat)) {
      if (const auto format = formatNamed(value)) settings.format = *format;
    } else if (contains(l, text::kKeyFileName)) {
      settings.fileName = value;
    } else if (contains(l, text::kKeyNumbering)) {
      settings.autoNumbering = value == text::kNumberingOn;
    } else if (contains(l, text::kKeyFolder)) {
      settings.saveFolder = value;
    } else if (contains(l, text::kKeyQuality)) {
      settings.jpegQuality = value;
    }
  }
  return settings;
}

std::pair<long, long> ParsePositionValue(const std::wstring& l) {
  const std::wstring value = valueOf(l);
  // The separator is the first "-" after at least one character of X.
  const auto sep = value.size() > 1 ? value.find(L'-', 1) : std::wstring::npos;
  const std::wstring x = sep == std::wstring::npos ? value : value.substr(0, sep);
  const std::wstring y = sep == std::wstring::npos ? std::wstring() : value.substr(sep + 1);
  return {sys::RoundHalfEven(sys::LenientNumber(x)), sys::RoundHalfEven(sys::LenientNumber(y))};
}

std::optional<std::pair<long, long>> WindowPositionOf(const std::vector<std::wstring>& lines) {
  for (const auto& l : lines) {
    if (contains(l, text::kKeyPosition)) return ParsePositionValue(l);
  }
  return std::nullopt;
}

std::vector<std::wstring> SettingsLines(const Settings& settings, const std::wstring& keptFolder,
                                        const std::wstring& keptFileName, double left, double top) {
  std::vector<std::wstring> lines;
  if (const wchar_t* format = formatName(settings.format)) {
    lines.push_back(line(text::kKeyFormat, format));
  }
  lines.push_back(line(text::kKeyFileName,
                       sys::fitsCp932(settings.fileName) ? settings.fileName : keptFileName));
  lines.push_back(
      line(text::kKeyNumbering, settings.autoNumbering ? text::kNumberingOn : text::kNumberingOff));
  lines.push_back(line(text::kKeyFolder,
                       sys::fitsCp932(settings.saveFolder) ? settings.saveFolder : keptFolder));
  lines.push_back(line(text::kKeyQuality, settings.jpegQuality));
  lines.push_back(line(text::kKeyPosition, sys::SingleText(left) + L"-" + sys::SingleText(top)));
  return lines;
}

std::vector<std::wstring> FolderHistoryOf(const std::optional<std::vector<std::wstring>>& saveLog,
                                          const std::wstring& saveFolder) {
  std::vector<std::wstring> rows;
  if (saveLog) {
    for (const auto& l : *saveLog) {
      if (!l.empty()) rows.push_back(l);
    }
  } else {
    rows.push_back(saveFolder);
    rows.resize(kFolderHistoryRows, L" ");
  }
  return rows;
}

bool PushFolderHistory(std::vector<std::wstring>& rows, const std::wstring& folder) {
  if (!rows.empty() && rows[0] == folder) return false;
  // The old rows 0..13 move down one; a short history counts as empty rows.
  rows.resize(kFolderHistoryRows - 2);
  rows.insert(rows.begin(), folder);
  rows.push_back(L"");
  return true;
}

StartSettings ReadSettingsFiles(sys::System& sys, const Settings& defaults) {
  StartSettings start;
  if (const auto lines = sys::readTextLines(sys, sys.exeFolder() + text::kSettingsFile)) {
    for (const auto& l : *lines) {
      if (!l.empty()) start.propertyLines.push_back(l);
    }
  }
  start.windowPosition = WindowPositionOf(start.propertyLines);
  start.settings = ApplySettingsLines(start.propertyLines, defaults);
  std::wstring& folder = start.settings.saveFolder;
  if (!folder.empty() && sys.listFiles(folder).empty()) folder.clear();
  const std::wstring logPath = sys.exeFolder() + text::kSaveLogFile;
  const auto log = sys.fileExists(logPath) ? sys::readTextLines(sys, logPath) : std::nullopt;
  start.folderHistory = FolderHistoryOf(log, folder);
  return start;
}

bool WriteSettingsFiles(sys::System& sys, const std::vector<std::wstring>& propertyLines,
                        const std::vector<std::wstring>& folderHistory) {
  std::vector<std::wstring> lines;
  for (const auto& l : propertyLines) {
    if (!l.empty()) lines.push_back(l);
  }
  lines.push_back(text::kSettingsComment);
  const bool settingsOk = sys::writeTextLines(sys, sys.exeFolder() + text::kSettingsFile, lines);

  std::vector<std::wstring> log;
  for (const auto& row : folderHistory) {
    // A row the file cannot hold would come back as another folder.
    if (!row.empty() && sys::fitsCp932(row)) log.push_back(row);
  }
  const bool logOk = sys::writeTextLines(sys, sys.exeFolder() + text::kSaveLogFile, log);
  return settingsOk && logOk;
}

}  // namespace pelnoro::program
