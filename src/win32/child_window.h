// The windows of the containers inside a form: frames and picture boxes.
#pragma once

#include <windows.h>

#include "toolkit/controls.h"
#include "win32/container_window.h"
#include "win32/picture_canvas.h"

namespace pelnoro::win32 {

// A child window placed in its parent's scale units.
class ChildWindow : public ContainerWindow, public tk::ControlPeer {
 public:
  ChildWindow(tk::Container& c, ContainerWindow& parent, double tppX, double tppY);
  void sync(tk::Prop what) override;
  void toolTipsChanged() override { parent_.toolTipsChanged(); }
  void rescale(double tppX, double tppY) override;

 private:
  void applyGeometry();
  void applyVisible();

  ContainerWindow& parent_;
};

// A group box: the etched border with the caption in its top edge.
class FrameWindow : public ChildWindow {
 public:
  FrameWindow(tk::Frame& frame, ContainerWindow& parent, double tppX, double tppY)
      : ChildWindow(frame, parent, tppX, tppY), frame_(frame) {}

 protected:
  void paintDecoration(HDC dc, const RECT& client) override;

 private:
  const tk::Frame& frame_;
};

// A box showing its pixel surface, which covers it: no back buffer needed.
class PictureBoxWindow : public ChildWindow {
 public:
  PictureBoxWindow(tk::PictureBox& box, ContainerWindow& parent, double tppX, double tppY)
      : ChildWindow(box, parent, tppX, tppY), canvas_(box) {}
  void sync(tk::Prop what) override;

 protected:
  void paint(HDC dc, const RECT& client) override { canvas_.paint(dc, client); }

 private:
  PictureCanvas canvas_;
};

}  // namespace pelnoro::win32
