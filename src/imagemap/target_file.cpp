#include "imagemap/target_file.h"

#include "capture/form_pic_geometry.h"

namespace pelnoro::imagemap {

bool IsLoadablePicture(sys::System& sys, const std::wstring& path) {
  if (path.empty()) return true;
  return sys.loadPicture(path, kPictureBackground, capture::kMaxImageSide).picture.has_value();
}

int ShellOpen(sys::System& sys, const std::wstring& path, int showCommand) {
  return sys.shellOpen(path, showCommand);
}

}  // namespace pelnoro::imagemap
