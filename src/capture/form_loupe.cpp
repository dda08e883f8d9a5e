#include "capture/form_loupe.h"

#include "image/pixel_ops.h"
#include "system/number_text.h"

namespace pelnoro::capture {

namespace {
constexpr std::uint32_t kDarkRed = 0x00000080;
constexpr std::uint32_t kBrightGreen = 0x0000FB00;  // not the key colour: stays visible
}  // namespace

std::shared_ptr<const image::Surface> CrosshairPicture() {
  static const auto picture = [] {
    image::Surface s(kLoupeSize, kLoupeSize, kLoupeKey);
    // The dark-red cross along column and row 60, open at 57-58 and 62-63.
    for (int i = 0; i < kLoupeSize; ++i) {
      if (i == 57 || i == 58 || i == 62 || i == 63) continue;
      s.setPixel(60, i, kDarkRed);
      s.setPixel(i, 60, kDarkRed);
    }
    s.fillRect(59, 59, 3, 3, kDarkRed);
    // Bright-green lines beside the inner part of the cross.
    for (int r = 29; r <= 89; ++r) {
      if (r > 56 && r < 64) continue;
      s.setPixel(59, r, kBrightGreen);
      s.setPixel(61, r, kBrightGreen);
    }
    for (int c = 30; c <= 89; ++c) {
      if (c > 56 && c < 64) continue;
      s.setPixel(c, 59, kBrightGreen);
      s.setPixel(c, 61, kBrightGreen);
    }
    return std::make_shared<const image::Surface>(std::move(s));
  }();
  return picture;
}

FormLOUPE::FormLOUPE(const program::AppState& state, FormLOUPE_LAYER1& layer)
    : tk::Form(L"FormLOUPE"), state_(state), layer_(layer) {
  layer_.loupe_ = this;
  setCaption(L"Loupe");
  setBorderStyle(tk::BorderStyle::None);
  setShowInTaskbar(false);
  setScalePixels(true);
  move(0, -1800, 1800, 1800);
  PictureLOUPE.move(0, 0, kLoupeSize, kLoupeSize);
  PictureLOUPE.surface().resize(kLoupeSize, kLoupeSize, 0x00000000);
  // The picture fills the window: its mouse events are the window's.
  PictureLOUPE.onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
  PictureLOUPE.onMouseUp = [this](const tk::MouseEvent& e) { Form_MouseUp(e); };
  PictureLOUPE.onClick = [this] { Form_Click(); };
  onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
  onMouseUp = [this](const tk::MouseEvent& e) { Form_MouseUp(e); };
  onClick = [this] { Form_Click(); };
}

void FormLOUPE::Feed(const image::Surface& frozen, double x, double y) {
  const int sx = static_cast<int>(sys::RoundHalfEven(x - 15));
  const int sy = static_cast<int>(sys::RoundHalfEven(y - 15));
  image::StretchNearest(frozen, sx, sy, kLoupeSource, kLoupeSource, PictureLOUPE.surface(), 0, 0,
                        kLoupeSize, kLoupeSize, 0x00000000);
  PictureLOUPE.refresh();
}

void FormLOUPE::Place(double left, double top, double width, double height) {
  move(left, top, width, height);
  if (layered()) layer_.move(left, top, width, height);
}

void FormLOUPE::ShowAt(double left, double top) {
  move(left, top, width(), height());
  setTopmost();
  if (layered()) {
    layer_.move(left, top, layer_.width(), layer_.height());
    layer_.setTopmost();
  }
}

void FormLOUPE::Park(double top) {
  setTop(top);
  if (layered()) layer_.setTop(top);
}

void FormLOUPE::Raise(bool activate) {
  if (!activate) {
    raiseTopmost();
    if (layered()) layer_.raiseTopmost();
    return;
  }
  setTopmost();
  if (layered()) layer_.setTopmost();
}

void FormLOUPE::Form_MouseDown(const tk::MouseEvent& e) {
  if (e.button != tk::kLeftButton) return;
  beginMoveDrag();
  // The system's move loop ends with the button: bring the overlay along.
  if (layered()) layer_.move(left(), top(), layer_.width(), layer_.height());
}

void FormLOUPE::Form_MouseUp(const tk::MouseEvent&) {
  if (layered()) layer_.move(left(), top(), layer_.width(), layer_.height());
}

void FormLOUPE::Form_Click() {
  if (layered()) layer_.setTopmost();
}

FormLOUPE_LAYER1::FormLOUPE_LAYER1(const program::AppState& state)
    : tk::Form(L"FormLOUPE_LAYER1"), state_(state) {
  setCaption(L"Loupe");
  setBorderStyle(tk::BorderStyle::None);
  setShowInTaskbar(false);
  setScalePixels(true);
  move(0, -1800, 1800, 1800);
  setBackColor(kLoupeKey);
  ImageCROSS.move(0, 0, kLoupeSize, kLoupeSize);
  ImageCROSS.setPicture(CrosshairPicture());
  ImageCROSS.onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
  ImageCROSS.onMouseUp = [this](const tk::MouseEvent& e) { Form_MouseUp(e); };
  ImageCROSS.onClick = [this] { Form_Click(); };
  onActivate = [this] { Form_Activate(); };
  onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
  onMouseUp = [this](const tk::MouseEvent& e) { Form_MouseUp(e); };
  onClick = [this] { Form_Click(); };
}

void FormLOUPE_LAYER1::Form_Activate() {
  if (state_.LayeredWindowsOK) setColorKey(kLoupeKey);
}

void FormLOUPE_LAYER1::Form_MouseDown(const tk::MouseEvent& e) {
  if (e.button != tk::kLeftButton || !loupe_) return;
  // Dragging the overlay moves the loupe; the overlay follows it afterwards.
  loupe_->beginMoveDrag();
  move(loupe_->left(), loupe_->top(), width(), height());
}

void FormLOUPE_LAYER1::Form_MouseUp(const tk::MouseEvent&) {
  if (!state_.LayeredWindowsOK || !loupe_) return;
  move(loupe_->left(), loupe_->top(), width(), height());
}

void FormLOUPE_LAYER1::Form_Click() {
  if (state_.LayeredWindowsOK) setTopmost();
}

}  // namespace pelnoro::capture
