#include "win32/win32_peer_factory.h"

#include "win32/child_peers.h"
#include "win32/child_window.h"
#include "win32/form_window.h"

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

void realiseChildren(tk::Container& c, ContainerWindow& window, double tppX, double tppY);

template <class Window, class Box>
void realiseContainer(Box& box, ContainerWindow& parent, double tppX, double tppY) {
  auto peer = std::make_unique<Window>(box, parent, tppX, tppY);
  Window& sub = *peer;
  box.setPeer(std::move(peer));
  realiseChildren(box, sub, tppX, tppY);
}

void realiseChildren(tk::Container& c, ContainerWindow& window, double tppX, double tppY) {
  for (tk::Control* child : c.children()) {
    if (IsWindowless(child->kind())) {
      child->setPeer(std::make_unique<WindowlessPeer>(*child, window));
    } else if (child->kind() == tk::Kind::Frame) {
      realiseContainer<FrameWindow>(static_cast<tk::Frame&>(*child), window, tppX, tppY);
    } else if (child->kind() == tk::Kind::PictureBox) {
      realiseContainer<PictureBoxWindow>(static_cast<tk::PictureBox&>(*child), window, tppX, tppY);
    } else if (auto peer = MakeNativeChild(*child, window)) {
      child->setPeer(std::move(peer));
    }
  }
}

}  // namespace

void Win32PeerFactory::realise(tk::Form& form) {
  auto peer = std::make_unique<FormWindow>(form, tppX_, tppY_);
  FormWindow& window = *peer;
  // The form finds what only a window can do through its FormPeer side.
  form.setPeer(std::unique_ptr<tk::FormPeer>(std::move(peer)));
  realiseChildren(form, window, tppX_, tppY_);
  window.toolTipsChanged();
}

}  // namespace pelnoro::win32
