#include "output/numbering.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace pelnoro {
namespace {

TEST(Numbering, LowestFreeNumberFromTwoDigitsUp) {
  std::set<std::wstring> files;
  auto taken = [&files](const std::wstring& p) { return files.count(p) > 0; };
  std::wstring number;
  EXPECT_EQ(output::NextNumberedName(L"C:\\c\\", L"clip", L".JPG", number, taken), L"clip00.JPG");
  for (int i = 0; i < 10; ++i) files.insert(L"C:\\c\\clip0" + std::to_wstring(i) + L".JPG");
  EXPECT_EQ(output::NextNumberedName(L"C:\\c\\", L"clip", L".JPG", number, taken), L"clip10.JPG");
  EXPECT_EQ(number, L"10");
  for (int i = 10; i < 100; ++i) files.insert(L"C:\\c\\clip" + std::to_wstring(i) + L".JPG");
  EXPECT_EQ(output::NextNumberedName(L"C:\\c\\", L"clip", L".JPG", number, taken), L"clip100.JPG");
  // A gap is filled again; the folder is part of what is looked up.
  files.erase(L"C:\\c\\clip05.JPG");
  EXPECT_EQ(output::NextNumberedName(L"C:\\c\\", L"clip", L".JPG", number, taken), L"clip05.JPG");
  EXPECT_EQ(output::NextNumberedName(L"D:\\", L"clip", L".JPG", number, taken), L"clip00.JPG");
  // An empty base gives the bare number.
  EXPECT_EQ(output::NextNumberedName(L"C:\\c\\", L"", L".PNG", number, taken), L"00.PNG");
}

}  // namespace
}  // namespace pelnoro
