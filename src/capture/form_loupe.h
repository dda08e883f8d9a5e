// The magnifier and its see-through crosshair overlay.
#pragma once

#include <memory>

#include "image/surface.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::app {
class Application;
}

namespace pelnoro::capture {

inline constexpr int kLoupeSize = 120;
inline constexpr int kLoupeSource = 31;
inline constexpr tk::Color kLoupeKey = 0x0000FF00;

// The overlay's crosshair; kLoupeKey everywhere else.
std::shared_ptr<const image::Surface> CrosshairPicture();

class FormLOUPE : public tk::Form {
 public:
  explicit FormLOUPE(app::Application& app);
  tk::PictureBox PictureLOUPE{this, L"PictureLOUPE"};

  // Shows the 31 x 31 pixels around (x, y) of the frozen picture, magnified.
  void Feed(const image::Surface& frozen, double x, double y);

  void Form_MouseDown(const tk::MouseEvent& e);
  void Form_MouseUp(const tk::MouseEvent& e);
  void Form_Click();

 private:
  app::Application& app_;
};

class FormLOUPE_LAYER1 : public tk::Form {
 public:
  explicit FormLOUPE_LAYER1(app::Application& app);
  tk::Image ImageCROSS{this, L"ImageCROSS"};

  void Form_Activate();
  void Form_MouseDown(const tk::MouseEvent& e);
  void Form_MouseUp(const tk::MouseEvent& e);
  void Form_Click();

 private:
  app::Application& app_;
};

}  // namespace pelnoro::capture
