#include "app/settings_file.h"

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "dialogs/form_property_box.h"
#include "fake_system.h"
#include "system/number_text.h"
#include "system/text_file.h"

namespace pelnoro {
namespace {

using app::Application;

const std::wstring kIni = L"C:\\Program Files\\Pelnoro\\pelnoro.ini";
const std::wstring kLog = L"C:\\Program Files\\Pelnoro\\save_log.pel";

std::string sjis(const std::vector<std::wstring>& lines) {
  std::wstring t;
  for (const auto& l : lines) t += l + L"\r\n";
  return sys::toCp932(t);
}

class SettingsTest : public ::testing::Test {
 protected:
  testing::FakeSystem sys;
  std::unique_ptr<Application> app;
  void startWith(const std::vector<std::wstring>& lines) {
    sys.putFile(kIni, sjis(lines));
    app = std::make_unique<Application>(sys);
    ASSERT_TRUE(app->start());
  }
  dialogs::FormPROPERTY_BOX& box() { return app->propertyBox(); }
};

const std::vector<std::wstring> kExample = {
    L"画像形式=PNG",
    L"ファイル名=shot",
    L"自動ナンバリング=しない",
    L"保存先=C:\\tmp\\",
    L"解像度=80",
    L"現在の位置XY=1500-900",
    L"※このファイルを人為的に再編集した場合の動作は保証されません。"};

TEST_F(SettingsTest, ExampleReadsBackAndWritesByteIdenticalShiftJis) {
  sys.putFile(L"C:\\tmp\\a.txt", "x");
  startWith(kExample);
  EXPECT_TRUE(box().OptionPNG.value());
  EXPECT_FALSE(box().OptionBMP.value());
  EXPECT_EQ(box().Text保存ファイル名.text(), L"shot");
  EXPECT_EQ(box().Check自動ナンバリング.value(), 0);
  EXPECT_EQ(box().Label保存先.caption(), L"C:\\tmp\\");
  EXPECT_EQ(box().Label解像度.caption(), L"80");
  EXPECT_EQ(box().VScrollJPEG_解像度.value(), 20);
  EXPECT_EQ(app->main().left(), 1500);
  EXPECT_EQ(app->main().top(), 900);
  // PropertyLines holds the raw lines, the comment included.
  EXPECT_EQ(box().ListPROPERTY_設定.listCount(), 7);

  ASSERT_TRUE(app::WriteSettings(*app));
  const auto written = sys.file(kIni);
  ASSERT_TRUE(written);
  EXPECT_EQ(*written, sjis(kExample));
  // The bytes really are Shift_JIS: 画 is 0x89 0xE6.
  EXPECT_EQ(written->substr(0, 2), "\x89\xE6");
}

TEST_F(SettingsTest, FolderWithoutFilesIsForgottenAndHistoryStartsFromIt) {
  startWith(kExample);  // C:\tmp\ holds nothing
  EXPECT_EQ(box().Label保存先.caption(), L"");
  const auto& h = box().List保存履歴;
  ASSERT_EQ(h.listCount(), 16);
  EXPECT_EQ(h.list(0), L"");
  for (int i = 1; i < 16; ++i) EXPECT_EQ(h.list(i), L" ");
}

TEST_F(SettingsTest, SaveLogIsReadWhole) {
  sys.putFile(kLog, sjis({L"D:\\a\\", L"", L"D:\\b\\", L" ", L"D:\\a\\"}));
  startWith(kExample);
  const auto& h = box().List保存履歴;
  ASSERT_EQ(h.listCount(), 4);
  EXPECT_EQ(h.list(0), L"D:\\a\\");
  EXPECT_EQ(h.list(2), L" ");
  EXPECT_EQ(h.list(3), L"D:\\a\\");
}

TEST_F(SettingsTest, KeyOrderQuirks) {
  sys.putFile(L"D:\\ファイル名\\x.bmp", "x");
  sys.putFile(L"C:\\boot.ini", "x");
  startWith({L"保存先=D:\\ファイル名\\", L"自動ナンバリング=する ", L"解像度=abc", L"画像形式=GIF",
             L"ファイル名=a", L"ファイル名=b=c", L"nonsense"});
  // "ファイル名" is tested before "保存先".
  EXPECT_EQ(box().Text保存ファイル名.text(), L"b=c");
  EXPECT_EQ(box().Label保存先.caption(), L"C:\\");
  EXPECT_EQ(box().Check自動ナンバリング.value(), 0);
  // An unknown format keeps the built-in BMP.
  EXPECT_TRUE(box().OptionBMP.value());
  // A quality that is no number reads as 0 and the spinner's label follows.
  EXPECT_EQ(box().VScrollJPEG_解像度.value(), 100);
  EXPECT_EQ(box().Label解像度.caption(), L"0");
  // No position line: the design position.
  EXPECT_EQ(app->main().left(), app::FormPELNORO::kDesignLeft);
}

TEST_F(SettingsTest, MissingFileStartsWithDefaultsAndExitCreatesIt) {
  app = std::make_unique<Application>(sys);
  ASSERT_TRUE(app->start());
  EXPECT_TRUE(box().OptionBMP.value());
  EXPECT_EQ(box().Text保存ファイル名.text(), L"TEST");
  EXPECT_EQ(box().Check自動ナンバリング.value(), 1);
  EXPECT_EQ(box().Label解像度.caption(), L"50");
  app->main().Label終了.raiseClick();
  const auto lines = sys::readTextLines(sys, kIni);
  ASSERT_TRUE(lines);
  EXPECT_EQ(*lines, (std::vector<std::wstring>{
                        L"画像形式=BMP", L"ファイル名=TEST", L"自動ナンバリング=する", L"保存先=",
                        L"解像度=50", L"現在の位置XY=1200-1200",
                        L"※このファイルを人為的に再編集した場合の動作は保証されません。"}));
  EXPECT_TRUE(sys.file(kLog));
}

TEST(PositionValue, LeadingMinusBelongsToX) {
  using app::ParsePositionValue;
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY=-1500-300"), std::make_pair(-1500L, 300L));
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY=1500--300"), std::make_pair(1500L, -300L));
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY=1234.5-10.5"), std::make_pair(1234L, 10L));
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY= 12 -x"), std::make_pair(12L, 0L));
  // No separator, no "=", nothing at all: lenient zeros, never a crash.
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY=700"), std::make_pair(700L, 0L));
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY"), std::make_pair(0L, 0L));
  EXPECT_EQ(ParsePositionValue(L"現在の位置XY=-"), std::make_pair(0L, 0L));
}

TEST(NumberText, RoundingAndShortestSingleText) {
  EXPECT_EQ(sys::RoundHalfEven(2.5), 2);
  EXPECT_EQ(sys::RoundHalfEven(3.5), 4);
  EXPECT_EQ(sys::RoundHalfEven(-2.5), -2);
  EXPECT_EQ(sys::RoundHalfEven(-2.6), -3);
  EXPECT_EQ(sys::SingleText(1500), L"1500");
  EXPECT_EQ(sys::SingleText(-225), L"-225");
  EXPECT_EQ(sys::SingleText(1234.5), L"1234.5");
  EXPECT_EQ(sys::SingleText(0.1), L"0.1");
  EXPECT_EQ(sys::LenientNumber(L" - 1 2.5e3"), -12.5);
  EXPECT_EQ(sys::LenientNumber(L"abc"), 0);
}

TEST_F(SettingsTest, PositionKeptOnTheScreenAtEveryEdge) {
  // 1920 x 1080 pixels at 15 twips: 28800 x 16200 twips.
  startWith({L"現在の位置XY=26000-14000"});
  EXPECT_EQ(app->main().left(), 28800 - 3450 - 200);
  EXPECT_EQ(app->main().top(), 16200 - 2610 - 200);
  // Just inside the right and bottom edges stays where it was.
  startWith({L"現在の位置XY=25349-13589"});
  EXPECT_EQ(app->main().left(), 25349);
  EXPECT_EQ(app->main().top(), 13589);
  // Left of the screen (a monitor that is gone), or above it: brought onto it.
  startWith({L"現在の位置XY=-1500-300"});
  EXPECT_EQ(app->main().left(), 0);
  EXPECT_EQ(app->main().top(), 300);
  // -99999 left, 99999 down: the left edge and the bottom rule both apply.
  startWith({L"現在の位置XY=-99999-99999"});
  EXPECT_EQ(app->main().left(), 0);
  EXPECT_EQ(app->main().top(), 16200 - 2610 - 200);
  startWith({L"現在の位置XY=700--40"});
  EXPECT_EQ(app->main().left(), 700);
  EXPECT_EQ(app->main().top(), 0);
}

class HistoryTest : public SettingsTest {
 protected:
  void SetUp() override {
    sys.putFile(L"F:\\f\\x", "x");
    startWith({L"保存先=F:\\f\\"});
  }
  std::vector<std::wstring> rows() { return box().List保存履歴.items(); }
};

TEST_F(HistoryTest, PushRules) {
  app::PushFolderHistory(*app, L"A");
  app::PushFolderHistory(*app, L"B");
  app::PushFolderHistory(*app, L"A");
  auto r = rows();
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[0], L"A");
  EXPECT_EQ(r[1], L"B");
  EXPECT_EQ(r[2], L"A");
  EXPECT_EQ(r[3], L"F:\\f\\");
  EXPECT_EQ(r[4], L" ");
  EXPECT_EQ(r[15], L"");
  // The same folder twice in a row changes nothing; the comparison is exact.
  app::PushFolderHistory(*app, L"A");
  EXPECT_EQ(rows(), r);
  app::PushFolderHistory(*app, L"a");
  EXPECT_EQ(rows()[0], L"a");
}

TEST_F(HistoryTest, FullListKeepsTheNewestFifteenFolders) {
  for (int i = 0; i < 20; ++i) app::PushFolderHistory(*app, L"D" + std::to_wstring(i));
  auto r = rows();
  ASSERT_EQ(r.size(), 16u);
  EXPECT_EQ(r[0], L"D19");
  EXPECT_EQ(r[14], L"D5");
  EXPECT_EQ(r[15], L"");
  // The save log keeps the non-empty rows; a single space is kept as such.
  app->main().Label終了.raiseClick();
  const auto log = sys::readTextLines(sys, kLog);
  ASSERT_TRUE(log);
  EXPECT_EQ(log->size(), 15u);
}

}  // namespace
}  // namespace pelnoro

