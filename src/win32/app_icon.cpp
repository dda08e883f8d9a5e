#include "win32/app_icon.h"

#include <map>

#include "win32/resource_ids.h"

namespace pelnoro::win32 {

HICON AppIcon(int size) {
  static std::map<int, HICON> icons;
  auto it = icons.find(size);
  if (it != icons.end()) return it->second;
  // Not shared: a shared icon keeps the first size it was loaded at.
  auto icon =
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(PELNORO_ICON_ID),
                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
  icons[size] = icon;
  return icon;
}

int SmallIconSize(int dpi) {
  return MulDiv(16, dpi, 96);
}

int LargeIconSize(int dpi) {
  return MulDiv(32, dpi, 96);
}

}  // namespace pelnoro::win32
