#include "capture/form_loupe.h"

namespace pelnoro::capture {

FormLOUPE::FormLOUPE(app::Application& app) : tk::Form(L"FormLOUPE"), app_(app) {
  setBorderStyle(tk::BorderStyle::None);
  setShowInTaskbar(false);
  setScalePixels(true);
  move(0, -1800, 1800, 1800);
  PictureLOUPE.move(0, 0, 120, 120);
  PictureLOUPE.surface().resize(120, 120, 0x00000000);
  onMouseDown = [this](const tk::MouseEvent& e) {
    if (e.button & tk::kLeftButton) beginMoveDrag();
  };
  PictureLOUPE.onMouseDown = onMouseDown;
  (void)app_;
}

FormLOUPE_LAYER1::FormLOUPE_LAYER1(app::Application& app)
    : tk::Form(L"FormLOUPE_LAYER1"), app_(app) {
  setBorderStyle(tk::BorderStyle::None);
  setShowInTaskbar(false);
  setScalePixels(true);
  move(0, -1800, 1800, 1800);
  onMouseDown = [this](const tk::MouseEvent& e) {
    if (e.button & tk::kLeftButton) beginMoveDrag();
  };
  (void)app_;
}

}  // namespace pelnoro::capture
