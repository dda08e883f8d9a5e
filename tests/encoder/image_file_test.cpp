#include "encoder/image_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "encoder/bmp_encoder.h"
#include "test_images.h"

namespace pelnoro::encoder {
namespace {

namespace fs = std::filesystem;

class ImageFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("pelnoro-encoder-test-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(folder_ / "old.png", fs::perms::owner_all, ec);
    fs::remove_all(folder_, ec);
  }

  static std::vector<std::uint8_t> Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  static void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  std::size_t EntriesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {}));
  }

  fs::path folder_;
  testing::Image image_ = testing::ScreenLike(30, 20);
};

TEST_F(ImageFileTest, WritesExactlyTheEncodedBytesAndReplacesAnOldFile) {
  const fs::path target = folder_ / "clip00.PNG";
  Write(target, "an older, longer file that must disappear entirely");
  ASSERT_EQ(SavePngFile(image_.View(), PngLevel::kNormal, target), Error::kOk);
  std::vector<std::uint8_t> expected;
  ASSERT_EQ(EncodePng(image_.View(), PngLevel::kNormal, expected), Error::kOk);
  EXPECT_EQ(Read(target), expected);

  ASSERT_EQ(SaveBmpFile(image_.View(), folder_ / "clip01.BMP"), Error::kOk);
  ASSERT_EQ(EncodeBmp(image_.View(), expected), Error::kOk);
  EXPECT_EQ(Read(folder_ / "clip01.BMP"), expected);
  EXPECT_EQ(EntriesInFolder(), 2u);  // no temporary left behind
}

TEST_F(ImageFileTest, MissingFolderFailsWithoutLeavingAnything) {
  EXPECT_EQ(SaveJpegFile(image_.View(), {}, folder_ / "gone" / "clip.JPG"),
            Error::kCannotCreateFile);
  EXPECT_EQ(EntriesInFolder(), 0u);
}

TEST_F(ImageFileTest, ReadOnlyTargetIsRefusedAndKept) {
  const fs::path target = folder_ / "old.png";
  Write(target, "keep me");
  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(SavePngFile(image_.View(), PngLevel::kLow, target), Error::kCannotReplace);
  const std::vector<std::uint8_t> kept = Read(target);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep me");
  EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(ImageFileTest, FolderAsTargetIsRefused) {
  fs::create_directory(folder_ / "clip.BMP");
  EXPECT_EQ(SaveBmpFile(image_.View(), folder_ / "clip.BMP"), Error::kCannotReplace);
  EXPECT_TRUE(fs::is_directory(folder_ / "clip.BMP"));
  EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(ImageFileTest, EncodingFailureLeavesTheOldFileAlone) {
  const fs::path target = folder_ / "clip.JPG";
  Write(target, "previous picture");
  EXPECT_EQ(SaveJpegFile({image_.pixels.data(), 0, 20, 30}, {}, target), Error::kBadSize);
  const std::vector<std::uint8_t> kept = Read(target);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "previous picture");
  EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST(ErrorCodes, EveryCodeHasItsOwnText) {
  std::set<std::string> texts;
  for (int code = 0; code <= 10; ++code) texts.insert(ErrorText(static_cast<Error>(code)));
  EXPECT_EQ(texts.size(), 11u);
  EXPECT_STREQ(ErrorText(static_cast<Error>(99)), "unknown error");
}

}  // namespace
}  // namespace pelnoro::encoder
