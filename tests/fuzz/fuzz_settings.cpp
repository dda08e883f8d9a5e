// libFuzzer target: the settings file and the save log as any bytes, read as the program
// starts and written back as its exit does; what is written must be a sane settings file
// and save log, and reading and writing those again must give them unchanged.
//
// Byte 0: bit 0 leaves the settings file out, bit 1 the save log, bit 2 makes the screen
// 144 DPI. Bytes 1-2 (little-endian): the settings file's length. The rest: the settings
// file, then the save log.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/form_pelnoro.h"
#include "fake_system.h"
#include "program/settings_file.h"
#include "system/text_file.h"
#include "toolkit/geometry.h"
#include "wide_input.h"

using namespace pelnoro;
using testing::FakeSystem;
using Lines = std::vector<std::wstring>;

namespace {

const wchar_t* const kKeys[] = {L"画像形式", L"ファイル名", L"自動ナンバリング",
                                L"保存先",   L"解像度",     L"現在の位置XY"};
const std::wstring kComment = L"※このファイルを人為的に再編集した場合の動作は保証されません。";

bool startsWith(const std::wstring& s, const std::wstring& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

struct Written {
  std::string settings, log;
};

// The property box's design values.
program::Settings designSettings() {
  program::Settings s;
  s.fileName = L"TEST";
  s.saveFolder = L"C:\\";
  s.jpegQuality = L"50";
  return s;
}

// A number as the position line writes it: optional minus, digits, optional decimals.
std::size_t numberLength(const std::wstring& s, std::size_t from) {
  std::size_t i = from;
  if (i < s.size() && s[i] == L'-') ++i;
  const std::size_t digits = i;
  while (i < s.size() && s[i] >= L'0' && s[i] <= L'9') ++i;
  if (i == digits) return 0;
  if (i < s.size() && s[i] == L'.') {
    const std::size_t decimals = ++i;
    while (i < s.size() && s[i] >= L'0' && s[i] <= L'9') ++i;
    if (i == decimals) return 0;
  }
  return i - from;
}

// Bytes of lines each ended by CR LF, with no CR or LF inside; the lines as read back.
Lines checkedLines(FakeSystem& sys, const std::wstring& path, const std::string& bytes) {
  Lines expected;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    PELNORO_FUZZ_CHECK(end != std::string::npos);
    const std::string line = bytes.substr(start, end - start);
    PELNORO_FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    expected.push_back(sys::fromCp932(line));
    start = end + 2;
  }
  const auto lines = sys::readTextLines(sys, path);
  PELNORO_FUZZ_CHECK(lines && *lines == expected);
  return expected;
}

// The settings file: the keys in their order, the format line optional, the comment last.
Lines checkSettings(FakeSystem& sys, const tk::Box& w, const std::string& bytes) {
  const Lines lines = checkedLines(sys, sys.exe + L"pelnoro.ini", bytes);
  PELNORO_FUZZ_CHECK(lines.size() == 6 || lines.size() == 7);
  std::size_t i = 0;
  if (lines.size() == 7) {
    const std::wstring& f = lines[i++];
    PELNORO_FUZZ_CHECK(f == L"画像形式=クリップボード" || f == L"画像形式=JPEG" ||
                       f == L"画像形式=BMP" || f == L"画像形式=PNG");
  }
  PELNORO_FUZZ_CHECK(startsWith(lines[i++], L"ファイル名="));
  PELNORO_FUZZ_CHECK(lines[i] == L"自動ナンバリング=する" ||
                     lines[i] == L"自動ナンバリング=しない");
  ++i;
  PELNORO_FUZZ_CHECK(startsWith(lines[i++], L"保存先="));
  PELNORO_FUZZ_CHECK(startsWith(lines[i++], L"解像度="));
  // 現在の位置XY=X-Y: the window's place, on the screen.
  const std::wstring& p = lines[i++];
  const std::wstring key = L"現在の位置XY=";
  PELNORO_FUZZ_CHECK(startsWith(p, key));
  const std::size_t x = numberLength(p, key.size());
  PELNORO_FUZZ_CHECK(x > 0 && key.size() + x < p.size() && p[key.size() + x] == L'-');
  const std::size_t y = numberLength(p, key.size() + x + 1);
  PELNORO_FUZZ_CHECK(y > 0 && key.size() + x + 1 + y == p.size());
  const auto [left, top] = program::ParsePositionValue(p);
  PELNORO_FUZZ_CHECK(left == w.left && top == w.top);
  PELNORO_FUZZ_CHECK(w.left >= 0 && w.left + w.width <= sys.screenWidthTwips());
  PELNORO_FUZZ_CHECK(w.top >= 0 && w.top + w.height <= sys.screenHeightTwips());
  PELNORO_FUZZ_CHECK(lines[i] == kComment);
  return lines;
}

// Reads both files as the start does and writes them as the exit does, the main window
// where the start put it; returns what was written.
Written startAndExit(FakeSystem& sys, std::optional<Lines>& settingsLines) {
  using app::FormPELNORO;
  const program::StartSettings start = program::ReadSettingsFiles(sys, designSettings());
  tk::Box place{FormPELNORO::kDesignLeft, FormPELNORO::kDesignTop, FormPELNORO::kWidth,
                FormPELNORO::kHeight};
  if (const auto& pos = start.windowPosition) {
    place =
        tk::StartPlace(static_cast<double>(pos->first), static_cast<double>(pos->second),
                       place.width, place.height, sys.screenWidthTwips(), sys.screenHeightTwips());
  }
  // The property box keeps the last folder the file can hold, the design one at first.
  const std::wstring& folder = start.settings.saveFolder;
  const std::wstring kept = sys::fitsCp932(folder) ? folder : designSettings().saveFolder;
  const std::wstring& name = start.settings.fileName;
  const std::wstring keptName = sys::fitsCp932(name) ? name : designSettings().fileName;
  // Both files written.
  PELNORO_FUZZ_CHECK(program::WriteSettingsFiles(
      sys, program::SettingsLines(start.settings, kept, keptName, place.left, place.top),
      start.folderHistory));
  Written w;
  const auto settings = sys.file(sys.exe + L"pelnoro.ini");
  const auto log = sys.file(sys.exe + L"save_log.pel");
  PELNORO_FUZZ_CHECK(settings && log);
  w.settings = *settings;
  w.log = *log;
  settingsLines = checkSettings(sys, place, w.settings);
  return w;
}

// A machine with some folders a saved folder can name (C:\ itself holds a file, so
// that the built-in folder stays), a few of them with names Shift_JIS cannot hold.
// Made once: a copy for each input is much quicker than filling a new screen.
const FakeSystem& machine() {
  static const FakeSystem made = [] {
    FakeSystem m;
    m.screen = image::Surface(1, 1, 0);  // nothing at start or exit looks at it
    m.drives = {L"C:\\", L"D:\\"};
    m.putFile(L"C:\\boot.ini", "x");
    m.putFile(L"C:\\tmp\\a.txt", "x");
    m.putFile(L"D:\\写真\\a.jpg", "x");
    m.putFile(L"C:\\한국\\a.png", "x");
    m.putFile(L"D:\\Ünï\\😀\\a.png", "x");
    return m;
  }();
  return made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t flags = size > 0 ? data[0] : 0;
  const std::string rest(reinterpret_cast<const char*>(data) + (size < 3 ? size : 3),
                         size < 3 ? 0 : size - 3);
  const std::size_t settingsSize = size < 3 ? 0 : (data[1] | data[2] << 8) % (rest.size() + 1);
  const std::string settingsBytes = rest.substr(0, settingsSize);
  const std::string logBytes = rest.substr(settingsSize);
  const bool hasSettings = (flags & 1) == 0, hasLog = (flags & 2) == 0;

  FakeSystem sys = machine();
  if (flags & 4) sys.tpp = 10;
  if (hasSettings) sys.putFile(sys.exe + L"pelnoro.ini", settingsBytes);
  if (hasLog) sys.putFile(sys.exe + L"save_log.pel", logBytes);

  std::optional<Lines> settings;
  const Written first = startAndExit(sys, settings);

  // The save log: no empty line; every folder of the old log the file can hold, in order.
  const Lines log = checkedLines(sys, sys.exe + L"save_log.pel", first.log);
  for (const auto& line : log) PELNORO_FUZZ_CHECK(!line.empty());
  if (hasLog) {
    Lines kept;
    for (const auto& line : sys::splitLines(sys::decodeText(logBytes))) {
      if (!line.empty() && sys::fitsCp932(line)) kept.push_back(line);
    }
    PELNORO_FUZZ_CHECK(log == kept);
  } else {
    // A new history: the save folder, if any, and fifteen single spaces.
    PELNORO_FUZZ_CHECK(log.size() == 15 || log.size() == 16);
    for (std::size_t i = log.size() - 15; i < log.size(); ++i) PELNORO_FUZZ_CHECK(log[i] == L" ");
  }

  // What was written reads back as the same settings: written again, it is unchanged.
  // Not where a value holds a key, as a key found anywhere in a line decides the line.
  for (std::size_t i = 0; i + 2 < settings->size(); ++i) {
    const std::wstring& line = (*settings)[i];
    const std::wstring value = line.substr(line.find(L'=') + 1);
    for (const wchar_t* k : kKeys) {
      if (value.find(k) != std::wstring::npos) return 0;
    }
  }
  std::optional<Lines> again;
  const Written second = startAndExit(sys, again);
  PELNORO_FUZZ_CHECK(second.settings == first.settings);
  PELNORO_FUZZ_CHECK(second.log == first.log);
  return 0;
}
