// The settings file and the save log as data, read and written on the scripted system.
#include "program/settings_file.h"

#include <gtest/gtest.h>

#include "fake_system.h"
#include "system/text_file.h"

namespace pelnoro {
namespace {

using program::SaveFormat;
using program::Settings;
using Lines = std::vector<std::wstring>;

const std::wstring kIni = L"C:\\Program Files\\Pelnoro\\pelnoro.ini";
const std::wstring kLog = L"C:\\Program Files\\Pelnoro\\save_log.pel";

std::string sjis(const Lines& lines) {
  std::wstring t;
  for (const auto& l : lines) t += l + L"\r\n";
  return sys::toCp932(t);
}

// The property box's design values.
Settings designSettings() {
  Settings s;
  s.fileName = L"TEST";
  s.saveFolder = L"C:\\";
  s.jpegQuality = L"50";
  return s;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  testing::FakeSystem sys;
  program::StartSettings startWith(const Lines& lines) {
    sys.putFile(kIni, sjis(lines));
    return program::ReadSettingsFiles(sys, designSettings());
  }
};

const Lines kExample = {L"画像形式=PNG",
                        L"ファイル名=shot",
                        L"自動ナンバリング=しない",
                        L"保存先=C:\\tmp\\",
                        L"解像度=80",
                        L"現在の位置XY=1500-900",
                        L"※このファイルを人為的に再編集した場合の動作は保証されません。"};

TEST_F(SettingsFileTest, ExampleReadsBackAndWritesByteIdenticalShiftJis) {
  sys.putFile(L"C:\\tmp\\a.txt", "x");
  const auto start = startWith(kExample);
  EXPECT_EQ(start.settings.format, SaveFormat::kPng);
  EXPECT_EQ(start.settings.fileName, L"shot");
  EXPECT_FALSE(start.settings.autoNumbering);
  EXPECT_EQ(start.settings.saveFolder, L"C:\\tmp\\");
  EXPECT_EQ(start.settings.jpegQuality, L"80");
  EXPECT_EQ(start.windowPosition, std::make_pair(1500L, 900L));
  // PropertyLines holds the raw lines, the comment included.
  EXPECT_EQ(start.propertyLines.size(), 7u);

  const Lines lines = program::SettingsLines(start.settings, L"", L"", 1500, 900);
  ASSERT_TRUE(program::WriteSettingsFiles(sys, lines, start.folderHistory));
  const auto written = sys.file(kIni);
  ASSERT_TRUE(written);
  EXPECT_EQ(*written, sjis(kExample));
  // The bytes really are Shift_JIS: 画 is 0x89 0xE6.
  EXPECT_EQ(written->substr(0, 2), "\x89\xE6");
}

TEST_F(SettingsFileTest, FolderWithoutFilesIsForgottenAndHistoryStartsFromIt) {
  const auto start = startWith(kExample);  // C:\tmp\ holds nothing
  EXPECT_EQ(start.settings.saveFolder, L"");
  const Lines& h = start.folderHistory;
  ASSERT_EQ(h.size(), 16u);
  EXPECT_EQ(h[0], L"");
  for (std::size_t i = 1; i < 16; ++i) EXPECT_EQ(h[i], L" ");
}

TEST_F(SettingsFileTest, SaveLogIsReadWhole) {
  sys.putFile(kLog, sjis({L"D:\\a\\", L"", L"D:\\b\\", L" ", L"D:\\a\\"}));
  EXPECT_EQ(startWith(kExample).folderHistory, (Lines{L"D:\\a\\", L"D:\\b\\", L" ", L"D:\\a\\"}));
}

TEST_F(SettingsFileTest, KeyOrderQuirks) {
  sys.putFile(L"D:\\ファイル名\\x.bmp", "x");
  sys.putFile(L"C:\\boot.ini", "x");
  const auto start =
      startWith({L"保存先=D:\\ファイル名\\", L"自動ナンバリング=する ", L"解像度=abc",
                 L"画像形式=GIF", L"ファイル名=a", L"ファイル名=b=c", L"nonsense"});
  const Settings& s = start.settings;
  // "ファイル名" is tested before "保存先".
  EXPECT_EQ(s.fileName, L"b=c");
  EXPECT_EQ(s.saveFolder, L"C:\\");
  EXPECT_FALSE(s.autoNumbering);
  // An unknown format keeps the built-in BMP; the quality is the text as it stands.
  EXPECT_EQ(s.format, SaveFormat::kBmp);
  EXPECT_EQ(s.jpegQuality, L"abc");
  // No position line: the design position.
  EXPECT_FALSE(start.windowPosition);
  // Without a file every default stays.
  EXPECT_EQ(program::ApplySettingsLines({}, designSettings()).fileName, L"TEST");
}

TEST_F(SettingsFileTest, WrittenLinesFollowTheSettings) {
  Settings s = designSettings();
  s.format = SaveFormat::kNone;
  s.autoNumbering = true;
  s.saveFolder = L"C:\\한국\\";  // Shift_JIS cannot hold it: the kept folder instead
  EXPECT_EQ(program::SettingsLines(s, L"D:\\kept\\", L"kept", -225, 1234.5),
            (Lines{L"ファイル名=TEST", L"自動ナンバリング=する", L"保存先=D:\\kept\\", L"解像度=50",
                   L"現在の位置XY=-225-1234.5"}));
  // Names Shift_JIS cannot hold would read back as another name ("e?", "??"): the kept
  // one instead; one it can hold is written as it is.
  for (const auto& [name, written] : {std::pair{L"e\U0001F600", L"kept"},
                                      {L"\uD55C\uAE00", L"kept"},
                                      {L"写真", L"写真"},
                                      {L"", L""}}) {
    s.fileName = name;
    EXPECT_EQ(program::SettingsLines(s, L"D:\\kept\\", L"kept", 0, 0)[0],
              std::wstring(L"ファイル名=") + written);
  }
  s.format = SaveFormat::kClipboard;
  EXPECT_EQ(program::SettingsLines(s, L"", L"", 0, 0)[0], L"画像形式=クリップボード");
}

TEST(PositionValue, LeadingMinusBelongsToX) {
  using program::ParsePositionValue;
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY=-1500-300"), std::make_pair(-1500L, 300L));
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY=1500--300"), std::make_pair(1500L, -300L));
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY=1234.5-10.5"), std::make_pair(1234L, 10L));
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY= 12 -x"), std::make_pair(12L, 0L));
  // No separator, no "=", nothing at all: lenient zeros, never a crash.
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY=700"), std::make_pair(700L, 0L));
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY"), std::make_pair(0L, 0L));
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY=-"), std::make_pair(0L, 0L));
  // The first position line counts.
  EXPECT_EQ(program::WindowPositionOf({L"x", L"現在の位置XY=1-2", L"現在の位置XY=3-4"}),
            std::make_pair(1L, 2L));
}

TEST(FolderHistory, PushRules) {
  Lines r = program::FolderHistoryOf(std::nullopt, L"F:\\f\\");
  for (const wchar_t* f : {L"A", L"B", L"A"}) EXPECT_TRUE(program::PushFolderHistory(r, f));
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[0], L"A");
  EXPECT_EQ(r[1], L"B");
  EXPECT_EQ(r[2], L"A");
  EXPECT_EQ(r[3], L"F:\\f\\");
  EXPECT_EQ(r[4], L" ");
  EXPECT_EQ(r[15], L"");
  // The same folder twice in a row changes nothing; the comparison is exact.
  const Lines before = r;
  EXPECT_FALSE(program::PushFolderHistory(r, L"A"));
  EXPECT_EQ(r, before);
  program::PushFolderHistory(r, L"a");
  EXPECT_EQ(r[0], L"a");
  // A short history is filled with empty rows.
  Lines shortOne{L"A", L"B", L"C"};
  program::PushFolderHistory(shortOne, L"D");
  EXPECT_EQ(shortOne.size(), 16u);
  EXPECT_EQ(shortOne[3], L"C");
  EXPECT_EQ(shortOne[4], L"");
}

TEST_F(SettingsFileTest, FullHistoryKeepsTheNewestFifteenFolders) {
  Lines r = program::FolderHistoryOf(std::nullopt, L"F:\\f\\");
  for (int i = 0; i < 20; ++i) program::PushFolderHistory(r, L"D" + std::to_wstring(i));
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[0], L"D19");
  EXPECT_EQ(r[14], L"D5");
  EXPECT_EQ(r[15], L"");
  // The save log keeps the non-empty rows; a single space is kept as such.
  ASSERT_TRUE(program::WriteSettingsFiles(sys, {}, r));
  const auto log = sys::readTextLines(sys, kLog);
  ASSERT_TRUE(log);
  EXPECT_EQ(log->size(), 15u);
}

