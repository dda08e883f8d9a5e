#include "toolkit/form.h"

#include <algorithm>

namespace pelnoro::tk {

Form::Form(std::wstring name) : Container(nullptr, std::move(name)) {
  setVisible(false);
}

void Form::setCaption(std::wstring v) {
  caption_ = std::move(v);
  changed(Prop::Caption);
}

void Form::setBorderStyle(BorderStyle b) {
  borderStyle_ = b;
  changed(Prop::Appearance);
}

void Form::setControlBox(bool v) {
  controlBox_ = v;
  changed(Prop::Appearance);
}

void Form::setMinMaxButtons(bool min, bool max) {
  minButton_ = min;
  maxButton_ = max;
  changed(Prop::Appearance);
}

void Form::setPicture(std::shared_ptr<const image::Surface> p) {
  picture_ = std::move(p);
  changed(Prop::Picture);
}

void Form::setWindowState(WindowState s) {
  if (s == windowState_) return;
  windowState_ = s;
  changed(Prop::Geometry);
  raiseResize();
}

void Form::setTopmost() {
  topmost_ = true;
  setVisible(true);
  if (auto* p = formPeer()) {
    p->setTopmost(true);
  } else if (onActivate) {
    onActivate();  // raising a window activates it
  }
}

void Form::raiseTopmost() {
  topmost_ = true;
  setVisible(true);
  if (auto* p = formPeer()) p->setTopmost(false);
}

void Form::beginMoveDrag() {
  if (auto* p = formPeer()) p->beginMoveDrag();
}

void Form::setColorKey(Color key) {
  setBackColor(key);
  if (auto* p = formPeer()) p->setColorKey(key);
}

bool Form::queryUnload(UnloadMode mode) {
  bool cancel = false;
  if (onQueryUnload) onQueryUnload(cancel, mode);
  return !cancel;
}

double Form::scaleWidth() const {
  if (auto* p = formPeer()) {
    const double px = p->clientWidthPixels();
    return scalePixels() ? px : px * tppX_;
  }
  const double tw = std::max(0.0, width() - frameX_);
  return scalePixels() ? tw / tppX_ : tw;
}

double Form::scaleHeight() const {
  if (auto* p = formPeer()) {
    const double px = p->clientHeightPixels();
    return scalePixels() ? px : px * tppY_;
  }
  const double tw = std::max(0.0, height() - frameY_);
  return scalePixels() ? tw / tppY_ : tw;
}

}  // namespace pelnoro::tk
