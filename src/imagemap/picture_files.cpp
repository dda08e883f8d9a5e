#include "imagemap/picture_files.h"

#include "capture/picture_window.h"

namespace pelnoro::imagemap {

bool IsLoadablePicture(sys::System& sys, const std::wstring& path) {
  if (path.empty()) return true;
  return sys.loadPicture(path, kPictureBackground, capture::kMaxImageSide).picture.has_value();
}

int ShellOpen(sys::System& sys, const std::wstring& path, int showCommand) {
  return sys.shellOpen(path, showCommand);
}

}  // namespace pelnoro::imagemap
