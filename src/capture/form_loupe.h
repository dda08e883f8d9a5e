// The magnifier and its see-through crosshair overlay.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::app {
class Application;
}

namespace pelnoro::capture {

class FormLOUPE : public tk::Form {
 public:
  explicit FormLOUPE(app::Application& app);
  tk::PictureBox PictureLOUPE{this, L"PictureLOUPE"};

 private:
  app::Application& app_;
};

class FormLOUPE_LAYER1 : public tk::Form {
 public:
  explicit FormLOUPE_LAYER1(app::Application& app);

 private:
  app::Application& app_;
};

}  // namespace pelnoro::capture
