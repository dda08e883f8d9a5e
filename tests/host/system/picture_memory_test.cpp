#include "system/picture_memory.h"

#include <gtest/gtest.h>

namespace pelnoro {
namespace {

TEST(PictureMemory, APictureNeedsFourOfItsImagesAndIsRefusedBeyondWhatIsFree) {
  // 12000 x 9000: 432,000,000 bytes an image, four of them.
  constexpr std::uint64_t kNeed = 1'728'000'000;
  EXPECT_EQ(sys::PictureMemoryNeed(12000, 9000), kNeed);
  EXPECT_FALSE(sys::RefusedForMemory(12000, 9000, kNeed));
  EXPECT_FALSE(sys::RefusedForMemory(0, 0, 0));  // no size declared: left to the decoder
  EXPECT_EQ(sys::PictureMemoryNeed(1ll << 32, 1ll << 32), UINT64_MAX);
  const auto refused = sys::RefusedForMemory(12000, 9000, kNeed - 1);
  ASSERT_TRUE(refused);
  EXPECT_FALSE(refused->picture);
  EXPECT_EQ(refused->error, sys::kPictureOutOfMemory);
  EXPECT_EQ(
      sys::RefusedForMemory(12000, 9000, 900u << 20)->description,
      L"この画像 (12000×9000) を開くには約 1648 MB のメモリが必要ですが、空いているメモリは約 "
      L"900 MB です。ほかのプログラムを閉じるか、小さい画像にしてください。");
}

}  // namespace
}  // namespace pelnoro
