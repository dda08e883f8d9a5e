#include "dialogs/form_fld_browse.h"

#include <cwctype>

#include "dialogs/form_property_box.h"
#include "dialogs/texts.h"
#include "program/dialog_skin.h"

namespace pelnoro::dialogs {

namespace {

constexpr tk::Color kTitleBack = 0x00E0E0E0;

bool endsWithBackslash(const std::wstring& s) {
  return !s.empty() && s.back() == L'\\';
}

// A drive letter with its root ("C:", "C:\...") or a network path ("\\server\...").
bool isFullPath(const std::wstring& p) {
  const bool drive = p.size() >= 2 && p[1] == L':' && std::iswalpha(static_cast<wint_t>(p[0])) &&
                     (p.size() == 2 || p[2] == L'\\' || p[2] == L'/');
  const bool network =
      p.size() > 2 && (p[0] == L'\\' || p[0] == L'/') && (p[1] == L'\\' || p[1] == L'/');
  return drive || network;
}

}  // namespace

FormFLD_browse::FormFLD_browse(sys::System& sys) : tk::Form(L"FormFLD_browse"), sys_(sys) {
  setCaption(text::kChooserCaption);
  setBorderStyle(tk::BorderStyle::None);
  setShowInTaskbar(false);
  move(0, 0, 3180, 3825);
  setBackColor(0x00F4ECE4);
  setPicture(program::DialogSkin());
  // It usually opens over the property box, whose colours it shares.
  setOutline(0x00804A20);

  Label1.move(120, 120, 2775, 195);
  Label1.setCaption(text::kChooserTitle);
  Label1.setBackColor(kTitleBack);
  DriveFLD_br.move(120, 480, 2895, 300);
  DirFLD_br.move(120, 840, 2895, 1770);
  TextFLD_name.move(120, 2760, 2895, 270);
  CommandFLD_br_OK.move(480, 3240, 855, 375);
  CommandFLD_br_OK.setCaption(text::kOk);
  CommandFLD_br_OK.setEnabled(false);
  CommandFLD_br_CANCEL.move(1800, 3240, 855, 375);
  CommandFLD_br_CANCEL.setCaption(text::kCancel);

  // The lists start on the program's own folder.
  DriveFLD_br.setSystem(sys_);
  DirFLD_br.setSystem(sys_);
  DirFLD_br.setPath(sys_.exeFolder());

  onActivate = [this] { Form_Activate(); };
  DriveFLD_br.onChange = [this] { DriveFLD_br_Change(); };
  DirFLD_br.onChange = [this] { DirFLD_br_Change(); };
  DirFLD_br.onClick = [this] { DirFLD_br_Click(); };
  TextFLD_name.onMouseMove = [this](const tk::MouseEvent&) { TextFLD_name_MouseMove(); };
  CommandFLD_br_OK.onClick = [this] { CommandFLD_br_OK_Click(); };
  CommandFLD_br_CANCEL.onClick = [this] { CommandFLD_br_CANCEL_Click(); };
  onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
  Label1.onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
}

void FormFLD_browse::Form_Activate() {
  auto& sys = sys_;
  move(sys.screenWidthTwips() / 2 - width() / 2, sys.screenHeightTwips() / 2 - height() / 2,
       width(), height());
}

void FormFLD_browse::DriveFLD_br_Change() {
  if (restoringDrive_) return;
  const std::wstring drive = DriveFLD_br.drive();
  if (!sys_.driveReady(drive + L"\\")) {
    complain(text::DriveNotReady(drive));
    // Back to the drive the folder list still shows; nothing else moves.
    restoringDrive_ = true;
    DriveFLD_br.setDrive(DirFLD_br.path());
    restoringDrive_ = false;
    return;
  }
  DirFLD_br.setPath(drive);
  TextFLD_name.setText(L"");
  CommandFLD_br_OK.setEnabled(false);
}

void FormFLD_browse::DirFLD_br_Change() {
  CommandFLD_br_OK.setEnabled(true);
}

void FormFLD_browse::DirFLD_br_Click() {
  CommandFLD_br_OK.setEnabled(true);
  const std::wstring& entry = DirFLD_br.list(DirFLD_br.listIndex());
  TextFLD_name.setText(endsWithBackslash(entry) ? entry : entry + L"\\");
}

void FormFLD_browse::TextFLD_name_MouseMove() {
  TextFLD_name.setToolTip(TextFLD_name.text());
}

void FormFLD_browse::complain(const std::wstring& message) {
  sys_.messageBox(message, text::kChooserErrorTitle, sys::kMbOk | sys::kMbIconExclamation);
}

bool FormFLD_browse::acceptableFolder(const std::wstring& path) {
  auto& sys = sys_;
  if (path.find_first_not_of(L' ') == std::wstring::npos) {
    complain(text::kNoFolderGiven);
    return false;
  }
  // A relative path would land wherever the program happens to run.
  if (!isFullPath(path)) {
    complain(text::NotFullPath(path));
    return false;
  }
  if (sys.fileExists(tk::NormalizeFolder(path))) {
    complain(text::IsAFile(path));
    return false;
  }
  return true;
}

void FormFLD_browse::CommandFLD_br_OK_Click() {
  auto& sys = sys_;
  const std::wstring path = TextFLD_name.text();
  if (!acceptableFolder(path)) return;
  if (!sys.folderExists(path)) {
    if (sys.messageBox(text::CreateQuestion(path), text::kCreateTitle, sys::kMbYesNo) !=
        sys::kIdYes) {
      return;
    }
    if (!sys.createFolder(path)) {
      complain(text::CannotCreate(path));
      return;
    }
    DirFLD_br.refresh();
  }
  const std::wstring folder = endsWithBackslash(path) ? path : path + L"\\";
  if (box_ && !box_->SetSaveFolder(folder)) {
    // Usable now, but a name the Shift_JIS settings file cannot hold would come back
    // as another folder at the next start.
    complain(text::NotStorable(folder, box_->StoredSaveFolder()));
  }
  hide();
  // The main window's folder label and the cut image's tool tip follow.
  if (folderChosen) folderChosen(folder);
}

void FormFLD_browse::CommandFLD_br_CANCEL_Click() {
  hide();
}

void FormFLD_browse::Form_MouseDown(const tk::MouseEvent& e) {
  if (e.button & tk::kLeftButton) beginMoveDrag();
}

}  // namespace pelnoro::dialogs
