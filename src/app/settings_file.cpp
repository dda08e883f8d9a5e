#include "app/settings_file.h"

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "app/texts.h"
#include "dialogs/form_property_box.h"
#include "system/number_text.h"
#include "system/text_file.h"

namespace pelnoro::app {

namespace {

constexpr int kHistoryRows = 16;

std::wstring settingsPath(Application& app) {
  return app.sys().exeFolder() + text::kSettingsFile;
}
std::wstring saveLogPath(Application& app) {
  return app.sys().exeFolder() + text::kSaveLogFile;
}

bool contains(const std::wstring& s, const wchar_t* what) {
  return s.find(what) != std::wstring::npos;
}

std::wstring valueOf(const std::wstring& line) {
  const auto eq = line.find(L'=');
  return eq == std::wstring::npos ? line : line.substr(eq + 1);
}

}  // namespace

std::pair<long, long> ParsePositionValue(const std::wstring& line) {
  const std::wstring value = valueOf(line);
  // The separator is the first "-" after at least one character of X.
  const auto sep = value.size() > 1 ? value.find(L'-', 1) : std::wstring::npos;
  const std::wstring x = sep == std::wstring::npos ? value : value.substr(0, sep);
  const std::wstring y = sep == std::wstring::npos ? std::wstring() : value.substr(sep + 1);
  return {sys::RoundHalfEven(sys::LenientNumber(x)), sys::RoundHalfEven(sys::LenientNumber(y))};
}

std::optional<std::pair<long, long>> ReadWindowPosition(Application& app) {
  const auto lines = sys::readTextLines(app.sys(), settingsPath(app));
  if (!lines) return std::nullopt;
  for (const auto& line : *lines) {
    if (contains(line, text::kKeyPosition)) return ParsePositionValue(line);
  }
  return std::nullopt;
}

void ReadSettings(Application& app) {
  auto& box = app.propertyBox();
  auto& props = box.ListPROPERTY_設定;
  props.clear();
  // A missing or unreadable file leaves the built-in defaults; the exit writes it anew.
  if (const auto lines = sys::readTextLines(app.sys(), settingsPath(app))) {
    for (const auto& line : *lines) {
      if (!line.empty()) props.addItem(line);
    }
  }

  for (const auto& line : props.items()) {
    const std::wstring value = valueOf(line);
    if (contains(line, text::kKeyFormat)) {
      if (value == text::kFormatClipboard) {
        box.Optionクリップボード.setValue(true);
      } else if (value == text::kFormatJpeg) {
        box.OptionJPEG.setValue(true);
      } else if (value == text::kFormatBmp) {
        box.OptionBMP.setValue(true);
      } else if (value == text::kFormatPng) {
        box.OptionPNG.setValue(true);
      }
    } else if (contains(line, text::kKeyFileName)) {
      box.Text保存ファイル名.setText(value);
    } else if (contains(line, text::kKeyNumbering)) {
      box.Check自動ナンバリング.setValue(value == text::kNumberingOn ? 1 : 0);
    } else if (contains(line, text::kKeyFolder)) {
      box.SetSaveFolder(value);
    } else if (contains(line, text::kKeyQuality)) {
      box.Label解像度.setCaption(value);
    }
  }

  // A folder that lists no ordinary file is forgotten.
  const std::wstring folder = box.Label保存先.caption();
  if (!folder.empty() && app.sys().listFiles(folder).empty()) box.SetSaveFolder(L"");

  // The spinner shows the quality upside down. Setting it recomputes the label,
  // which keeps it within 0..100.
  auto& spin = box.VScrollJPEG_解像度;
  const long quality = sys::RoundHalfEven(sys::LenientNumber(box.Label解像度.caption()));
  const long pos = static_cast<long>(spin.max()) - quality;
  if (pos != spin.value()) {
    spin.setValue(static_cast<int>(pos));
  }

  auto& history = box.List保存履歴;
  history.clear();
  const auto log = app.sys().fileExists(saveLogPath(app))
                       ? sys::readTextLines(app.sys(), saveLogPath(app))
                       : std::nullopt;
  if (log) {
    for (const auto& line : *log) {
      if (!line.empty()) history.addItem(line);
    }
  } else {
    history.addItem(box.Label保存先.caption());
    for (int i = 1; i < kHistoryRows; ++i) history.addItem(L" ");
  }
}

std::vector<std::wstring> BuildSettingsLines(Application& app) {
  auto& box = app.propertyBox();
  std::vector<std::wstring> lines;
  const wchar_t* format = nullptr;
  if (box.Optionクリップボード.value()) {
    format = text::kFormatClipboard;
  } else if (box.OptionJPEG.value()) {
    format = text::kFormatJpeg;
  } else if (box.OptionBMP.value()) {
    format = text::kFormatBmp;
  } else if (box.OptionPNG.value()) {
    format = text::kFormatPng;
  }
  if (format) lines.push_back(std::wstring(text::kKeyFormat) + L"=" + format);
  lines.push_back(std::wstring(text::kKeyFileName) + L"=" + box.Text保存ファイル名.text());
  lines.push_back(
      std::wstring(text::kKeyNumbering) + L"=" +
      (box.Check自動ナンバリング.value() == 1 ? text::kNumberingOn : text::kNumberingOff));
  // A folder the file cannot hold would come back as another: the last one it can.
  const std::wstring& folder = box.Label保存先.caption();
  lines.push_back(std::wstring(text::kKeyFolder) + L"=" +
                  (sys::fitsCp932(folder) ? folder : box.StoredSaveFolder()));
  lines.push_back(std::wstring(text::kKeyQuality) + L"=" + box.Label解像度.caption());
  lines.push_back(std::wstring(text::kKeyPosition) + L"=" + sys::SingleText(app.main().left()) +
                  L"-" + sys::SingleText(app.main().top()));
  return lines;
}

void RefreshPropertyList(Application& app) {
  auto& box = app.propertyBox();
  box.hide();
  box.ListPROPERTY_設定.clear();
  for (auto& line : BuildSettingsLines(app)) box.ListPROPERTY_設定.addItem(std::move(line));
  box.Frame動作.setVisible(false);
  box.Frame画像.setVisible(false);
  box.FrameクリッカブルMP.setVisible(false);
  box.Frameプロパティリスト.setVisible(false);
}

bool WriteSettings(Application& app) {
  auto& box = app.propertyBox();
  box.ListPROPERTY_設定.clear();
  for (auto& line : BuildSettingsLines(app)) box.ListPROPERTY_設定.addItem(std::move(line));

  std::vector<std::wstring> lines;
  for (const auto& l : box.ListPROPERTY_設定.items()) {
    if (!l.empty()) lines.push_back(l);
  }
  lines.push_back(text::kSettingsComment);
  const bool settingsOk = sys::writeTextLines(app.sys(), settingsPath(app), lines);

  std::vector<std::wstring> log;
  for (const auto& row : box.List保存履歴.items()) {
    // A row the file cannot hold would come back as another folder.
    if (!row.empty() && sys::fitsCp932(row)) log.push_back(row);
  }
  const bool logOk = sys::writeTextLines(app.sys(), saveLogPath(app), log);
  return settingsOk && logOk;
}

void PushFolderHistory(Application& app, const std::wstring& folder) {
  auto& history = app.propertyBox().List保存履歴;
  if (history.listCount() > 0 && history.list(0) == folder) return;
  std::vector<std::wstring> rows;
  rows.push_back(folder);
  for (int i = 0; i < kHistoryRows - 2; ++i) rows.push_back(history.list(i));
  rows.push_back(L"");
  history.clear();
  for (auto& r : rows) history.addItem(std::move(r));
}

}  // namespace pelnoro::app
