// The link-target dialog: a file (or a typed address) for a link area of the map, with
// a preview of pictures; in its open role, the picture file to open.
#pragma once

#include <functional>
#include <string>

#include "capture/selection.h"
#include "imagemap/area_link.h"
#include "program/settings.h"
#include "system/system.h"
#include "toolkit/controls.h"
#include "toolkit/file_lists.h"
#include "toolkit/form.h"

namespace pelnoro::imagemap {

class FormCL_CONTAINER : public tk::Form {
 public:
  explicit FormCL_CONTAINER(sys::System& sys);

  tk::Label LabelCONT_NAME{this, L"LabelCONT_NAME"};
  tk::DriveListBox Driveコンテナ{this, L"Driveコンテナ"};
  tk::DirListBox Dirコンテナ{this, L"Dirコンテナ"};
  tk::FileListBox Fileコンテナ{this, L"Fileコンテナ"};
  tk::TextBox Textリンクターゲット{this, L"Textリンクターゲット"};
  tk::Image ImageVIEW1{this, L"ImageVIEW1"};
  tk::Image ImageVIEW2{this, L"ImageVIEW2"};
  tk::CommandButton CommandコンテナOK{this, L"CommandコンテナOK"};
  tk::CommandButton CommandコンテナCANCEL{this, L"CommandコンテナCANCEL"};

  // Wired by the program: the settings, the edit selection the areas are made of, what
  // opening a picture does (false when it could not be opened) and what OK in the
  // link-target role does with the area's link (false when it could not be written:
  // the dialog stays for another try).
  std::function<program::Settings()> settings;
  capture::SelectionLabels editSelection;
  std::function<bool(const std::wstring& path, const std::wstring& fileName)> openImage;
  std::function<bool(const AreaLink& link)> linkChosen;

  void Form_Activate();
  void Driveコンテナ_Change();
  void Dirコンテナ_Change();
  void Fileコンテナ_Click();
  void ImageVIEW1_Click();
  void CommandコンテナOK_Click();
  void CommandコンテナCANCEL_Click();
  void Form_MouseDown(const tk::MouseEvent& e);

  bool OpenRole() const;
  // Back to the link-target role, hidden and out of view.
  void ResetRole();
  // The open role, centred on the screen, shown.
  void ShowForOpening();
  // The link-target role, shown with its left edge at `left` and its top at `below`,
  // or in the middle of the screen when it would pass the bottom there (twips).
  void ShowForLinking(double left, double below);

 private:
  void preview(const image::Surface& picture);
  void complain(const std::wstring& text);
  // Whether the target is a picture: known for the file last clicked, which was
  // measured then; any other target is asked about.
  bool isPicture(const std::wstring& target);

  sys::System& sys_;
  // The file last clicked in the list, and whether it is a picture.
  std::wstring clickedPath_;
  bool clickedIsPicture_ = false;
  // Set while the drive list is put back after a drive that was not ready.
  bool restoringDrive_ = false;
  // Raising the window activates it again: once is enough.
  bool activating_ = false;
};

}  // namespace pelnoro::imagemap
