#include "dialogs/form_property_box.h"

#include "dialogs/form_fld_browse.h"
#include "dialogs/texts.h"
#include "program/dialog_skin.h"
#include "program/settings_file.h"
#include "system/number_text.h"
#include "system/text_file.h"

namespace pelnoro::dialogs {

namespace {
constexpr tk::Color kWhite = 0x00FFFFFF;
constexpr tk::Color kPage = 0x00FAF2EA;
constexpr tk::Color kTitleBack = 0x00804A20;

// Groups, options, check boxes and plain labels sit on the page colour.
void paintOnPage(tk::Container& c) {
  for (tk::Control* child : c.children()) {
    switch (child->kind()) {
      case tk::Kind::Frame:
        child->setBackColor(kPage);
        paintOnPage(static_cast<tk::Container&>(*child));
        break;
      case tk::Kind::OptionButton:
      case tk::Kind::CheckBox:
        child->setBackColor(kPage);
        break;
      default:
        break;
    }
  }
}

void placeOptions(std::initializer_list<tk::OptionButton*> options, double top) {
  double left = 180;
  for (tk::OptionButton* o : options) {
    o->move(left, top, 1410, 285);
    left += 1500;
  }
}

// A control's place on its page (twips) and its caption, if it shows one.
struct Placement {
  tk::Control* control;
  double left, top, width, height;
  const wchar_t* caption;
  void (*setCaption)(tk::Control&, const wchar_t*);
};

template <class C>
Placement at(C& control, double left, double top, double width, double height,
             const wchar_t* caption = nullptr) {
  Placement p{&control, left, top, width, height, caption, nullptr};
  if constexpr (requires { control.setCaption(std::wstring()); }) {
    p.setCaption = [](tk::Control& c, const wchar_t* text) { static_cast<C&>(c).setCaption(text); };
  }
  return p;
}

void place(std::initializer_list<Placement> placements) {
  for (const Placement& p : placements) {
    p.control->move(p.left, p.top, p.width, p.height);
    if (p.caption && p.setCaption) p.setCaption(*p.control, p.caption);
  }
}

// White, framed labels that show a value.
void asValueLabels(std::initializer_list<tk::Label*> labels) {
  for (tk::Label* l : labels) {
    l->setBackColor(kWhite);
    l->setBordered(true);
  }
}

}  // namespace

FormPROPERTY_BOX::FormPROPERTY_BOX(sys::System& sys, program::AppState& state,
                                   FormFLD_browse& chooser)
    : tk::Form(L"FormPROPERTY_BOX"), sys_(sys), state_(state), chooser_(chooser) {
  setCaption(text::kPropertyCaption);
  setBorderStyle(tk::BorderStyle::None);
  setShowInTaskbar(false);
  move(0, 0, 5190, 4400);
  setBackColor(kPage);
  setPicture(program::DialogSkin());
  setOutline(kTitleBack);

  Label4.move(0, 0, 5190, 345);
  Label4.setCaption(text::kPropertyTitle);
  Label4.setBackColor(kTitleBack);
  Label4.setForeColor(kWhite);
  Label4.setFont(tk::Font{L"ＭＳ Ｐゴシック", 10, true});

  // Four pages stacked at one place; the menu shows one at a time.
  const std::pair<tk::Frame*, const wchar_t*> pages[] = {
      {&Frame動作, text::kPageOperation},
      {&Frame画像, text::kPageImage},
      {&FrameクリッカブルMP, text::kPageClickableMap},
      {&Frameプロパティリスト, text::kPagePropertyList}};
  for (const auto& [page, caption] : pages) {
    page->move(120, 480, 4950, 3780);
    page->setCaption(caption);
    page->setVisible(false);
  }
  designOperationPage();
  designImagePage();
  designClickableMapPage();
  ListPROPERTY_設定.move(120, 300, 4710, 3360);

  paintOnPage(*this);
  chooser_.setPropertyBox(*this);
  storedSaveFolder_ = Label保存先.caption();
  storedFileName_ = Text保存ファイル名.text();
  wireEvents();
}

void FormPROPERTY_BOX::designOperationPage() {
  // Format and file name side by side, the folder and its history below.
  place({at(Frame保存形式, 120, 270, 1680, 1440, text::kSaveFormat),
         at(Optionクリップボード, 180, 300, 1410, 255, text::kClipboard),
         at(OptionJPEG, 180, 570, 1410, 255, text::kJpeg),
         at(OptionPNG, 180, 840, 1410, 255, text::kPng),
         at(OptionBMP, 180, 1110, 1410, 255, text::kBmp),
         at(Frame保存ファイル名, 1920, 270, 2910, 1440, text::kFileNameGroup),
         at(Text保存ファイル名, 180, 345, 2550, 300),
         at(Check自動ナンバリング, 180, 825, 2550, 285, text::kAutoNumbering),
         at(Frame保存先, 120, 1830, 4710, 1830, text::kSaveFolderGroup),
         at(Label保存先, 180, 330, 3960, 285, text::kDefaultSaveFolder),
         at(Command保存先選択, 4200, 315, 375, 315, text::kBrowse),
         at(Label1, 180, 705, 900, 225, text::kHistory), at(List保存履歴, 180, 945, 4395, 765)});
  OptionBMP.setValue(true);
  Text保存ファイル名.setText(text::kDefaultFileName);
  Check自動ナンバリング.setValue(1);
  asValueLabels({&Label保存先});
  Label1.setTransparent(true);
}

void FormPROPERTY_BOX::designImagePage() {
  place({at(FramePNG解像度, 120, 270, 4710, 780, text::kPngGroup),
         at(Frame解像度, 120, 1170, 4710, 1380, text::kJpegGroup),
         at(CheckJPEGプログレッシブ, 180, 345, 4395, 285, text::kProgressive),
         at(Label解像度, 180, 825, 540, 255, text::kDefaultQuality),
         at(VScrollJPEG_解像度, 720, 825, 255, 255),
         at(Label3, 1110, 855, 3465, 225, text::kQualityHint)});
  Option最高の圧縮率.setCaption(text::kPngHighest);
  Option低圧縮率.setCaption(text::kPngLow);
  Option通常.setCaption(text::kPngNormal);
  placeOptions({&Option最高の圧縮率, &Option低圧縮率, &Option通常}, 345);
  Option通常.setValue(true);
  Frame解像度.setToolTip(text::kJpegOnly);
  asValueLabels({&Label解像度});
  Label解像度.setAlignment(tk::Align::Right);
  VScrollJPEG_解像度.setRange(0, 100);
  VScrollJPEG_解像度.setValue(50);
  Label3.setTransparent(true);
}

void FormPROPERTY_BOX::designClickableMapPage() {
  // Only rectangles are written, so the other shapes stay off.
  place({at(Frame画像にリンク, 120, 270, 4710, 780, text::kLinkShape),
         at(Frame1, 120, 1170, 4710, 1020),
         at(Checkテキスト出力, 180, 255, 4395, 285, text::kToText),
         at(CheckHTML作成, 180, 600, 4395, 285, text::kToHtml)});
  Optionマップ四角.setCaption(text::kRectangle);
  Optionマップ丸.setCaption(text::kCircle);
  Optionマップ多角形.setCaption(text::kPolygon);
  placeOptions({&Optionマップ四角, &Optionマップ丸, &Optionマップ多角形}, 345);
  Optionマップ四角.setValue(true);
  Optionマップ丸.setEnabled(false);
  Optionマップ多角形.setEnabled(false);
  Checkテキスト出力.setValue(1);
}

void FormPROPERTY_BOX::wireEvents() {
  CheckJPEGプログレッシブ.onClick = [this] { CheckJPEGプログレッシブ_Click(); };
  VScrollJPEG_解像度.onChange = [this] { VScrollJPEG_解像度_Change(); };
  Text保存ファイル名.onChange = [this] {
    if (sys::fitsCp932(Text保存ファイル名.text())) storedFileName_ = Text保存ファイル名.text();
  };
  List保存履歴.onClick = [this] { List保存履歴_Click(); };
  Label保存先.onMouseMove = [this](const tk::MouseEvent&) { Label保存先_MouseMove(); };
  Command保存先選択.onClick = [this] { Command保存先選択_Click(); };
  onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
  Label4.onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
}

void FormPROPERTY_BOX::CheckJPEGプログレッシブ_Click() {
  state_.JpegProgressive = CheckJPEGプログレッシブ.value() == 1 ? program::kTrue : program::kFalse;
}

void FormPROPERTY_BOX::VScrollJPEG_解像度_Change() {
  const int q = static_cast<std::int16_t>(VScrollJPEG_解像度.max() - VScrollJPEG_解像度.value());
  if (q > 100) {
    Label解像度.setCaption(L"100");
  } else if (q < 0) {
    Label解像度.setCaption(L"0");
  } else {
    Label解像度.setCaption(std::to_wstring(q));
  }
}

void FormPROPERTY_BOX::List保存履歴_Click() {
  SetSaveFolder(List保存履歴.list(List保存履歴.listIndex()));
}

bool FormPROPERTY_BOX::SetSaveFolder(const std::wstring& folder) {
  Label保存先.setCaption(folder);
  if (!sys::fitsCp932(folder)) return false;
  storedSaveFolder_ = folder;
  return true;
}

bool FormPROPERTY_BOX::SetFileName(const std::wstring& name) {
  Text保存ファイル名.setText(name);
  return sys::fitsCp932(name);
}

void FormPROPERTY_BOX::Label保存先_MouseMove() {
  Label保存先.setToolTip(Label保存先.caption());
}

void FormPROPERTY_BOX::Command保存先選択_Click() {
  auto& chooser = chooser_;
  const std::wstring folder = Label保存先.caption();
  // The lists open on the save folder, or on the program's folder while the
  // save folder does not exist yet; the text always shows the save folder, so
  // OK can create it.
  const std::wstring shown = sys_.folderExists(folder) ? folder : sys_.exeFolder();
  chooser.DriveFLD_br.setDrive(shown);
  chooser.DirFLD_br.setPath(shown);
  chooser.TextFLD_name.setText(shown);
  chooser.TextFLD_name.setText(folder);
  chooser.show();
  chooser.setTopmost();
}

void FormPROPERTY_BOX::Form_MouseDown(const tk::MouseEvent& e) {
  if (e.button & tk::kLeftButton) beginMoveDrag();
}

program::Settings FormPROPERTY_BOX::Current() const {
  program::Settings s;
  // The cut tests the formats in this order; the option buttons let only one be on.
  if (OptionJPEG.value()) {
    s.format = program::SaveFormat::kJpeg;
  } else if (OptionBMP.value()) {
    s.format = program::SaveFormat::kBmp;
  } else if (OptionPNG.value()) {
    s.format = program::SaveFormat::kPng;
  } else if (Optionクリップボード.value()) {
    s.format = program::SaveFormat::kClipboard;
  } else {
    s.format = program::SaveFormat::kNone;
  }
  s.fileName = Text保存ファイル名.text();
  s.autoNumbering = Check自動ナンバリング.value() == 1;
  s.saveFolder = Label保存先.caption();
  s.jpegQuality = Label解像度.caption();
  s.pngLevel = 0;
  if (Option通常.value()) {
    s.pngLevel = 0;
  } else if (Option低圧縮率.value()) {
    s.pngLevel = 1;
  } else if (Option最高の圧縮率.value()) {
    s.pngLevel = 2;
  }
  s.mapToText = Checkテキスト出力.value() == 1;
  s.mapToHtml = CheckHTML作成.value() == 1;
  return s;
}

void FormPROPERTY_BOX::Load(const program::Settings& s) {
  switch (s.format) {
    case program::SaveFormat::kClipboard:
      Optionクリップボード.setValue(true);
      break;
    case program::SaveFormat::kJpeg:
      OptionJPEG.setValue(true);
      break;
    case program::SaveFormat::kPng:
      OptionPNG.setValue(true);
      break;
    case program::SaveFormat::kBmp:
      OptionBMP.setValue(true);
      break;
    case program::SaveFormat::kNone:
      for (tk::OptionButton* o : {&Optionクリップボード, &OptionJPEG, &OptionPNG, &OptionBMP}) {
        o->setValue(false);
      }
      break;
  }
  Text保存ファイル名.setText(s.fileName);
  Check自動ナンバリング.setValue(s.autoNumbering ? 1 : 0);
  SetSaveFolder(s.saveFolder);
  // The spinner shows the quality upside down. Moving it recomputes the label, which
  // keeps it within 0..100.
  Label解像度.setCaption(s.jpegQuality);
  const long quality = sys::RoundHalfEven(sys::LenientNumber(s.jpegQuality));
  const long pos = static_cast<long>(VScrollJPEG_解像度.max()) - quality;
  if (pos != VScrollJPEG_解像度.value()) VScrollJPEG_解像度.setValue(static_cast<int>(pos));
  (s.pngLevel == 1   ? Option低圧縮率
   : s.pngLevel == 2 ? Option最高の圧縮率
                     : Option通常)
      .setValue(true);
  Checkテキスト出力.setValue(s.mapToText ? 1 : 0);
  CheckHTML作成.setValue(s.mapToHtml ? 1 : 0);
}

void FormPROPERTY_BOX::SetPropertyLines(const std::vector<std::wstring>& lines) {
  ListPROPERTY_設定.clear();
  for (const auto& l : lines) ListPROPERTY_設定.addItem(l);
}

void FormPROPERTY_BOX::RebuildPropertyLines(double mainLeft, double mainTop) {
  SetPropertyLines(
      program::SettingsLines(Current(), storedSaveFolder_, storedFileName_, mainLeft, mainTop));
}

void FormPROPERTY_BOX::RefreshPropertyList(double mainLeft, double mainTop) {
  hide();
  RebuildPropertyLines(mainLeft, mainTop);
  for (tk::Frame* page : {&Frame動作, &Frame画像, &FrameクリッカブルMP, &Frameプロパティリスト}) {
    page->setVisible(false);
  }
}

void FormPROPERTY_BOX::SetFolderHistory(const std::vector<std::wstring>& rows) {
  List保存履歴.clear();
  for (const auto& r : rows) List保存履歴.addItem(r);
}

void FormPROPERTY_BOX::PushFolderHistory(const std::wstring& folder) {
  std::vector<std::wstring> rows = FolderHistory();
  if (program::PushFolderHistory(rows, folder)) SetFolderHistory(rows);
}

}  // namespace pelnoro::dialogs
