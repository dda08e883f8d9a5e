// The magnifier and its see-through crosshair overlay.
#pragma once

#include <memory>

#include "image/surface.h"
#include "program/app_state.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::capture {

inline constexpr int kLoupeSize = 120;
inline constexpr int kLoupeSource = 31;
inline constexpr tk::Color kLoupeKey = 0x0000FF00;

// The overlay's crosshair; kLoupeKey everywhere else.
std::shared_ptr<const image::Surface> CrosshairPicture();

class FormLOUPE;

// The see-through overlay with the crosshair; it follows the loupe.
class FormLOUPE_LAYER1 : public tk::Form {
 public:
  explicit FormLOUPE_LAYER1(const program::AppState& state);
  tk::Image ImageCROSS{this, L"ImageCROSS"};

  void Form_Activate();
  void Form_MouseDown(const tk::MouseEvent& e);
  void Form_MouseUp(const tk::MouseEvent& e);
  void Form_Click();

 private:
  friend class FormLOUPE;
  const program::AppState& state_;
  FormLOUPE* loupe_ = nullptr;
};

class FormLOUPE : public tk::Form {
 public:
  FormLOUPE(const program::AppState& state, FormLOUPE_LAYER1& layer);
  tk::PictureBox PictureLOUPE{this, L"PictureLOUPE"};

  // Shows the 31 x 31 pixels around (x, y) of the frozen picture, magnified.
  void Feed(const image::Surface& frozen, double x, double y);

  // The loupe and, with layered windows, its overlay, at one place (twips).
  void Place(double left, double top, double width, double height);
  // On the screen at (left, top) twips, above every other window.
  void ShowAt(double left, double top);
  // Out of view above the screen.
  void Park(double top);
  // Both windows above every other window.
  // Both windows topmost; `activate` false leaves the active window as it is.
  void Raise(bool activate = true);

  void Form_MouseDown(const tk::MouseEvent& e);
  void Form_MouseUp(const tk::MouseEvent& e);
  void Form_Click();

 private:
  bool layered() const { return state_.LayeredWindowsOK != program::kFalse; }
  const program::AppState& state_;
  FormLOUPE_LAYER1& layer_;
};

}  // namespace pelnoro::capture
