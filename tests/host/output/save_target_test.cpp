#include "output/save_target.h"

#include <gtest/gtest.h>

namespace pelnoro {
namespace {

using output::ImageFormat;

TEST(SaveTarget, FormatsAndExtensions) {
  // A save's format: the three extensions exactly, letter case included.
  EXPECT_EQ(output::FormatOfExtension(L".JPG"), ImageFormat::kJpeg);
  EXPECT_EQ(output::FormatOfExtension(L".PNG"), ImageFormat::kPng);
  EXPECT_EQ(output::FormatOfExtension(L".BMP"), ImageFormat::kBmp);
  for (const wchar_t* other : {L".jpg", L"JPG", L".JPEG", L"", L".JPG "}) {
    EXPECT_FALSE(output::FormatOfExtension(other)) << other;
  }
  EXPECT_EQ(output::ExtensionFor(program::SaveFormat::kPng), L".PNG");
  EXPECT_EQ(output::ExtensionFor(program::SaveFormat::kClipboard), L"");
  // A name's format: any letter case, .jpeg too.
  EXPECT_EQ(output::FormatExtensionOf(L"a.jpeg"), L".JPG");
  EXPECT_EQ(output::FormatExtensionOf(L"a.Png"), L".PNG");
  EXPECT_EQ(output::FormatExtensionOf(L"a.png.txt"), L"");
  EXPECT_EQ(output::FormatExtensionOf(L"png"), L"");
}

TEST(SaveTarget, ANameInAFormatIsWrittenInIt) {
  EXPECT_EQ(output::ResolveSaveTarget(L"shot.bmp", L".JPG"),
            (output::SaveTarget{L"shot.bmp", L".BMP"}));
  EXPECT_EQ(output::ResolveSaveTarget(L"clip00.JPGa", L".JPG"),
            (output::SaveTarget{L"clip00.JPGa", L".JPG"}));
  EXPECT_EQ(output::WithExtension(L"a.b.gif", L".PNG"), L"a.b.PNG");
  EXPECT_EQ(output::WithExtension(L"photo", L".PNG"), L"photo.PNG");
}

TEST(SaveTarget, NamesWindowsCannotCreate) {
  for (const wchar_t* bad :
       {L"",         L"e??.PNG",  L"a|b.JPG",   L"a/b.PNG",    L"a\\b.PNG", L"C:x.PNG", L"a\"b.BMP",
        L"a*.PNG",   L"a<b>.PNG", L"tab\t.PNG", L"cr\r\n.PNG", L"CON.PNG",  L"con",     L"Nul.JPG",
        L"aux .PNG", L"COM1.BMP", L"lpt9.PNG",  L"conin$.PNG", L"name.",    L"name "}) {
    EXPECT_FALSE(output::IsWritableFileName(bad)) << bad;
  }
  for (const wchar_t* good :
       {L"e\U0001F600.png", L"\uD55C\uAE00.PNG", L"clip00.JPG", L"CONSOLE.PNG", L"COM0.PNG",
        L"COM10.PNG", L"LPT.PNG", L"a.con.PNG", L".PNG", L"写真 1.BMP"}) {
    EXPECT_TRUE(output::IsWritableFileName(good)) << good;
  }
}

}  // namespace
}  // namespace pelnoro
