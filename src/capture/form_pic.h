// The picture window: the frozen screen during a capture, the cut image after.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::app {
class Application;
}

namespace pelnoro::capture {

class FormPic : public tk::Form {
 public:
  explicit FormPic(app::Application& app);

  tk::PictureBox PicturePic_Screen{this, L"PicturePic_Screen"};
  tk::PictureBox Picture_CHANGE1{this, L"Picture_CHANGE1"};
  tk::PictureBox Picture_CHANGE2{this, L"Picture_CHANGE2"};
  tk::PictureBox Picture_CHANGE3{this, L"Picture_CHANGE3"};
  tk::PictureBox PicturePic_TMP{this, L"PicturePic_TMP"};
  tk::Label LabelANCHOR{this, L"LabelANCHOR"};
  tk::Label LabelMESSAGE{this, L"LabelMESSAGE"};

 private:
  app::Application& app_;
};

}  // namespace pelnoro::capture
