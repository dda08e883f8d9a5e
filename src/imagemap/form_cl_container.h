// The link-target dialog: a file (or a typed address) for a link area of the map, with
// a preview of pictures; in its open role, the picture file to open.
#pragma once

#include <functional>
#include <string>

#include "capture/selection.h"
#include "program/app_state.h"
#include "program/settings.h"
#include "system/system.h"
#include "toolkit/controls.h"
#include "toolkit/file_lists.h"
#include "toolkit/form.h"

namespace pelnoro::imagemap {

class LinkMode;

class FormCL_CONTAINER : public tk::Form {
 public:
  FormCL_CONTAINER(sys::System& sys, program::AppState& state, LinkMode& linkMode);

  tk::Label LabelCONT_NAME{this, L"LabelCONT_NAME"};
  tk::DriveListBox Driveコンテナ{this, L"Driveコンテナ"};
  tk::DirListBox Dirコンテナ{this, L"Dirコンテナ"};
  tk::FileListBox Fileコンテナ{this, L"Fileコンテナ"};
  tk::TextBox Textリンクターゲット{this, L"Textリンクターゲット"};
  tk::Image ImageVIEW1{this, L"ImageVIEW1"};
  tk::Image ImageVIEW2{this, L"ImageVIEW2"};
  tk::CommandButton CommandコンテナOK{this, L"CommandコンテナOK"};
  tk::CommandButton CommandコンテナCANCEL{this, L"CommandコンテナCANCEL"};

  // Wired by the program: the settings, the edit selection the areas are made of, and
  // what opening a picture does (false when it could not be opened).
  std::function<program::Settings()> settings;
  capture::SelectionLabels editSelection;
  std::function<bool(const std::wstring& path, const std::wstring& fileName)> openImage;

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
  // The link-target role, shown (placed by the caller).
  void ShowForLinking();

 private:
  void preview(const image::Surface& picture);
  void complain(const std::wstring& text);
  // The popup window's size: the last picture measured, plus 24 each way.
  int popupWidth() const;
  int popupHeight() const;

  sys::System& sys_;
  program::AppState& state_;
  LinkMode& linkMode_;
  // Set while the drive list is put back after a drive that was not ready.
  bool restoringDrive_ = false;
  // Raising the window activates it again: once is enough.
  bool activating_ = false;
};

}  // namespace pelnoro::imagemap
