// The save panel: review and rename the cut's file, change the folder, save.
#include "app/application.h"
#include "app/form_pelnoro.h"
#include "app/texts.h"
#include "capture/form_pic.h"
#include "dialogs/form_fld_browse.h"
#include "dialogs/form_property_box.h"
#include "imagemap/form_cl_container.h"
#include "output/image_writer.h"
#include "output/save_target.h"
#include "output/texts.h"

namespace pelnoro::app {

namespace {
constexpr int kEnter = 13;
}

std::vector<tk::Control*> FormPELNORO::savePanelControls() {
  return {&Shapeツールウィンド背景, &Labelファイル名変更, &Labelファイル名,    &Labelフォルダ変更,
          &Label保存フォルダ,       &Label保存実行,       &Label保存キャンセル};
}

void FormPELNORO::ShowSavePanel() {
  for (tk::Control* c : savePanelControls()) c->setVisible(true);
}

void FormPELNORO::HideSavePanel() {
  for (tk::Control* c : savePanelControls()) c->setVisible(false);
  Textファイル名変更.setVisible(false);
}

void FormPELNORO::Label保存開く_Click() {
  if (!Label保存開く.enabled()) return;
  if (Label保存開く.caption() == text::kSave) {
    Listメインメニュー.setVisible(false);
    ShowSavePanel();
    return;
  }
  // Opening a picture file goes through the link-target dialog in its open role.
  app_.linkTarget().ShowForOpening();
}

void FormPELNORO::Labelファイル名_Click() {
  if (Textファイル名変更.visible()) return;
  Textファイル名変更.setText(Labelファイル名.caption());
  Labelファイル名.setVisible(false);
  Textファイル名変更.setVisible(true);
}

void FormPELNORO::Labelファイル名変更_Click() {
  if (Textファイル名変更.visible()) {
    Labelファイル名.setCaption(Textファイル名変更.text());
    Labelファイル名.setVisible(true);
    Textファイル名変更.setVisible(false);
  } else {
    Textファイル名変更.setText(Labelファイル名.caption());
    Labelファイル名.setVisible(false);
    Textファイル名変更.setVisible(true);
  }
  app_.pic().Picture_CHANGE1.setToolTip(app_.propertyBox().Label保存先.caption() +
                                        Labelファイル名.caption());
}

void FormPELNORO::Textファイル名変更_KeyDown(int& keyCode, int) {
  if (keyCode == kEnter) {
    Labelファイル名.setCaption(Textファイル名変更.text());
    Textファイル名変更.setVisible(false);
    Labelファイル名.setVisible(true);
    keyCode = 0;
  }
  // Typed characters reach SaveFileName through the box's Change event.
  app_.state().SaveFileName = Textファイル名変更.text();
}

void FormPELNORO::Labelフォルダ変更_Click() {
  auto& chooser = app_.folderChooser();
  chooser.setVisible(!chooser.visible());
}

void FormPELNORO::Label保存フォルダ_Click() {
  Labelフォルダ変更_Click();
}

void FormPELNORO::Label保存フォルダ_MouseMove() {
  Label保存フォルダ.setToolTip(Label保存フォルダ.caption());
}

void FormPELNORO::Label保存実行_Click() {
  auto& st = app_.state();
  auto& sys = app_.sys();
  auto& pic = app_.pic();
  if (st.LinkModeActive) {
    WarnLinkUnfinished();
    return;
  }
  // A missing folder, or a drive that is gone or not ready, finds nothing.
  const std::wstring folder = Label保存フォルダ.caption();
  if (folder.empty() || !sys.folderExists(folder)) {
    sys.messageBox(L"[" + folder + output::text::kNoFolder, output::text::kFolderTitle,
                   sys::kMbOk | sys::kMbIconExclamation);
    return;
  }
  const program::Settings settings = app_.propertyBox().Current();
  // The file always carries the extension of the format it is written in.
  const output::SaveTarget target = output::ResolveSaveTarget(st.SaveFileName, st.SaveFileExt);
  // A name Windows cannot create would only come back as a write error.
  if (!output::IsWritableFileName(target.fileName)) {
    sys.messageBox(output::text::UnwritableName(target.fileName), output::text::kFileNameTitle,
                   sys::kMbOk | sys::kMbIconExclamation);
    return;
  }
  // A picture opened from a file is saved under its own name: it may stand in the save
  // folder already, even be the very file opened.
  if (openedPicture_ && sys.fileExists(settings.saveFolder + target.fileName) &&
      sys.messageBox(output::text::kOverwrite, output::text::kOverwriteTitle,
                     sys::kMbYesNo | sys::kMbDefButton2) != sys::kIdYes) {
    return;
  }
  Textファイル名変更.setVisible(false);
  Labelファイル名.setVisible(true);
  pic.Picture_CHANGE1.cls();
  // The encoders take the image's own pixels, not the screen's, so the main window
  // stays: while a large picture is written its status line says so, under a wait
  // cursor.
  const std::wstring status = Labelステータス.caption();
  Labelステータス.setCaption(output::text::kWriting + settings.saveFolder + target.fileName);
  setMousePointer(tk::Pointer::kHourglass);
  pic.setMousePointer(tk::Pointer::kHourglass);
  sys.doEvents();

  st.SaveFileName = target.fileName;
  const auto request = output::SaveRequestFor(
      sys, target.ext, settings.saveFolder + target.fileName, settings, st.JpegProgressive != 0);
  const output::SaveOutcome outcome =
      request ? output::WriteCutImage(sys, pic.Picture_CHANGE1.surface(), *request)
              : output::SaveOutcome{};
  if (outcome.encoderCode) st.SaveResult = *outcome.encoderCode;
  setMousePointer(tk::Pointer::kDefault);
  pic.setMousePointer(tk::Pointer::kDefault);
  if (!outcome.written) {
    // The writer has said what went wrong; keep the cut so the user can choose
    // another folder or name and save again.
    Labelステータス.setCaption(status);
    setTopmost();
    return;
  }
  app_.propertyBox().PushFolderHistory(settings.saveFolder);
  returnToIdle();
}

void FormPELNORO::Label保存キャンセル_Click() {
  auto& st = app_.state();
  Labelファイル名.setCaption(Labelファイル名old.caption());
  Label保存フォルダ.setCaption(Label保存フォルダold.caption());
  // What the panel shows is what a later save writes.
  st.SaveFileName = Labelファイル名old.caption();
  app_.propertyBox().SetSaveFolder(Label保存フォルダold.caption());
  app_.pic().Picture_CHANGE1.setToolTip(Label保存フォルダold.caption() + st.SaveFileName);
  Listメインメニュー.setVisible(true);
  Label保存開く.setEnabled(true);
  HideSavePanel();
}

}  // namespace pelnoro::app
