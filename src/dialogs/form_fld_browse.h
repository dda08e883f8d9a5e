// The folder chooser: picks the save folder from the drive and folder lists or
// a typed path, creates a missing folder after asking, and stores the result.
#pragma once

#include <functional>
#include <string>

#include "system/system.h"
#include "toolkit/controls.h"
#include "toolkit/file_lists.h"
#include "toolkit/form.h"

namespace pelnoro::dialogs {

class FormPROPERTY_BOX;

class FormFLD_browse : public tk::Form {
 public:
  explicit FormFLD_browse(sys::System& sys);

  tk::Label Label1{this, L"Label1"};
  tk::DriveListBox DriveFLD_br{this, L"DriveFLD_br"};
  tk::DirListBox DirFLD_br{this, L"DirFLD_br"};
  tk::TextBox TextFLD_name{this, L"TextFLD_name"};
  tk::CommandButton CommandFLD_br_OK{this, L"CommandFLD_br_OK"};
  tk::CommandButton CommandFLD_br_CANCEL{this, L"CommandFLD_br_CANCEL"};

  void Form_Activate();
  void DriveFLD_br_Change();
  void DirFLD_br_Change();
  void DirFLD_br_Click();
  void TextFLD_name_MouseMove();
  void CommandFLD_br_OK_Click();
  void CommandFLD_br_CANCEL_Click();
  void Form_MouseDown(const tk::MouseEvent& e);

  // The property box, which holds the settings' save folder.
  void setPropertyBox(FormPROPERTY_BOX& box) { box_ = &box; }
  // Wired by the program: the folder just chosen, for the places that show it.
  std::function<void(const std::wstring& folder)> folderChosen;

 private:
  // Refuses texts that must not become the save folder; true when usable.
  bool acceptableFolder(const std::wstring& path);
  void complain(const std::wstring& message);

  sys::System& sys_;
  FormPROPERTY_BOX* box_ = nullptr;
  // Set while the drive list is put back after a drive that was not ready.
  bool restoringDrive_ = false;
};

}  // namespace pelnoro::dialogs
