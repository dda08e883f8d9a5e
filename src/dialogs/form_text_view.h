// The text window that shows a map document.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::dialogs {

class FormTEXTview : public tk::Form {
 public:
  FormTEXTview();
  tk::TextBox TextTEXT{this, L"TextTEXT"};
};

}  // namespace pelnoro::dialogs
