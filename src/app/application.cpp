#include "app/application.h"

#include "app/form_pelnoro.h"
#include "app/texts.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "dialogs/form_fld_browse.h"
#include "dialogs/form_property_box.h"
#include "dialogs/form_text_view.h"
#include "imagemap/form_cl_container.h"

namespace pelnoro::app {

Application::Application(sys::System& sys) : sys_(sys) {
  main_ = std::make_unique<FormPELNORO>(*this);
  propertyBox_ = std::make_unique<dialogs::FormPROPERTY_BOX>(*this);
  folderChooser_ = std::make_unique<dialogs::FormFLD_browse>(*this);
  loupe_ = std::make_unique<capture::FormLOUPE>(*this);
  loupeLayer_ = std::make_unique<capture::FormLOUPE_LAYER1>(*this);
  pic_ = std::make_unique<capture::FormPic>(*this);
  linkTarget_ = std::make_unique<imagemap::FormCL_CONTAINER>();
  textView_ = std::make_unique<dialogs::FormTEXTview>();
  const double tx = sys_.twipsPerPixelX(), ty = sys_.twipsPerPixelY();
  for (tk::Form* f : {static_cast<tk::Form*>(main_.get()), static_cast<tk::Form*>(propertyBox_.get()),
                      static_cast<tk::Form*>(folderChooser_.get()),
                      static_cast<tk::Form*>(loupe_.get()), static_cast<tk::Form*>(loupeLayer_.get()),
                      static_cast<tk::Form*>(pic_.get()), static_cast<tk::Form*>(linkTarget_.get()),
                      static_cast<tk::Form*>(textView_.get())}) {
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
  peers.realise(*linkTarget_);
  peers.realise(*textView_);
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
