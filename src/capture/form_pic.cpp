#include "capture/form_pic.h"

#include <algorithm>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "app/number_text.h"
#include "capture/form_loupe.h"
#include "capture/selection.h"
#include "image/pixel_ops.h"

namespace pelnoro::capture {

namespace {

constexpr int kCornerTriangle = 6;

double value(const tk::Label& l) { return app::LenientNumber(l.caption()); }

}  // namespace

FormPic::FormPic(app::Application& app) : tk::Form(L"FormPic"), app_(app) {
  setBorderStyle(tk::BorderStyle::None);
  setScalePixels(true);
  setShowInTaskbar(false);
  setBackColor(0x00E0E0E0);
  // Selecting on the frozen screen must not lift it over the main window and
  // the loupe, which stay on top.
  setActivatesOnClick(false);
  PicturePic_Screen.setVisible(false);
  Picture_CHANGE1.setVisible(false);
  Picture_CHANGE2.setVisible(false);
  Picture_CHANGE3.setVisible(false);
  PicturePic_TMP.setVisible(false);
  LabelANCHOR.move(0, 0, 7, 7);
  LabelANCHOR.setBackColor(0x00404040);
  LabelANCHOR.setVisible(false);
  LabelMESSAGE.setVisible(false);
  PicturePic_Screen.setMousePointer(tk::Pointer::kCross);
  Picture_CHANGE1.setMousePointer(tk::Pointer::kCross);

  onActivate = [this] { Form_Activate(); };
  onMouseMove = [this](const tk::MouseEvent& e) { Form_MouseMove(e); };
  PicturePic_Screen.onMouseDown = [this](const tk::MouseEvent& e) { PicturePic_Screen_MouseDown(e); };
  PicturePic_Screen.onMouseMove = [this](const tk::MouseEvent& e) { PicturePic_Screen_MouseMove(e); };
  PicturePic_Screen.onMouseUp = [this](const tk::MouseEvent& e) { PicturePic_Screen_MouseUp(e); };
  PicturePic_Screen.onDblClick = [this] { PicturePic_Screen_DblClick(); };
  Picture_CHANGE1.onMouseDown = [this](const tk::MouseEvent& e) { Picture_CHANGE1_MouseDown(e); };
  Picture_CHANGE1.onMouseMove = [this](const tk::MouseEvent& e) { Picture_CHANGE1_MouseMove(e); };
  Picture_CHANGE1.onMouseUp = [this](const tk::MouseEvent& e) { Picture_CHANGE1_MouseUp(e); };
  LabelANCHOR.onMouseDown = [this](const tk::MouseEvent& e) { LabelANCHOR_MouseDown(e); };
  LabelANCHOR.onMouseMove = [this](const tk::MouseEvent& e) { LabelANCHOR_MouseMove(e); };
  LabelANCHOR.onMouseUp = [this](const tk::MouseEvent& e) { LabelANCHOR_MouseUp(e); };
}

FormPic::Record FormPic::screenRecord() {
  auto& m = app_.main();
  return {m.Label始点X, m.Label始点Y, m.Label終点X, m.Label終点Y};
}

FormPic::Record FormPic::editRecord() {
  auto& m = app_.main();
  return {m.Label始点X2, m.Label始点Y2, m.Label終点X2, m.Label終点Y2};
}

void FormPic::Form_Activate() {
  app_.main().setTopmost();
  app_.loupe().setTopmost();
  if (app_.state().LayeredWindowsOK) app_.loupeLayer().setTopmost();
}

void FormPic::Form_MouseMove(const tk::MouseEvent&) { setMousePointer(tk::Pointer::kDefault); }

void FormPic::bandDown(tk::PictureBox& surface, Record rec, const tk::MouseEvent& e) {
  auto& st = app_.state();
  surface.cls();
  if (e.button == tk::kRightButton) {
    for (tk::Label* l : {&rec.startX, &rec.startY, &rec.endX, &rec.endY}) l->setCaption(L"");
    st.SelectDragging = app::kFalse;
    return;
  }
  st.SelectDragging = app::kTrue;
  rec.startX.setCaption(app::SingleText(e.x));
  rec.startY.setCaption(app::SingleText(e.y));
  startX_ = static_cast<int>(app::RoundHalfEven(e.x));
  startY_ = static_cast<int>(app::RoundHalfEven(e.y));
  st.FocusRect[0] = st.FocusRect[2] = startX_;
  st.FocusRect[1] = st.FocusRect[3] = startY_;
  surface.drawFocusRect({st.FocusRect[0], st.FocusRect[1], st.FocusRect[2], st.FocusRect[3]});
}

void FormPic::bandMove(tk::PictureBox& surface, const tk::MouseEvent& e) {
  auto& st = app_.state();
  surface.drawFocusRect({st.FocusRect[0], st.FocusRect[1], st.FocusRect[2], st.FocusRect[3]});
  curX_ = static_cast<int>(app::RoundHalfEven(e.x));
  curY_ = static_cast<int>(app::RoundHalfEven(e.y));
  rect_[0] = std::min(startX_, curX_);
  rect_[2] = std::max(startX_, curX_);
  rect_[1] = std::min(startY_, curY_);
  rect_[3] = std::max(startY_, curY_);
  std::copy(rect_, rect_ + 4, st.FocusRect);
  surface.drawFocusRect({st.FocusRect[0], st.FocusRect[1], st.FocusRect[2], st.FocusRect[3]});
}

void FormPic::bandUp(Record rec, const tk::MouseEvent& e) {
  auto& st = app_.state();
  if (!st.SelectDragging) return;
  if (value(rec.startX) > e.x) {
    rec.endX.setCaption(rec.startX.caption());
    rec.startX.setCaption(app::SingleText(e.x));
  } else {
    rec.endX.setCaption(app::SingleText(e.x));
  }
  if (value(rec.startY) > e.y) {
    rec.endY.setCaption(rec.startY.caption());
    rec.startY.setCaption(app::SingleText(e.y));
  } else {
    rec.endY.setCaption(app::SingleText(e.y));
  }
  st.SelectDragging = app::kFalse;
}

void FormPic::PicturePic_Screen_MouseDown(const tk::MouseEvent& e) {
  bandDown(PicturePic_Screen, screenRecord(), e);
}

void FormPic::PicturePic_Screen_MouseMove(const tk::MouseEvent& e) {
  app_.loupe().Feed(PicturePic_Screen.surface(), e.x, e.y);
  auto& m = app_.main();
  m.LabelポインタX.setCaption(app::SingleText(e.x));
  m.LabelポインタY.setCaption(app::SingleText(e.y));
  if (e.button == tk::kLeftButton) bandMove(PicturePic_Screen, e);
}

void FormPic::PicturePic_Screen_MouseUp(const tk::MouseEvent& e) { bandUp(screenRecord(), e); }

void FormPic::PicturePic_Screen_DblClick() { app_.main().setTopmost(); }

void FormPic::Picture_CHANGE1_MouseDown(const tk::MouseEvent& e) {
  if (mousePointer() == tk::Pointer::kSizeNWSE) {
    SaveUndoImage(app_);
    return;
  }
  bandDown(Picture_CHANGE1, editRecord(), e);
}

void FormPic::Picture_CHANGE1_MouseMove(const tk::MouseEvent& e) {
  auto& m = app_.main();
  m.LabelポインタX2.setCaption(app::SingleText(e.x));
  m.LabelポインタY2.setCaption(app::SingleText(e.y));
  if (e.button != tk::kLeftButton) {
    const double w = Picture_CHANGE1.width(), h = Picture_CHANGE1.height();
    if (e.x + e.y >= w + h - kCornerTriangle) {
      Picture_CHANGE1.cls();
      setMousePointer(tk::Pointer::kSizeNWSE);
    } else {
      setMousePointer(tk::Pointer::kCross);
    }
    Picture_CHANGE1.setMousePointer(mousePointer());
    return;
  }
  if (mousePointer() == tk::Pointer::kSizeNWSE) {
    ResizeEditImage(e.x, e.y);
    return;
  }
  app_.sys().doEvents();
  bandMove(Picture_CHANGE1, e);
}

void FormPic::Picture_CHANGE1_MouseUp(const tk::MouseEvent& e) {
  bandUp(editRecord(), e);
  PlaceAnchor();
}

void FormPic::PlaceAnchor() {
  LabelANCHOR.move(Picture_CHANGE1.left() + Picture_CHANGE1.width(),
                   Picture_CHANGE1.top() + Picture_CHANGE1.height(), LabelANCHOR.width(),
                   LabelANCHOR.height());
  LabelANCHOR.setToolTip(L"X= " + std::to_wstring(static_cast<long>(Picture_CHANGE1.width())) +
                         L" Y= " + std::to_wstring(static_cast<long>(Picture_CHANGE1.height())));
}

void FormPic::LabelANCHOR_MouseDown(const tk::MouseEvent& e) {
  SaveUndoImage(app_);
  grabX_ = e.x;
  grabY_ = e.y;
}

void FormPic::LabelANCHOR_MouseMove(const tk::MouseEvent& e) {
  if (!app_.state().LayeredWindowsOK) {
    LabelANCHOR.setMousePointer(tk::Pointer::kArrow);
    return;
  }
  if (e.button != tk::kLeftButton) return;
  LabelANCHOR.move(LabelANCHOR.left() + (e.x - grabX_), LabelANCHOR.top() + (e.y - grabY_),
                   LabelANCHOR.width(), LabelANCHOR.height());
  // The handle's top-left marks the image's corner (see PlaceAnchor): measure the size
  // from the image's own origin so the corner stays under the handle while dragging.
  ResizeEditImage(LabelANCHOR.left() - Picture_CHANGE1.left(),
                  LabelANCHOR.top() - Picture_CHANGE1.top());
}

void FormPic::LabelANCHOR_MouseUp(const tk::MouseEvent&) { PlaceAnchor(); }

void FormPic::ResizeEditImage(double w, double h) {
  // A zero size would divide by zero below: like a negative one, it changes nothing.
  if (w <= 0 || h <= 0) return;
  auto& st = app_.state();
  const long c = app::RoundHalfEven(w), d = app::RoundHalfEven(h);
  if (c <= 0 || d <= 0) return;
  const auto& work = Picture_CHANGE2.surface();
  const int w2 = work.width(), h2 = work.height();
  if (w2 <= 0 || h2 <= 0) return;
  const float imageRatio = static_cast<float>(w2) / static_cast<float>(h2);
  const float boxRatio = static_cast<float>(c) / static_cast<float>(d);
  if (imageRatio > boxRatio) {
    st.FitWidth = static_cast<std::int32_t>(c);
    st.FitHeight = static_cast<std::int32_t>(app::RoundHalfEven(static_cast<double>(c) * h2 / w2));
  } else {
    st.FitWidth = static_cast<std::int32_t>(app::RoundHalfEven(static_cast<double>(d) * w2 / h2));
    st.FitHeight = static_cast<std::int32_t>(d);
  }
  Picture_CHANGE1.move(Picture_CHANGE1.left(), Picture_CHANGE1.top(), st.FitWidth, st.FitHeight);
  image::Surface scaled(std::max(st.FitWidth, 0), std::max(st.FitHeight, 0));
  image::StretchNearest(work, 0, 0, w2, h2, scaled, 0, 0, st.FitWidth, st.FitHeight);
  Picture_CHANGE1.surface() = std::move(scaled);
  Picture_CHANGE1.cls();
  Picture_CHANGE1.refresh();
}

void SaveUndoImage(app::Application& app) {
  auto& pic = app.pic();
  auto& st = app.state();
  pic.Picture_CHANGE3.surface() = pic.Picture_CHANGE1.surface();
  st.UndoWidth = static_cast<std::int32_t>(app::RoundHalfEven(pic.Picture_CHANGE1.width()));
  st.UndoHeight = static_cast<std::int32_t>(app::RoundHalfEven(pic.Picture_CHANGE1.height()));
}

}  // namespace pelnoro::capture
