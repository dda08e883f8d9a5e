// The link-target dialog (also used to open picture files).
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::imagemap {

class FormCL_CONTAINER : public tk::Form {
 public:
  FormCL_CONTAINER();
  tk::Label LabelCONT_NAME{this, L"LabelCONT_NAME"};
};

}  // namespace pelnoro::imagemap
