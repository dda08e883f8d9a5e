// The picture window: the frozen screen during a capture, the cut image after.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "capture/form_loupe.h"
#include "capture/form_pic_geometry.h"
#include "capture/selection.h"
#include "program/app_state.h"
#include "system/system.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::capture {

class FormPic : public tk::Form {
 public:
  FormPic(sys::System& sys, program::AppState& state, FormLOUPE& loupe);

  tk::PictureBox PicturePic_Screen{this, L"PicturePic_Screen"};
  tk::PictureBox Picture_CHANGE1{this, L"Picture_CHANGE1"};
  tk::PictureBox Picture_CHANGE2{this, L"Picture_CHANGE2"};
  tk::PictureBox Picture_CHANGE3{this, L"Picture_CHANGE3"};
  tk::PictureBox PicturePic_TMP{this, L"PicturePic_TMP"};
  tk::Label LabelANCHOR{this, L"LabelANCHOR"};
  tk::Label LabelMESSAGE{this, L"LabelMESSAGE"};

  // Wired by the program: the main window's coordinate labels, and raising it.
  SelectionLabels screenSelection, editSelection;
  PointerLabels screenPointer, editPointer;
  std::function<void()> raiseMainWindow;

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

  // The keyboard on the frozen screen. The pointer moves by dx, dy pixels, kept on the
  // screen, and the move is the mouse's: the loupe follows, a band follows its end.
  void MovePointerBy(int dx, int dy);
  // A press of the left button at the pointer, or, with a selection under way, its
  // release there.
  void MarkAtPointer();

  // The shutter: the window covers the screen and shows the frozen picture.
  void ShowFrozenScreen(image::Surface frozen);
  // The band removed and the frozen screen hidden; its picture stays.
  void HideFrozenScreen();
  // The frozen picture let go.
  void ReleaseFrozenScreen();
  // The edit, working, undo and scratch images let go, once nothing waits to be saved.
  void ReleaseImages();

  // A cut or an opened picture becomes the image: the edit surface shows it at the
  // margin, the working and undo images are copies of it, the handle stands at its
  // corner and the window, near the screen's top-left corner, is sized by `framing`.
  void TakeImage(image::Surface picture, Framing framing);
  // The cut window's frame: a sizable tool window captioned " Pelnoro"; the edit
  // surface's tool tip is the path a save would write.
  void FrameCutWindow(const std::wstring& saveFolder, const std::wstring& fileName);
  // The frame just given takes its thickness out of the margin: grow the window by it,
  // so the image keeps its margin on every side and its handle is not hidden.
  void GrowByFrame();
  void SetSurfacesAutoRedraw(bool on);

  // A new edit image of another size: the surface at the margin takes its size, the
  // window is sized for an edited image and the handle goes to the corner.
  void ShowEditedImage(image::Surface picture);
  // New pixels of the same size for the edit image.
  void ReplaceEditPixels(image::Surface picture);

  // Whether there is an image to edit: a cut or an opened picture shown.
  bool HasEditImage() const;
  // Copies the edit image into the undo image and notes its size.
  void SaveUndoImage();
  // Scales the working image into the edit surface to fit w x h pixels.
  void ResizeEditImage(double w, double h);
  // The handle to the edit surface's corner, its tool tip the image size.
  void PlaceAnchor();

 private:
  void bandDown(tk::PictureBox& surface, const SelectionLabels& rec, const tk::MouseEvent& e);
  void bandMove(tk::PictureBox& surface, const tk::MouseEvent& e);
  void bandUp(const SelectionLabels& rec, const tk::MouseEvent& e);
  // The event with its point moved onto the edit image.
  tk::MouseEvent onEditImage(tk::MouseEvent e) const;
  void showPointer(const PointerLabels& labels, const tk::MouseEvent& e);
  void setEditImage(image::Surface picture);
  // Where the client area stands on the screen, pixels.
  sys::ScreenPoint clientOrigin();
  // The pointer on the frozen screen, moved by dx, dy and kept on it; client pixels.
  sys::ScreenPoint pointerOnScreen(int dx, int dy);
  // The window's outer size, kept within the screen.
  void sizeWindow(PixelSize size);

  sys::System& sys_;
  program::AppState& state_;
  FormLOUPE& loupe_;
  int startX_ = 0, startY_ = 0;
  // Where the keys last put the pointer, the places they put it before and the one they
  // started from. For a moment after a move the system may still report one of those
  // (under Wine each move comes back late from X); only another place is the mouse's.
  std::vector<sys::ScreenPoint> keyTrail_;
  double grabX_ = 0, grabY_ = 0;
};

}  // namespace pelnoro::capture
