#include "dialogs/form_text_view.h"

namespace pelnoro::dialogs {

FormTEXTview::FormTEXTview() : tk::Form(L"FormTEXTview") {
  setCaption(L"テキスト");
  setBorderStyle(tk::BorderStyle::SizableToolWindow);
  setShowInTaskbar(false);
  move(0, 0, 6000, 4500);
  TextTEXT.move(0, 0, 5880, 4080);
}

}  // namespace pelnoro::dialogs