// The settings file as an editor saves it: text with a byte-order mark.
std::string withBom(const std::wstring& text, const std::string& encoding) {
  std::string out;
  if (encoding == "utf-8") {
    out = "\xEF\xBB\xBF";
    for (wchar_t c : text) {
      const auto u = static_cast<char32_t>(c);
      if (u < 0x80) {
        out += static_cast<char>(u);
      } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | u >> 6);
        out += static_cast<char>(0x80 | (u & 0x3F));
      } else {
        out += static_cast<char>(0xE0 | u >> 12);
        out += static_cast<char>(0x80 | (u >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
      }
    }
  } else {
    const bool big = encoding == "utf-16be";
    out = big ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
      const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
      out += big ? std::string{hi, lo} : std::string{lo, hi};
    }
  }
  return out;
}

TEST_F(SettingsFileTest, FilesWithAByteOrderMarkAreReadAndWrittenBackAsShiftJis) {
  sys.putFile(L"C:\\tmp\\a.txt", "x");
  std::wstring text;
  for (const auto& l : kExample) text += l + L"\r\n";
  for (const char* encoding : {"utf-8", "utf-16le", "utf-16be"}) {
    sys.putFile(kIni, withBom(text, encoding));
    const auto start = program::ReadSettingsFiles(sys, designSettings());
    EXPECT_EQ(start.settings.format, SaveFormat::kPng) << encoding;
    EXPECT_EQ(start.settings.fileName, L"shot") << encoding;
    EXPECT_FALSE(start.settings.autoNumbering) << encoding;
    EXPECT_EQ(start.settings.saveFolder, L"C:\\tmp\\") << encoding;
    EXPECT_EQ(start.settings.jpegQuality, L"80") << encoding;
    EXPECT_EQ(start.windowPosition->first, 1500) << encoding;
    program::WriteSettingsFiles(sys, program::SettingsLines(start.settings, L"", L"", 1500, 900),
                                {});
    EXPECT_EQ(sys.file(kIni), sjis(kExample)) << encoding;
  }
}

}  // namespace
}  // namespace pelnoro
