#include "imagemap/form_cl_container.h"

#include "imagemap/texts.h"
#include "toolkit/geometry.h"

namespace pelnoro::imagemap {

FormCL_CONTAINER::FormCL_CONTAINER() : tk::Form(L"FormCL_CONTAINER") {
  setBorderStyle(tk::BorderStyle::None);
  setShowInTaskbar(false);
  move(0, -6000, 6000, 4500);
  LabelCONT_NAME.move(120, 120, 5000, 255);
  LabelCONT_NAME.setCaption(text::kLinkRole);
}

void FormCL_CONTAINER::ResetRole() {
  LabelCONT_NAME.setCaption(text::kLinkRole);
  hide();
  setTop(-6000);
}

void FormCL_CONTAINER::PrepareForOpening(double screenWidth, double screenHeight) {
  LabelCONT_NAME.setCaption(text::kOpenRole);
  const tk::Box b = tk::Centred(width(), height(), screenWidth, screenHeight);
  move(b.left, b.top, b.width, b.height);
}

}  // namespace pelnoro::imagemap
