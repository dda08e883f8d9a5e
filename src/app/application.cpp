#include "app/application.h"

#include "app/form_pelnoro.h"
#include "app/texts.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "dialogs/form_fld_browse.h"
#include "dialogs/form_property_box.h"

namespace pelnoro::app {

Application::Application(sys::System& sys) : sys_(sys) {
  main_ = std::make_unique<FormPELNORO>(*this);
  propertyBox_ = std::make_unique<dialogs::FormPROPERTY_BOX>(*this);
  folderChooser_ = std::make_unique<dialogs::FormFLD_browse>(*this);
  loupe_ = std::make_unique<capture::FormLOUPE>(*this);
  loupeLayer_ = std::make_unique<capture::FormLOUPE_LAYER1>(*this);
  pic_ = std::make_unique<capture::FormPic>(*this);
  const double tx = sys_.twipsPerPixelX(), ty = sys_.twipsPerPixelY();
  for (tk::Form* f : {static_cast<tk::Form*>(main_.get()), static_cast<tk::Form*>(propertyBox_.get()),
                      static_cast<tk::Form*>(folderChooser_.get()),
                      static_cast<tk::Form*>(loupe_.get()), static_cast<tk::Form*>(loupeLayer_.get()),
                      static_cast<tk::Form*>(pic_.get())}) {
    f->setTwipsPerPixel(tx, ty);
  }
}

Application::~Application() = default;

void Application::realise(tk::PeerFactory& peers) {
  peers.realise(*main_);
  peers.realise(*propertyBox_);
  peers.realise(*folderChooser_);
  peers.realise(*loupe_);
  peers.realise(*loupeLayer_);
  peers.realise(*pic_);
}

bool Application::start() {
  if (sys_.previousInstanceRunning()) {
    sys_.messageBox(text::kAlreadyRunning, text::kAppTitle, sys::kMbOk | sys::kMbIconExclamation);
    end();
    return false;
  }
  main_->Form_Load();
  main_->show();
  return true;
}

void Application::end() {
  if (ended_) return;
  ended_ = true;
  sys_.quit();
}

}  // namespace pelnoro::app
