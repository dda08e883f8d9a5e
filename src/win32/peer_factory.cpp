#include "win32/peer_factory.h"

#include "win32/child_peers.h"
#include "win32/container_window.h"

namespace pelnoro::win32 {

namespace {

// Windowless controls are drawn by the window of their container.
class WindowlessPeer : public tk::ControlPeer {
 public:
  WindowlessPeer(tk::Control& c, ContainerWindow& host) : c_(c), host_(host) {}
  void sync(tk::Prop what) override { host_.childChanged(c_, what); }

 private:
  tk::Control& c_;
  ContainerWindow& host_;
};

void realiseChildren(tk::Container& c, ContainerWindow& window, double tppX, double tppY) {
  for (tk::Control* child : c.children()) {
    if (IsWindowless(child->kind())) {
      child->setPeer(std::make_unique<WindowlessPeer>(*child, window));
    } else if (child->kind() == tk::Kind::Frame || child->kind() == tk::Kind::PictureBox) {
      auto& sub = static_cast<tk::Container&>(*child);
      auto peer = std::make_unique<ContainerWindow>(sub, &window, tppX, tppY);
      ContainerWindow& subWindow = *peer;
      child->setPeer(std::move(peer));
      realiseChildren(sub, subWindow, tppX, tppY);
    } else if (auto peer = MakeNativeChild(*child, window)) {
      child->setPeer(std::move(peer));
    }
  }
}

}  // namespace

void Win32PeerFactory::realise(tk::Form& form) {
  auto peer = std::make_unique<ContainerWindow>(form, nullptr, tppX_, tppY_);
  ContainerWindow& window = *peer;
  form.setPeer(std::move(peer));
  realiseChildren(form, window, tppX_, tppY_);
  window.refreshToolTips();
}

}  // namespace pelnoro::win32
