// The folder chooser.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::app {
class Application;
}

namespace pelnoro::dialogs {

class FormFLD_browse : public tk::Form {
 public:
  explicit FormFLD_browse(app::Application& app);

  tk::Label LabelTitle{this, L"LabelTitle"};

 private:
  app::Application& app_;
};

}  // namespace pelnoro::dialogs
