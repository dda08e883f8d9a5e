#include "app/application.h"

#include "app/form_pelnoro.h"
#include "app/texts.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "dialogs/form_fld_browse.h"
#include "dialogs/form_property_box.h"
#include "dialogs/form_text_view.h"
#include "edit/image_editor.h"
#include "imagemap/form_cl_container.h"
#include "imagemap/link_mode.h"

namespace pelnoro::app {

Application::Application(sys::System& sys) : sys_(sys) {
  main_ = std::make_unique<FormPELNORO>(*this);
  folderChooser_ = std::make_unique<dialogs::FormFLD_browse>(sys_);
  propertyBox_ = std::make_unique<dialogs::FormPROPERTY_BOX>(sys_, state_, *folderChooser_);
  loupeLayer_ = std::make_unique<capture::FormLOUPE_LAYER1>(state_);
  loupe_ = std::make_unique<capture::FormLOUPE>(state_, *loupeLayer_);
  pic_ = std::make_unique<capture::FormPic>(sys_, state_, *loupe_);
  textView_ = std::make_unique<dialogs::FormTEXTview>();
  editor_ = std::make_unique<edit::ImageEditor>(state_, *pic_, *main_);
  linkMode_ = std::make_unique<imagemap::LinkMode>(sys_, state_, *main_, *pic_, *textView_);
  linkTarget_ = std::make_unique<imagemap::FormCL_CONTAINER>(sys_);
  const double tx = sys_.twipsPerPixelX(), ty = sys_.twipsPerPixelY();
  for (tk::Form* f :
       {static_cast<tk::Form*>(main_.get()), static_cast<tk::Form*>(propertyBox_.get()),
        static_cast<tk::Form*>(folderChooser_.get()), static_cast<tk::Form*>(loupe_.get()),
        static_cast<tk::Form*>(loupeLayer_.get()), static_cast<tk::Form*>(pic_.get()),
        static_cast<tk::Form*>(linkTarget_.get()), static_cast<tk::Form*>(textView_.get())}) {
    f->setTwipsPerPixel(tx, ty);
  }
  wire();
}

Application::~Application() = default;

void Application::wire() {
  FormPELNORO& m = *main_;
  capture::FormPic& pic = *pic_;
  // The selection lives in the main window's coordinate labels.
  pic.screenSelection = {&m.Label始点X, &m.Label始点Y, &m.Label終点X, &m.Label終点Y};
  pic.editSelection = {&m.Label始点X2, &m.Label始点Y2, &m.Label終点X2, &m.Label終点Y2};
  pic.screenPointer = {&m.LabelポインタX, &m.LabelポインタY};
  pic.editPointer = {&m.LabelポインタX2, &m.LabelポインタY2};
  pic.raiseMainWindow = [&m] { m.raiseTopmost(); };
  // A clip's keys work whichever of its windows has the focus.
  for (tk::Form* f :
       {static_cast<tk::Form*>(&m), static_cast<tk::Form*>(&pic),
        static_cast<tk::Form*>(loupe_.get()), static_cast<tk::Form*>(loupeLayer_.get())}) {
    f->onKeyDown = [&m](const tk::KeyPress& key) { return m.Form_KeyDown(key); };
  }

  folderChooser_->folderChosen = [&m, &pic](const std::wstring& folder) {
    m.Label保存フォルダ.setCaption(folder);
    pic.Picture_CHANGE1.setToolTip(folder + m.Labelファイル名.caption());
  };

  editor_->mainWindowAside = [&m](bool aside) {
    if (aside) {
      m.StepOutOfView();
    } else {
      m.StepBackIntoView();
    }
  };

  dialogs::FormPROPERTY_BOX& box = *propertyBox_;
  auto settings = [&box] { return box.Current(); };
  linkMode_->settings = settings;
  linkMode_->shownFileName = [&m] { return m.Labelファイル名.caption(); };
  linkMode_->mainWindowBox = [&m] { return m.box(); };
  linkMode_->openSavePanel = [&m] { m.Label保存開く_Click(); };
  imagemap::FormCL_CONTAINER& dialog = *linkTarget_;
  imagemap::LinkMode& linkMode = *linkMode_;
  linkMode.showLinkTarget = [&dialog](double left, double below) {
    dialog.ShowForLinking(left, below);
  };
  dialog.linkChosen = [&linkMode](const imagemap::AreaLink& link) {
    return linkMode.AddArea(link);
  };
  linkTarget_->settings = settings;
  linkTarget_->editSelection = pic.editSelection;
  linkTarget_->openImage = [&m](const std::wstring& path, const std::wstring& fileName) {
    return m.OpenImageFile(path, fileName);
  };
}

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
  main_->TakeShutterKey();
  main_->show();
  return true;
}

void Application::end() {
  if (ended_) return;
  ended_ = true;
  sys_.quit();
}

}  // namespace pelnoro::app
