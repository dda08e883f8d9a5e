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

}  // namespace
}  // namespace pelnoro
