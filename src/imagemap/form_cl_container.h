// The link-target dialog (also used to open picture files).
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::imagemap {

class FormCL_CONTAINER : public tk::Form {
 public:
  FormCL_CONTAINER();
  tk::Label LabelCONT_NAME{this, L"LabelCONT_NAME"};

  // Back to the link-target role, hidden and out of view.
  void ResetRole();
  // The open role, centred on a screen of the given size (twips).
  void PrepareForOpening(double screenWidth, double screenHeight);
};

}  // namespace pelnoro::imagemap
