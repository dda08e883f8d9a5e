#include "capture/form_pic.h"

#include <algorithm>
#include <cmath>

#include "image/pixel_ops.h"
#include "system/number_text.h"

namespace pelnoro::capture {

namespace {

constexpr int kCornerTriangle = 6;
constexpr wchar_t kCutWindowCaption[] = L" Pelnoro";

}  // namespace

FormPic::FormPic(sys::System& sys, program::AppState& state, FormLOUPE& loupe)
    : tk::Form(L"FormPic"), sys_(sys), state_(state), loupe_(loupe) {
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
  PicturePic_Screen.onMouseDown = [this](const tk::MouseEvent& e) {
    PicturePic_Screen_MouseDown(e);
  };
  PicturePic_Screen.onMouseMove = [this](const tk::MouseEvent& e) {
    PicturePic_Screen_MouseMove(e);
  };
  PicturePic_Screen.onMouseUp = [this](const tk::MouseEvent& e) { PicturePic_Screen_MouseUp(e); };
  PicturePic_Screen.onDblClick = [this] { PicturePic_Screen_DblClick(); };
  Picture_CHANGE1.onMouseDown = [this](const tk::MouseEvent& e) { Picture_CHANGE1_MouseDown(e); };
  Picture_CHANGE1.onMouseMove = [this](const tk::MouseEvent& e) { Picture_CHANGE1_MouseMove(e); };
  Picture_CHANGE1.onMouseUp = [this](const tk::MouseEvent& e) { Picture_CHANGE1_MouseUp(e); };
  LabelANCHOR.onMouseDown = [this](const tk::MouseEvent& e) { LabelANCHOR_MouseDown(e); };
  LabelANCHOR.onMouseMove = [this](const tk::MouseEvent& e) { LabelANCHOR_MouseMove(e); };
  LabelANCHOR.onMouseUp = [this](const tk::MouseEvent& e) { LabelANCHOR_MouseUp(e); };
}

void FormPic::Form_Activate() {
  // The picture window stays the active one: raising the others with activation would
  // hand it back and forth under Wine for a third of a second.
  if (raiseMainWindow) raiseMainWindow();
  loupe_.Raise(false);
}

void FormPic::Form_MouseMove(const tk::MouseEvent&) {
  setMousePointer(tk::Pointer::kDefault);
}

void FormPic::showPointer(const PointerLabels& labels, const tk::MouseEvent& e) {
  if (labels.x) labels.x->setCaption(sys::SingleText(e.x));
  if (labels.y) labels.y->setCaption(sys::SingleText(e.y));
}

void FormPic::bandDown(tk::PictureBox& surface, const SelectionLabels& rec,
                       const tk::MouseEvent& e) {
  surface.cls();
  if (e.button == tk::kRightButton) {
    rec.clear();
    state_.SelectDragging = program::kFalse;
    return;
  }
  state_.SelectDragging = program::kTrue;
  if (rec.startX) rec.startX->setCaption(sys::SingleText(e.x));
  if (rec.startY) rec.startY->setCaption(sys::SingleText(e.y));
  startX_ = static_cast<int>(sys::RoundHalfEven(e.x));
  startY_ = static_cast<int>(sys::RoundHalfEven(e.y));
  auto& r = state_.FocusRect;
  r[0] = r[2] = startX_;
  r[1] = r[3] = startY_;
  surface.drawFocusRect({r[0], r[1], r[2], r[3]});
}

void FormPic::bandMove(tk::PictureBox& surface, const tk::MouseEvent& e) {
  auto& r = state_.FocusRect;
  surface.drawFocusRect({r[0], r[1], r[2], r[3]});
  const tk::Rect band = BandRect(startX_, startY_, static_cast<int>(sys::RoundHalfEven(e.x)),
                                 static_cast<int>(sys::RoundHalfEven(e.y)));
  r[0] = band.left;
  r[1] = band.top;
  r[2] = band.right;
  r[3] = band.bottom;
  surface.drawFocusRect(band);
}

void FormPic::bandUp(const SelectionLabels& rec, const tk::MouseEvent& e) {
  if (!state_.SelectDragging) return;
  if (rec.startX && rec.endX) {
    auto [start, end] = ReleasedAxis(rec.startX->caption(), e.x);
    rec.startX->setCaption(std::move(start));
    rec.endX->setCaption(std::move(end));
  }
  if (rec.startY && rec.endY) {
    auto [start, end] = ReleasedAxis(rec.startY->caption(), e.y);
    rec.startY->setCaption(std::move(start));
    rec.endY->setCaption(std::move(end));
  }
  state_.SelectDragging = program::kFalse;
}

void FormPic::PicturePic_Screen_MouseDown(const tk::MouseEvent& e) {
  bandDown(PicturePic_Screen, screenSelection, e);
}

void FormPic::PicturePic_Screen_MouseMove(const tk::MouseEvent& e) {
  loupe_.Feed(PicturePic_Screen.surface(), e.x, e.y);
  showPointer(screenPointer, e);
  if (e.button == tk::kLeftButton) bandMove(PicturePic_Screen, e);
}

void FormPic::PicturePic_Screen_MouseUp(const tk::MouseEvent& e) {
  bandUp(screenSelection, e);
}

sys::ScreenPoint FormPic::clientOrigin() {
  return {static_cast<int>(std::lround(left() / sys_.twipsPerPixelX())),
          static_cast<int>(std::lround(top() / sys_.twipsPerPixelY()))};
}

sys::ScreenPoint FormPic::pointerOnScreen(int dx, int dy) {
  const auto& screen = PicturePic_Screen.surface();
  const sys::ScreenPoint origin = clientOrigin(), now = sys_.cursorPosition();
  sys::ScreenPoint from{now.x - origin.x, now.y - origin.y};
  if (std::find(keyTrail_.begin(), keyTrail_.end(), from) != keyTrail_.end()) {
    from = keyTrail_.back();
  } else {
    // The mouse's place: the keys start from here.
    keyTrail_.assign(1, from);
  }
  return NudgedPointer(from, dx, dy, screen.width(), screen.height());
}

void FormPic::MovePointerBy(int dx, int dy) {
  constexpr std::size_t kTrail = 64;
  const sys::ScreenPoint at = pointerOnScreen(dx, dy), origin = clientOrigin();
  if (keyTrail_.size() == kTrail) keyTrail_.erase(keyTrail_.begin());
  keyTrail_.push_back(at);
  sys_.setCursorPosition({at.x + origin.x, at.y + origin.y});
  // A selection under way follows as if the button were held, whether it is or the
  // selection was started from the keyboard.
  PicturePic_Screen_MouseMove({state_.SelectDragging ? tk::kLeftButton : 0, 0,
                               static_cast<double>(at.x), static_cast<double>(at.y)});
}

void FormPic::MarkAtPointer() {
  const sys::ScreenPoint at = pointerOnScreen(0, 0);
  const tk::MouseEvent e{tk::kLeftButton, 0, static_cast<double>(at.x), static_cast<double>(at.y)};
  if (state_.SelectDragging) {
    PicturePic_Screen_MouseUp(e);
  } else {
    PicturePic_Screen_MouseDown(e);
  }
}

void FormPic::PicturePic_Screen_DblClick() {
  if (raiseMainWindow) raiseMainWindow();
}

void FormPic::Picture_CHANGE1_MouseDown(const tk::MouseEvent& e) {
  if (mousePointer() == tk::Pointer::kSizeNWSE) {
    if (!state_.ImageChanging) SaveUndoImage();
    return;
  }
  bandDown(Picture_CHANGE1, editSelection, onEditImage(e));
}

void FormPic::Picture_CHANGE1_MouseMove(const tk::MouseEvent& e) {
  showPointer(editPointer, e);
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
    if (!state_.ImageChanging) ResizeEditImage(e.x, e.y);
    return;
  }
  sys_.doEvents();
  bandMove(Picture_CHANGE1, e);
}

