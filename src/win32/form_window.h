// The top-level window of a form: its style from the border style, its
// place on the screen in twips, its state, activation and closing, and the
// tool tips of everything on it.
#pragma once

#include <windows.h>

#include "toolkit/form.h"
#include "win32/container_window.h"
#include "win32/form_tool_tips.h"

namespace pelnoro::win32 {

// A key going to one of the program's windows is offered to that window's form first;
// true when the form took it, and then no control sees it.
bool OfferKeyToForm(const MSG& msg);

class FormWindow : public ContainerWindow, public tk::FormPeer {
 public:
  FormWindow(tk::Form& form, double tppX, double tppY);

  void sync(tk::Prop what) override;
  void beginMoveDrag() override;
  void setTopmost(bool activate) override;
  int clientWidthPixels() override;
  int clientHeightPixels() override;
  void setColorKey(tk::Color key) override;
  void toolTipsChanged() override { toolTips_.rebuild(*this); }

 protected:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override;
  // The form's picture and its outline, under the windowless controls.
  void paintDecoration(HDC dc, const RECT& client) override;

 private:
  void applyStyle();
  void applyGeometry();
  void applyVisible();
  // The user moved or sized the window, or changed its state.
  void windowMoved();
  void sized(WPARAM how);
  // The system moved the window to a monitor of another scale.
  void dpiChanged(int dpiX, int dpiY, const RECT& suggested);

  tk::Form& form_;
  // The form's left and top are screen twips at the primary monitor's scale, one
  // frame for every window whatever monitor it stands on; its size and its
  // controls follow the scale of the window's own monitor (ContainerWindow).
  const double posTppX_, posTppY_;
  // Set while the window follows the form, so the echo is not taken for the user's doing.
  bool syncing_ = false;
  bool shownOnce_ = false;
  bool layered_ = false;
  FormToolTips toolTips_;
};

}  // namespace pelnoro::win32
