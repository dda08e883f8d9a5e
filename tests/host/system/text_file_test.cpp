// Shift_JIS text as the settings file and the save log hold it.
#include "system/text_file.h"

#include <gtest/gtest.h>

namespace pelnoro {
namespace {

// A lead byte takes the next byte with it; a byte just outside the lead ranges stands
// alone, so the byte after it is a character of its own.
TEST(Cp932, LeadByteRangesAtTheirEnds) {
  struct Case {
    const char* bytes;
    std::size_t chars;
  };
  const Case cases[] = {
      {"\x81\x40", 1},  // first lead byte: the ideographic space
      {"\x9F\x40", 1},  // last of the first range
      {"\xE0\x40", 1},  // first of the second range
      {"\xFC\x40", 1},  // last of the second range
      {"\x80\x40", 2},  // just below
      {"\xA0\x40", 2},  // just above the first range
      {"\xDF\x40", 2},  // half-width katakana, just below the second range
      {"\xFD\x40", 2},  // just above
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sys::fromCp932(c.bytes).size(), c.chars)
        << "lead byte 0x" << std::hex << (0xFF & c.bytes[0]);
  }
  EXPECT_EQ(sys::fromCp932("\x81\x40"), L"\x3000");
  EXPECT_EQ(sys::fromCp932("\xDF\x41"),
            L"\xFF9F"
            L"A");
  // A lead byte at the very end has no partner: it stands in as one character.
  EXPECT_EQ(sys::fromCp932("A\x81").size(), 2u);
}

TEST(Cp932, RoundTripAndUnmappableCharacters) {
  const std::wstring text = L"画像形式=PNG ﾊﾟｽ \\ ～";
  EXPECT_EQ(sys::fromCp932(sys::toCp932(text)), text);
  EXPECT_EQ(sys::toCp932(L"画"), "\x89\xE6");
  // What code page 932 cannot hold becomes '?', one per character.
  EXPECT_EQ(sys::toCp932(L"C:\\한글\\"), "C:\\??\\");
}

TEST(TextLines, EveryLineEndAndALastLineWithout) {
  EXPECT_EQ(sys::splitLines(L"a\r\nb\rc\nd"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(sys::splitLines(L"a\r\n\r\nb\r\n"), (std::vector<std::wstring>{L"a", L"", L"b"}));
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