tk::MouseEvent FormPic::onEditImage(tk::MouseEvent e) const {
  const image::Surface& picture = Picture_CHANGE1.surface();
  e.x = OnImage(e.x, picture.width());
  e.y = OnImage(e.y, picture.height());
  return e;
}

void FormPic::Picture_CHANGE1_MouseUp(const tk::MouseEvent& e) {
  // A drag that ends beside the cut selects up to its edge: the mosaic and the link
  // areas work on the picture only.
  bandUp(editSelection, onEditImage(e));
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
  if (state_.ImageChanging) return;
  SaveUndoImage();
  grabX_ = e.x;
  grabY_ = e.y;
}

void FormPic::LabelANCHOR_MouseMove(const tk::MouseEvent& e) {
  if (!state_.LayeredWindowsOK) {
    LabelANCHOR.setMousePointer(tk::Pointer::kArrow);
    return;
  }
  if (e.button != tk::kLeftButton || state_.ImageChanging) return;
  LabelANCHOR.move(LabelANCHOR.left() + (e.x - grabX_), LabelANCHOR.top() + (e.y - grabY_),
                   LabelANCHOR.width(), LabelANCHOR.height());
  // The handle's top-left marks the image's corner (see PlaceAnchor): measure the size
  // from the image's own origin so the corner stays under the handle while dragging.
  ResizeEditImage(LabelANCHOR.left() - Picture_CHANGE1.left(),
                  LabelANCHOR.top() - Picture_CHANGE1.top());
}

