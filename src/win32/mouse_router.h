// Turns the mouse messages of a container window into the events of the
// windowless control under the pointer, or of the container itself.
#pragma once

#include <windows.h>

#include "toolkit/control.h"

namespace pelnoro::win32 {

class ContainerWindow;

// The control pressed keeps the events until every button is up, as a
// captured window would; a left press and release over the same control is a
// Click, and the second press of a double click raises DblClick instead.
class MouseRouter {
 public:
  explicit MouseRouter(ContainerWindow& window) : window_(window) {}
  // False for messages that are not about the mouse buttons or its moves.
  bool message(UINT msg, WPARAM wp, LPARAM lp);
  // Another window took the mouse (a handler started a drag or a dialog):
  // the press is over.
  void captureLost();

 private:
  enum Event { kDown, kMove, kUp };
  void raise(tk::Control* target, Event event, int button, int shift, int x, int y);
  tk::Control& receiver(tk::Control* target);

  ContainerWindow& window_;
  int buttonsDown_ = 0;
  // The windowless control pressed; null while the container itself is.
  tk::Control* pressed_ = nullptr;
  bool afterDblClick_ = false;
};

}  // namespace pelnoro::win32
