#include "toolkit/control.h"

#include <algorithm>

#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::tk {

Control::Control(Container* parent, std::wstring name) : name_(std::move(name)), parent_(parent) {
  if (parent_) parent_->children_.push_back(this);
}

Control::~Control() {
  if (parent_) {
    auto& c = parent_->children_;
    c.erase(std::remove(c.begin(), c.end(), this), c.end());
  }
}

void Control::changed(Prop what) {
  if (peer_) peer_->sync(what);
}

void Control::move(double left, double top, double width, double height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  changed(Prop::Geometry);
}

void Control::setVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  changed(Prop::Visible);
}

void Control::setEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  changed(Prop::Enabled);
}

void Control::setToolTip(std::wstring v) {
  if (v == toolTip_) return;
  toolTip_ = std::move(v);
  changed(Prop::ToolTip);
}

void Control::setBackColor(Color c) {
  if (c == backColor_) return;
  backColor_ = c;
  changed(Prop::Appearance);
}

void Control::setForeColor(Color c) {
  if (c == foreColor_) return;
  foreColor_ = c;
  changed(Prop::Appearance);
}

void Control::setFont(Font f) {
  font_ = std::move(f);
  changed(Prop::Appearance);
}

void Control::setMousePointer(Pointer p) {
  if (p == mousePointer_) return;
  mousePointer_ = p;
  changed(Prop::Pointer);
}

bool Control::shownOnForm() const {
  for (const Control* c = this; c; c = c->parent()) {
    if (!c->visible()) return false;
  }
  return true;
}

void Container::bringToFront(Control* child) {
  auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end()) return;
  children_.erase(it);
  children_.push_back(child);
  child->changed(Prop::ZOrder);
}

}  // namespace pelnoro::tk