void FormPic::LabelANCHOR_MouseUp(const tk::MouseEvent&) {
  PlaceAnchor();
}

void FormPic::ResizeEditImage(double w, double h) {
  const auto& work = Picture_CHANGE2.surface();
  const auto fit = FitToBox(w, h, work.width(), work.height());
  if (!fit) return;
  state_.FitWidth = fit->width;
  state_.FitHeight = fit->height;
  Picture_CHANGE1.move(Picture_CHANGE1.left(), Picture_CHANGE1.top(), fit->width, fit->height);
  image::Surface scaled(std::max(fit->width, 0), std::max(fit->height, 0));
  image::StretchNearest(work, 0, 0, work.width(), work.height(), scaled, 0, 0, fit->width,
                        fit->height);
  setEditImage(std::move(scaled));
}

bool FormPic::HasEditImage() const {
  return visible() && Picture_CHANGE1.visible() && !Picture_CHANGE1.surface().empty();
}

void FormPic::SaveUndoImage() {
  Picture_CHANGE3.surface() = Picture_CHANGE1.surface();
  state_.UndoWidth = static_cast<std::int32_t>(sys::RoundHalfEven(Picture_CHANGE1.width()));
  state_.UndoHeight = static_cast<std::int32_t>(sys::RoundHalfEven(Picture_CHANGE1.height()));
}

void FormPic::setEditImage(image::Surface picture) {
  Picture_CHANGE1.surface() = std::move(picture);
  // A band drawn over the old picture is not part of the new one.
  Picture_CHANGE1.cls();
  Picture_CHANGE1.refresh();
}

void FormPic::ShowFrozenScreen(image::Surface frozen) {
  keyTrail_.clear();
  setBorderStyle(tk::BorderStyle::None);
  setCaption(L"");
  setScalePixels(true);
  move(0, 0, sys_.screenWidthTwips(), sys_.screenHeightTwips());
  Picture_CHANGE1.setVisible(false);
  auto& screen = PicturePic_Screen;
  screen.move(0, 0, sys_.screenWidthPixels(), sys_.screenHeightPixels());
  screen.cls();
  screen.surface() = std::move(frozen);
  screen.refresh();
  screen.setVisible(true);
  show();
  Form_Activate();
}

void FormPic::HideFrozenScreen() {
  PicturePic_Screen.cls();
  PicturePic_Screen.setVisible(false);
}

