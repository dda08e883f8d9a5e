#include "capture/form_pic.h"

namespace pelnoro::capture {

FormPic::FormPic(app::Application& app) : tk::Form(L"FormPic"), app_(app) {
  setBorderStyle(tk::BorderStyle::None);
  setScalePixels(true);
  setShowInTaskbar(false);
  PicturePic_Screen.setVisible(false);
  Picture_CHANGE1.setVisible(false);
  Picture_CHANGE2.setVisible(false);
  Picture_CHANGE3.setVisible(false);
  PicturePic_TMP.setVisible(false);
  LabelANCHOR.setVisible(false);
  LabelMESSAGE.setVisible(false);
  (void)app_;
}

}  // namespace pelnoro::capture
