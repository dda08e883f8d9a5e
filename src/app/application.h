// The program: its windows, their shared state and the system they run on. It builds
// the windows and wires the ways they affect each other.
#pragma once

#include <memory>

#include "program/app_state.h"
#include "system/system.h"
#include "toolkit/peer_factory.h"

namespace pelnoro::capture {
class FormPic;
class FormLOUPE;
class FormLOUPE_LAYER1;
}  // namespace pelnoro::capture
namespace pelnoro::dialogs {
class FormPROPERTY_BOX;
class FormFLD_browse;
class FormTEXTview;
}  // namespace pelnoro::dialogs
namespace pelnoro::edit {
class ImageEditor;
}
namespace pelnoro::imagemap {
class FormCL_CONTAINER;
class LinkMode;
}  // namespace pelnoro::imagemap

namespace pelnoro::app {

class FormPELNORO;

class Application {
 public:
  explicit Application(sys::System& sys);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  sys::System& sys() { return sys_; }
  program::AppState& state() { return state_; }

  FormPELNORO& main() { return *main_; }
  dialogs::FormPROPERTY_BOX& propertyBox() { return *propertyBox_; }
  dialogs::FormFLD_browse& folderChooser() { return *folderChooser_; }
  capture::FormLOUPE& loupe() { return *loupe_; }
  capture::FormLOUPE_LAYER1& loupeLayer() { return *loupeLayer_; }
  capture::FormPic& pic() { return *pic_; }
  imagemap::FormCL_CONTAINER& linkTarget() { return *linkTarget_; }
  dialogs::FormTEXTview& textView() { return *textView_; }
  edit::ImageEditor& editor() { return *editor_; }
  imagemap::LinkMode& linkMode() { return *linkMode_; }

  // Gives every window its native peer.
  void realise(tk::PeerFactory& peers);

  // The start: refuses a second copy (false), else loads and shows the main window.
  bool start();
  // Ends the program; the message loop stops once the current event returns.
  void end();
  bool ended() const { return ended_; }

 private:
  void wire();

  sys::System& sys_;
  program::AppState state_;
  std::unique_ptr<FormPELNORO> main_;
  std::unique_ptr<dialogs::FormFLD_browse> folderChooser_;
  std::unique_ptr<dialogs::FormPROPERTY_BOX> propertyBox_;
  std::unique_ptr<capture::FormLOUPE_LAYER1> loupeLayer_;
  std::unique_ptr<capture::FormLOUPE> loupe_;
  std::unique_ptr<capture::FormPic> pic_;
  std::unique_ptr<dialogs::FormTEXTview> textView_;
  std::unique_ptr<edit::ImageEditor> editor_;
  std::unique_ptr<imagemap::LinkMode> linkMode_;
  std::unique_ptr<imagemap::FormCL_CONTAINER> linkTarget_;
  bool ended_ = false;
};

}  // namespace pelnoro::app
