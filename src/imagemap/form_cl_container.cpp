#include "imagemap/form_cl_container.h"

namespace pelnoro::imagemap {

FormCL_CONTAINER::FormCL_CONTAINER() : tk::Form(L"FormCL_CONTAINER") {
  setBorderStyle(tk::BorderStyle::None);
  setShowInTaskbar(false);
  move(0, -6000, 6000, 4500);
  LabelCONT_NAME.move(120, 120, 5000, 255);
  LabelCONT_NAME.setCaption(L"　リンクファイル");
}

}  // namespace pelnoro::imagemap
