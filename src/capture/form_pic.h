// The picture window: the frozen screen during a capture, the cut image after.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::app {
class Application;
}

namespace pelnoro::capture {

class FormPic : public tk::Form {
 public:
  explicit FormPic(app::Application& app);

  tk::PictureBox PicturePic_Screen{this, L"PicturePic_Screen"};
  tk::PictureBox Picture_CHANGE1{this, L"Picture_CHANGE1"};
  tk::PictureBox Picture_CHANGE2{this, L"Picture_CHANGE2"};
  tk::PictureBox Picture_CHANGE3{this, L"Picture_CHANGE3"};
  tk::PictureBox PicturePic_TMP{this, L"PicturePic_TMP"};
  tk::Label LabelANCHOR{this, L"LabelANCHOR"};
  tk::Label LabelMESSAGE{this, L"LabelMESSAGE"};

  void Form_Activate();
  void Form_MouseMove(const tk::MouseEvent& e);
  void PicturePic_Screen_MouseDown(const tk::MouseEvent& e);
  void PicturePic_Screen_MouseMove(const tk::MouseEvent& e);
  void PicturePic_Screen_MouseUp(const tk::MouseEvent& e);
  void PicturePic_Screen_DblClick();
  void Picture_CHANGE1_MouseDown(const tk::MouseEvent& e);
  void Picture_CHANGE1_MouseMove(const tk::MouseEvent& e);
  void Picture_CHANGE1_MouseUp(const tk::MouseEvent& e);
  void LabelANCHOR_MouseDown(const tk::MouseEvent& e);
  void LabelANCHOR_MouseMove(const tk::MouseEvent& e);
  void LabelANCHOR_MouseUp(const tk::MouseEvent& e);

  // Scales the working image into the edit surface to fit w x h pixels.
  void ResizeEditImage(double w, double h);
  // The handle to the edit surface's corner, its tool tip the image size.
  void PlaceAnchor();

 private:
  struct Record {
    tk::Label& startX;
    tk::Label& startY;
    tk::Label& endX;
    tk::Label& endY;
  };
  Record screenRecord();
  Record editRecord();
  void bandDown(tk::PictureBox& surface, Record rec, const tk::MouseEvent& e);
  void bandMove(tk::PictureBox& surface, const tk::MouseEvent& e);
  void bandUp(Record rec, const tk::MouseEvent& e);

  app::Application& app_;
  int startX_ = 0, startY_ = 0;
  int curX_ = 0, curY_ = 0;
  int rect_[4] = {0, 0, 0, 0};
  double grabX_ = 0, grabY_ = 0;
};

}  // namespace pelnoro::capture
