#include "system/picture_memory.h"

#include <string>

namespace pelnoro::sys {

namespace {

constexpr std::uint64_t kImagesHeld = 4;
constexpr std::uint64_t kBytesPerPixel = 4;
constexpr std::uint64_t kMegabyte = 1 << 20;

std::wstring megabytes(std::uint64_t bytes) {
  return std::to_wstring((bytes + kMegabyte / 2) / kMegabyte) + L" MB";
}

}  // namespace

std::uint64_t PictureMemoryNeed(long long width, long long height) {
  if (width <= 0 || height <= 0) return 0;
  // More than any memory: the product would not fit.
  const std::uint64_t limit = UINT64_MAX / (kImagesHeld * kBytesPerPixel);
  if (static_cast<std::uint64_t>(width) > limit / static_cast<std::uint64_t>(height)) {
    return UINT64_MAX;
  }
  return kImagesHeld * kBytesPerPixel * static_cast<std::uint64_t>(width) *
         static_cast<std::uint64_t>(height);
}

std::optional<PictureLoad> RefusedForMemory(long long width, long long height,
                                            std::uint64_t available) {
  const std::uint64_t need = PictureMemoryNeed(width, height);
  if (need <= available) return std::nullopt;
  return PictureLoad{std::nullopt, kPictureOutOfMemory,
                     L"この画像 (" + std::to_wstring(width) + L"×" + std::to_wstring(height) +
                         L") を開くには約 " + megabytes(need) +
                         L" のメモリが必要ですが、空いているメモリは約 " + megabytes(available) +
                         L" です。ほかのプログラムを閉じるか、小さい画像にしてください。"};
}

}  // namespace pelnoro::sys