void FormPic::ReleaseFrozenScreen() {
  PicturePic_Screen.cls();
  PicturePic_Screen.surface().resize(0, 0);
  PicturePic_Screen.refresh();
}

void FormPic::ReleaseImages() {
  for (tk::PictureBox* p :
       {&Picture_CHANGE1, &Picture_CHANGE2, &Picture_CHANGE3, &PicturePic_TMP}) {
    p->cls();
    p->surface().resize(0, 0);
    p->refresh();
  }
}

void FormPic::TakeImage(image::Surface picture, Framing framing) {
  const int w = picture.width(), h = picture.height();
  auto& edit = Picture_CHANGE1;
  edit.move(kImageMargin, kImageMargin, w, h);
  edit.setAutoRedraw(true);
  Picture_CHANGE2.surface() = picture;
  Picture_CHANGE3.surface() = picture;
  setEditImage(std::move(picture));
  edit.setVisible(true);

  PlaceAnchor();
  LabelANCHOR.setVisible(true);

  // Left is 32 twips, not pixels; the top is 16 pixels.
  move(32, 16 * sys_.twipsPerPixelY(), width(), height());
  sizeWindow(PictureWindowSize(framing, w, h));
  setMousePointer(tk::Pointer::kDefault);

  auto& work = Picture_CHANGE2;
  work.move(work.left(), work.top(), w, h);
  work.setAutoRedraw(true);
  state_.OriginalWidth = w;
  state_.OriginalHeight = h;

  auto& undo = Picture_CHANGE3;
  undo.move(undo.left(), undo.top(), w, h);
  undo.setAutoRedraw(true);
  state_.UndoWidth = w;
  state_.UndoHeight = h;
}

void FormPic::FrameCutWindow(const std::wstring& saveFolder, const std::wstring& fileName) {
  // The caption after the border style, so that the new frame is drawn at once.
  setBorderStyle(tk::BorderStyle::SizableToolWindow);
  setCaption(kCutWindowCaption);
  Picture_CHANGE1.setToolTip(saveFolder + fileName);
}

void FormPic::GrowByFrame() {
  const double tx = sys_.twipsPerPixelX(), ty = sys_.twipsPerPixelY();
  const double frameX = std::max(0.0, width() - scaleWidth() * tx);
  const double frameY = std::max(0.0, height() - scaleHeight() * ty);
  if (frameX > 0 || frameY > 0) {
    sizeWindow({static_cast<int>(std::lround((width() + frameX) / tx)),
                static_cast<int>(std::lround((height() + frameY) / ty))});
  }
}

void FormPic::sizeWindow(PixelSize size) {
  // A picture larger than the screen would put the window, and its frame, out of
  // reach: the window keeps within the screen and shows the top-left part of the
  // image, which keeps all its pixels.
  const double tx = sys_.twipsPerPixelX(), ty = sys_.twipsPerPixelY();
  const double roomX = std::max(sys_.screenWidthTwips() - std::max(left(), 0.0), 0.0);
  const double roomY = std::max(sys_.screenHeightTwips() - std::max(top(), 0.0), 0.0);
  move(left(), top(), std::min(size.width * tx, roomX), std::min(size.height * ty, roomY));
}

void FormPic::SetSurfacesAutoRedraw(bool on) {
  for (tk::PictureBox* p : {&Picture_CHANGE1, &Picture_CHANGE2, &Picture_CHANGE3}) {
    p->setAutoRedraw(on);
  }
}

void FormPic::ShowEditedImage(image::Surface picture) {
  const int w = picture.width(), h = picture.height();
  Picture_CHANGE1.move(kImageMargin, kImageMargin, w, h);
  setEditImage(std::move(picture));
  Picture_CHANGE1.setVisible(true);
  sizeWindow(PictureWindowSize(Framing::kEdited, w, h));
  PlaceAnchor();
}

void FormPic::ReplaceEditPixels(image::Surface picture) {
  setEditImage(std::move(picture));
  Picture_CHANGE1.setVisible(true);
}

}  // namespace pelnoro::capture
