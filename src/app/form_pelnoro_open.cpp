// A picture file opened in place of a cut: it becomes the image to edit, link and save.
#include "app/application.h"
#include "app/form_pelnoro.h"
#include "capture/form_pic.h"
#include "dialogs/form_property_box.h"
#include "dialogs/texts.h"
#include "imagemap/form_cl_container.h"
#include "imagemap/map_document.h"
#include "imagemap/target_file.h"
#include "output/save_target.h"
#include "output/texts.h"
#include "program/run_error.h"

namespace pelnoro::app {

bool FormPELNORO::OpenImageFile(const std::wstring& path, const std::wstring& fileName) {
  auto& st = app_.state();
  auto& sys = app_.sys();
  auto& pic = app_.pic();
  auto& box = app_.propertyBox();
  // The path chosen or typed is opened itself; it is loaded before anything changes,
  // so a file that is no picture leaves the program as it was.
  sys::PictureLoad loaded =
      sys.loadPicture(path, imagemap::kPictureBackground, capture::kMaxImageSide);
  if (!loaded.picture) {
    sys.messageBox(
        program::ErrorMessageText(loaded.error, output::text::kErrorSource, loaded.description),
        output::text::kErrorTitle, sys::kMbOk);
    return false;
  }
  st.OriginalWidth = 0;
  st.OriginalHeight = 0;
  Listメインメニュー.setVisible(true);
  pic.TakeImage(std::move(*loaded.picture), capture::Framing::kOpened);

  // The format a save writes: the file's own when it is one of ours, otherwise the
  // chosen one, and the name then carries that format's extension.
  const program::Settings settings = box.Current();
  if (const std::wstring ext = output::ExtensionFor(settings.format); !ext.empty()) {
    st.SaveFileExt = ext;
  } else if (st.SaveFileExt.empty()) {
    st.SaveFileExt = output::text::kExtPng;  // the clipboard chosen: a lossless file
  }
  st.SaveFileName = output::FormatExtensionOf(fileName).empty()
                        ? output::WithExtension(fileName, st.SaveFileExt)
                        : fileName;
  if (const std::wstring name = imagemap::BaseName(fileName); !box.SetFileName(name)) {
    // Usable now; the settings file keeps the last name it can hold.
    sys.messageBox(dialogs::text::NameNotStorable(name, box.StoredFileName()),
                   output::text::kFileNameTitle, sys::kMbOk | sys::kMbIconExclamation);
  }
  openedPicture_ = true;

  imageWaitsForSave(settings.saveFolder);
  pic.show();
  pic.SetSurfacesAutoRedraw(false);
  DockPropertyBox();
  st.CaptureActive = program::kFalse;
  app_.linkTarget().ResetRole();
  return true;
}

}  // namespace pelnoro::app
