// The tool tips of a form and of every frame and picture box on it, in one
// tool-tip window that the form owns.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace pelnoro::win32 {

class ContainerWindow;

class FormToolTips {
 public:
  // Makes the tool-tip window, owned by the form's so that it goes with it.
  void create(HWND form);
  // Drops every tool and adds one for each shown control with a tip.
  void rebuild(ContainerWindow& form);
  // A tip shown now goes: the form moved away from under it.
  void pop() {
    if (tip_) SendMessageW(tip_, TTM_POP, 0, 0);
  }

 private:
  void add(ContainerWindow& window);
  HWND tip_ = nullptr;
};

}  // namespace pelnoro::win32
