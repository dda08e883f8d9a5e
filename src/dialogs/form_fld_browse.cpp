#include "dialogs/form_fld_browse.h"

#include "app/skins.h"

namespace pelnoro::dialogs {

FormFLD_browse::FormFLD_browse(app::Application& app) : tk::Form(L"FormFLD_browse"), app_(app) {
  setCaption(L"フォルダの選択");
  setBorderStyle(tk::BorderStyle::None);
  setShowInTaskbar(false);
  move(0, 0, 4500, 4500);
  setPicture(app::FolderChooserSkin());
  LabelTitle.move(0, 0, 4500, 300);
  LabelTitle.setCaption(L"　フォルダの選択");
  LabelTitle.setBackColor(0x00805030);
  LabelTitle.setForeColor(0x00FFFFFF);
  LabelTitle.onMouseDown = [this](const tk::MouseEvent& e) {
    if (e.button & tk::kLeftButton) beginMoveDrag();
  };
  (void)app_;
}

}  // namespace pelnoro::dialogs
