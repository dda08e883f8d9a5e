#include "imagemap/form_cl_container.h"

#include <memory>

#include "capture/form_pic_geometry.h"
#include "dialogs/texts.h"
#include "image/pixel_ops.h"
#include "imagemap/map_document.h"
#include "imagemap/preview_fit.h"
#include "imagemap/target_file.h"
#include "imagemap/texts.h"
#include "program/dialog_skin.h"
#include "toolkit/geometry.h"

namespace pelnoro::imagemap {

namespace {

constexpr tk::Color kTitleBack = 0x00E0E0E0;
// Design places in twips on a system of 15 twips per pixel; the dialog works in pixels.
constexpr double kDesignTpp = 15;
constexpr double kClientWidth = 8835, kClientHeight = 3660;

void place(tk::Control& c, double left, double top, double width, double height) {
  c.move(left / kDesignTpp, top / kDesignTpp, width / kDesignTpp, height / kDesignTpp);
}

}  // namespace

FormCL_CONTAINER::FormCL_CONTAINER(sys::System& sys) : tk::Form(L"FormCL_CONTAINER"), sys_(sys) {
  setCaption(L"リンクファイル");
  setBorderStyle(tk::BorderStyle::None);
  setShowInTaskbar(false);
  setScalePixels(true);
  setPicture(program::DialogSkin());
  setOutline(0x00804A20);
  setBackColor(0x00F4ECE4);
  const double tx = sys_.twipsPerPixelX(), ty = sys_.twipsPerPixelY();
  move(0, -6000, kClientWidth / kDesignTpp * tx, kClientHeight / kDesignTpp * ty);

  place(LabelCONT_NAME, 120, 120, 8535, 195);
  LabelCONT_NAME.setCaption(text::kLinkRole);
  LabelCONT_NAME.setBackColor(kTitleBack);
  place(Driveコンテナ, 120, 480, 2760, 300);
  place(Dirコンテナ, 120, 840, 2760, 1350);
  place(Fileコンテナ, 2880, 480, 2535, 1710);
  place(Textリンクターゲット, 120, 2400, 5340, 270);
  place(ImageVIEW1, 5640, 480, 3000, 2250);
  ImageVIEW1.setMousePointer(tk::Pointer::kHand);
  place(ImageVIEW2, 6480, 3000, 615, 495);
  ImageVIEW2.setVisible(false);
  place(CommandコンテナOK, 3240, 3000, 855, 375);
  CommandコンテナOK.setCaption(text::kOk);
  CommandコンテナOK.setEnabled(false);
  place(CommandコンテナCANCEL, 5040, 3000, 855, 375);
  CommandコンテナCANCEL.setCaption(text::kCancel);

  Driveコンテナ.setSystem(sys_);
  Dirコンテナ.setSystem(sys_);
  Fileコンテナ.setSystem(sys_);
  Dirコンテナ.setPath(sys_.exeFolder());
  Fileコンテナ.setPath(Dirコンテナ.path());
  Driveコンテナ.setDrive(Dirコンテナ.path());

  onActivate = [this] { Form_Activate(); };
  Driveコンテナ.onChange = [this] { Driveコンテナ_Change(); };
  Dirコンテナ.onChange = [this] { Dirコンテナ_Change(); };
  Fileコンテナ.onClick = [this] { Fileコンテナ_Click(); };
  ImageVIEW1.onClick = [this] { ImageVIEW1_Click(); };
  CommandコンテナOK.onClick = [this] { CommandコンテナOK_Click(); };
  CommandコンテナCANCEL.onClick = [this] { CommandコンテナCANCEL_Click(); };
  onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
  LabelCONT_NAME.onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
}

void FormCL_CONTAINER::Form_Activate() {
  if (activating_) return;
  activating_ = true;
  // A save folder that does not exist leaves the lists where they were. Files saved
  // since the dialog was last shown are listed too.
  const std::wstring before = Dirコンテナ.path();
  if (settings) Dirコンテナ.setPath(settings().saveFolder);
  if (Dirコンテナ.path() == before) {
    Dirコンテナ.refresh();
    Fileコンテナ.refresh();
  }
  setTopmost();
  activating_ = false;
}

void FormCL_CONTAINER::complain(const std::wstring& text) {
  sys_.messageBox(text, text::kDocumentTitle, sys::kMbOk | sys::kMbIconExclamation);
}

void FormCL_CONTAINER::Driveコンテナ_Change() {
  if (restoringDrive_) return;
  const std::wstring drive = Driveコンテナ.drive();
  if (!sys_.driveReady(drive + L"\\")) {
    complain(dialogs::text::DriveNotReady(drive));
    // Back to the drive the folder list still shows; nothing else moves.
    restoringDrive_ = true;
    Driveコンテナ.setDrive(Dirコンテナ.path());
    restoringDrive_ = false;
    return;
  }
  Dirコンテナ.setPath(drive);
  Textリンクターゲット.setText(L"");
  CommandコンテナOK.setEnabled(false);
}

void FormCL_CONTAINER::Dirコンテナ_Change() {
  Fileコンテナ.setPath(Dirコンテナ.path());
  Textリンクターゲット.setText(L"");
  CommandコンテナOK.setEnabled(false);
}

void FormCL_CONTAINER::preview(const image::Surface& picture) {
  // The measuring image takes the picture's own size; the preview fits it into its box.
  // Both keep a copy only twice the box's size or so: a huge picture is not held twice
  // while the dialog waits, nor copied whole at every repaint.
  const PreviewFit fit = FitPreview(picture.width(), picture.height());
  auto shared = std::make_shared<const image::Surface>(
      image::ShrinkByAverage(picture, PreviewShrink(picture.width(), picture.height(), fit)));
  ImageVIEW2.setPicture(shared);
  ImageVIEW2.move(ImageVIEW2.left(), ImageVIEW2.top(), picture.width(), picture.height());
  ImageVIEW1.move(fit.left, fit.top, fit.width, fit.height);
  ImageVIEW1.setPicture(std::move(shared));
}

void FormCL_CONTAINER::Fileコンテナ_Click() {
  const std::wstring target = Fileコンテナ.path() + L"\\" + Fileコンテナ.fileName();
  Textリンクターゲット.setText(target);
  const sys::PictureLoad loaded =
      sys_.loadPicture(target, kPictureBackground, capture::kMaxImageSide);
  clickedPath_ = target;
  clickedIsPicture_ = loaded.picture.has_value();
  if (loaded.picture) {
    preview(*loaded.picture);
  } else {
    // A file that is no picture is opened with its own program instead.
    ShellOpen(sys_, target, kShowNormal);
  }
  CommandコンテナOK.setEnabled(true);
}

void FormCL_CONTAINER::ImageVIEW1_Click() {
  ShellOpen(sys_, Textリンクターゲット.text(), kShowNormal);
}

bool FormCL_CONTAINER::isPicture(const std::wstring& target) {
  return target == clickedPath_ ? clickedIsPicture_ : IsLoadablePicture(sys_, target);
}

void FormCL_CONTAINER::CommandコンテナOK_Click() {
  // A line break or another control character cannot be part of a path or an address:
  // they are taken out, and the box shows what is used.
  Textリンクターゲット.setText(tk::OneLineText(Textリンクターゲット.text()));
  const std::wstring target = Textリンクターゲット.text();
  if (target.empty()) {
    sys_.messageBox(text::kNoTarget, text::kNoTargetTitle, sys::kMbOk | sys::kMbIconExclamation);
    return;
  }
  // The file chosen in the list, or the typed path's own name.
  std::wstring fileName = Fileコンテナ.fileName();
  if (fileName.empty() || Textリンクターゲット.text() != Fileコンテナ.path() + L"\\" + fileName) {
    const auto slash = target.find_last_of(L"\\/");
    fileName = slash == std::wstring::npos ? target : target.substr(slash + 1);
  }
  if (OpenRole()) {
    if (openImage) openImage(target, fileName);
    return;
  }
  AreaLink link{target, fileName, std::nullopt};
  // A popup opens at the size of the picture last measured.
  if (isPicture(target)) {
    link.picture = capture::PixelSize{static_cast<int>(ImageVIEW2.width()),
                                      static_cast<int>(ImageVIEW2.height())};
  }
  if (linkChosen && linkChosen(link)) hide();
}

void FormCL_CONTAINER::CommandコンテナCANCEL_Click() {
  editSelection.clear();
  hide();
}

void FormCL_CONTAINER::Form_MouseDown(const tk::MouseEvent& e) {
  if (e.button & tk::kLeftButton) beginMoveDrag();
}

bool FormCL_CONTAINER::OpenRole() const {
  return LabelCONT_NAME.caption() == text::kOpenRole;
}

void FormCL_CONTAINER::ResetRole() {
  LabelCONT_NAME.setCaption(text::kLinkRole);
  hide();
  setTop(-6000);
}

void FormCL_CONTAINER::ShowForOpening() {
  LabelCONT_NAME.setCaption(text::kOpenRole);
  const tk::Box b =
      tk::Centred(width(), height(), sys_.screenWidthTwips(), sys_.screenHeightTwips());
  move(b.left, b.top, b.width, b.height);
  show();
  Form_Activate();
}

void FormCL_CONTAINER::ShowForLinking(double left, double below) {
  const double sh = sys_.screenHeightTwips();
  const double top = below + height() > sh ? sh / 2 - height() / 2 : below;
  move(left, top, width(), height());
  LabelCONT_NAME.setCaption(text::kLinkRole);
  show();
  Form_Activate();
}

}  // namespace pelnoro::imagemap