namespace pelnoro {
namespace {

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

TEST_F(SettingsTest, FilesWithAByteOrderMarkAreReadAndWrittenBackAsShiftJis) {
  sys.putFile(L"C:\\tmp\\a.txt", "x");
  std::wstring text;
  for (const auto& l : kExample) text += l + L"\r\n";
  for (const char* encoding : {"utf-8", "utf-16le", "utf-16be"}) {
    sys.putFile(kIni, withBom(text, encoding));
    app = std::make_unique<Application>(sys);
    ASSERT_TRUE(app->start());
    EXPECT_TRUE(box().OptionPNG.value()) << encoding;
    EXPECT_EQ(box().Text保存ファイル名.text(), L"shot") << encoding;
    EXPECT_EQ(box().Check自動ナンバリング.value(), 0) << encoding;
    EXPECT_EQ(box().Label保存先.caption(), L"C:\\tmp\\") << encoding;
    EXPECT_EQ(box().Label解像度.caption(), L"80") << encoding;
    EXPECT_EQ(app->main().left(), 1500) << encoding;
    app->main().Label終了.raiseClick();
    EXPECT_EQ(sys.file(kIni), sjis(kExample)) << encoding;
  }
}

TEST_F(SettingsTest, AReadOnlySettingsFileIsReportedAndLeftAsItWas) {
  startWith(kExample);
  const auto before = sys.file(kIni);
  sys.setReadOnly(kIni);
  box().OptionJPEG.setValue(true);
  app->main().Label終了.raiseClick();
  EXPECT_EQ(sys.file(kIni), before);
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text.rfind(L"設定ファイルを書き込めませんでした。", 0), 0u);
  EXPECT_TRUE(app->ended());
}

TEST(Utf, DecodedByTheByteOrderMark) {
  EXPECT_EQ(sys::decodeText("\xEF\xBB\xBF"
                            "a\xC3\xA9\xE7\x94\xBB"),
            L"a\xE9\x753B");
  // A cut-off sequence and a stray continuation byte stand in as U+FFFD.
  EXPECT_EQ(sys::decodeText("\xEF\xBB\xBF"
                            "\xE7\x94"),
            L"\xFFFD\xFFFD");
  EXPECT_EQ(sys::decodeText("\xEF\xBB\xBF"
                            "\x80"
                            "b"),
            L"\xFFFD"
            L"b");
  EXPECT_EQ(sys::decodeText(std::string("\xFF\xFE"
                                        "A\0\x3B\x75",
                                        6)),
            L"A\x753B");
  EXPECT_EQ(sys::decodeText(std::string("\xFE\xFF"
                                        "\0A\x75\x3B",
                                        6)),
            L"A\x753B");
  // No mark: Shift_JIS.
  EXPECT_EQ(sys::decodeText("\x89\xE6"), L"\x753B");
}

}  // namespace
}  // namespace pelnoro
