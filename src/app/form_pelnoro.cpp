#include "app/form_pelnoro.h"

#include "app/application.h"
#include "app/skins.h"
#include "app/texts.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "dialogs/form_fld_browse.h"
#include "dialogs/form_property_box.h"
#include "program/settings_file.h"
#include "system/number_text.h"

namespace pelnoro::app {

namespace {

constexpr tk::Color kMenuBack = 0x00FFF8F0;
constexpr tk::Color kPromptBack = 0x00C0FFFF;
constexpr tk::Color kNavy = 0x00800000;
constexpr tk::Color kWhite = 0x00FFFFFF;

// Design position of the save panel's labels: outside the visible area.
constexpr double kParkedLeft = 4000;

// A button or text label as designed: its place (twips), caption and background.
struct LabelDesign {
  tk::Label* label;
  double left, top, width, height;
  const wchar_t* caption;
  tk::Color back;
};

void design(std::initializer_list<LabelDesign> labels) {
  for (const LabelDesign& d : labels) {
    d.label->move(d.left, d.top, d.width, d.height);
    d.label->setCaption(d.caption);
    d.label->setBackColor(d.back);
  }
}

// Raised buttons made of labels: centred captions in a frame.
void asButtons(std::initializer_list<tk::Label*> labels) {
  for (tk::Label* l : labels) {
    l->setAlignment(tk::Align::Center);
    l->setBordered(true);
  }
}

}  // namespace

FormPELNORO::FormPELNORO(Application& app) : tk::Form(L"FormPELNORO"), app_(app) {
  setCaption(text::kAppTitle);
  setBorderStyle(tk::BorderStyle::FixedSingle);
  setMinMaxButtons(true, false);
  move(kDesignLeft, kDesignTop, kWidth, kHeight);
  setBackColor(0x00F4E8DC);
  setPicture(MainWindowSkin());
  // The native frame of a fixed single window at 96 DPI, for headless forms.
  setFrameTwips(6 * 15, 25 * 15);

  designButtons();
  designSavePanel();
  designPrompt();
  designSelectionStorage();
  wireEvents();
}

void FormPELNORO::designButtons() {
  Shapeシャッターボタン.move(2465, 145, 520, 520);
  Shapeシャッターボタン.setFillColor(0x00C0C0C0);
  Shapeシャッターボタン.setBorderColor(0x00808080);
  Shapeシャッターボタン.setShape(tk::ShapeKind::RoundedRectangle);
  Imageシャッターボタン.move(2480, 180, 480, 450);
  Imageシャッターボタン.setPicture(ShutterPicture());
  Imageシャッターボタン.setToolTip(text::kShutter);
  Shape切り取りボタン.move(2520, 360, 345, 300);
  Shape切り取りボタン.setFillColor(0x00C0FFC0);
  Shape切り取りボタン.setFillStyle(0);
  Shape切り取りボタン.setBorderColor(0x00408040);
  Shape切り取りボタン.setVisible(false);
  Image切り取りボタン.move(2520, 360, 300, 300);
  Image切り取りボタン.setPicture(CutPicture());
  Image切り取りボタン.setToolTip(WithKeyName(text::kCut, KeyCommand::kCut, KeyState::kCapture));
  Image切り取りボタン.setVisible(false);

  design({{&Label保存開く, 2400, 960, 855, 225, text::kOpenImage, kWhite},
          {&Label終了, 2400, 1260, 855, 225, text::kExit, 0x00C0E0FF},
          {&Labelクリア, 2400, 1560, 855, 225, text::kClear, 0x00C0FFFF},
          {&Labelステータス, 30, 1920, 3255, 180, L"", kWhite}});
  asButtons({&Label保存開く, &Label終了, &Labelクリア});
  Labelクリア.setToolTip(WithKeyName(text::kClear, KeyCommand::kClear, KeyState::kCapture));

  Listメインメニュー.move(60, 120, 2175, 1680);
  // The widest row, " 　クリッカブルマップ", is 10.5 characters of 1 em: at 9 point it
  // fits the list's 2175 twips.
  Listメインメニュー.setFont(tk::Font{L"ＭＳ ゴシック", 9, false});
}

void FormPELNORO::designSavePanel() {
  // Parked and hidden until the start moves it in.
  Shapeツールウィンド背景.move(kParkedLeft, 120, 2175, 1680);
  Shapeツールウィンド背景.setFillStyle(0);
  Shapeツールウィンド背景.setBorderColor(0x00C8B8A8);
  design({{&Labelファイル名変更, kParkedLeft, 190, 1200, 225, L"ファイル名", 0x00F0E0D0},
          {&Labelファイル名, kParkedLeft, 420, 2040, 255, L"", kWhite},
          {&Labelフォルダ変更, kParkedLeft, 750, 1200, 225, L"保存フォルダ", 0x00F0E0D0},
          {&Label保存フォルダ, kParkedLeft, 990, 2040, 480, L"", kWhite},
          {&Label保存実行, kParkedLeft, 1560, 855, 225, text::kRunSave, 0x00C0FFC0},
          {&Label保存キャンセル, kParkedLeft, 1560, 855, 225, text::kCancel, 0x00C0E0FF}});
  Label保存実行.setToolTip(WithKeyName(text::kRunSave, KeyCommand::kSave, KeyState::kSavePanel));
  Label保存キャンセル.setToolTip(
      WithKeyName(text::kCancel, KeyCommand::kCancelSave, KeyState::kSavePanel));
  Labelファイル名変更.setToolTip(L"ファイル名変更");
  Labelフォルダ変更.setToolTip(L"フォルダ変更");
  asButtons({&Labelファイル名変更, &Labelフォルダ変更, &Label保存実行, &Label保存キャンセル});
  Labelファイル名.setBordered(true);
  Label保存フォルダ.setBordered(true);
  Textファイル名変更.move(kParkedLeft, 420, 2040, 255);
  for (tk::Control* c : std::initializer_list<tk::Control*>{
           &Shapeツールウィンド背景, &Labelファイル名変更, &Labelファイル名, &Textファイル名変更,
           &Labelフォルダ変更, &Label保存フォルダ, &Label保存実行, &Label保存キャンセル,
           &Labelファイル名old, &Label保存フォルダold}) {
    c->setVisible(false);
  }
}

void FormPELNORO::designPrompt() {
  FrameON_MSG.move(kParkedLeft, 120, 2175, 1680);
  FrameON_MSG.setBackColor(kPromptBack);
  FrameON_MSG.setBordered(false);
  FrameON_MSG.setVisible(false);
  LabelON_MSG_TITLE.move(0, 0, 2175, 195);
  LabelON_MSG_TITLE.setBackColor(kNavy);
  LabelON_MSG_TITLE.setForeColor(kWhite);
  LabelON_MSG_COMMENT.move(120, 240, 1920, 975);
  LabelON_MSG_COMMENT.setTransparent(true);
  CommandON_MSG_YES.move(480, 1320, 495, 255);
  CommandON_MSG_YES.setCaption(L"Yes");
  CommandON_MSG_NO.move(1200, 1320, 495, 255);
  CommandON_MSG_NO.setCaption(L"No");
  for (tk::Line* l : {&LineLEFT, &LineUP, &LineRIGHT, &LineDOWN}) l->setVisible(false);
}

void FormPELNORO::designSelectionStorage() {
  // Below the client area: two columns of three frames, each with its labels in a row.
  double top = 2520;
  for (tk::Frame* f : {&Frameポインタ, &Frame始点, &Frame終点}) {
    f->move(60, top, 1575, 975);
    top += 1000;
  }
  top = 2520;
  for (tk::Frame* f : {&Frameポインタ2, &Frame始点2, &Frame終点2}) {
    f->move(1700, top, 1575, 975);
    top += 1000;
  }
  FrameDraw_Focurs_Rect.move(60, 5600, 1575, 975);
  for (tk::Frame* f :
       {&Frameポインタ, &Frame始点, &Frame終点, &Frameポインタ2, &Frame始点2, &Frame終点2}) {
    auto& kids = f->children();
    for (std::size_t i = 0; i < kids.size(); ++i) kids[i]->move(120, 240 + 300.0 * i, 1200, 255);
  }
}

void FormPELNORO::wireEvents() {
  onLoad = [this] { Form_Load(); };
  onResize = [this] { Form_Resize(); };
  onQueryUnload = [this](bool& cancel, tk::UnloadMode mode) { Form_QueryUnload(cancel, mode); };
  onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
  onMouseUp = [this](const tk::MouseEvent& e) { Form_MouseUp(e); };
  onMouseMove = [this](const tk::MouseEvent& e) { Form_MouseMove(e); };
  Label終了.onClick = [this] { Label終了_Click(); };
  hoverButton(Label終了, false);
  for (tk::Label* l : {&Labelファイル名変更, &Labelフォルダ変更, &Label保存実行,
                       &Label保存キャンセル, &Label保存開く, &Labelクリア}) {
    hoverButton(*l, true);
  }
  Listメインメニュー.onMouseMove = [this](const tk::MouseEvent&) { HideHoverFrame(); };
  Listメインメニュー.onClick = [this] { Listメインメニュー_Click(); };
  Imageシャッターボタン.onClick = [this] { Imageシャッターボタン_Click(); };
  Image切り取りボタン.onClick = [this] { Image切り取りボタン_Click(); };
  Labelクリア.onClick = [this] { Labelクリア_Click(); };
  Label保存開く.onClick = [this] { Label保存開く_Click(); };
  Labelファイル名.onClick = [this] { Labelファイル名_Click(); };
  Labelファイル名変更.onClick = [this] { Labelファイル名変更_Click(); };
  Textファイル名変更.onKeyDown = [this](int& key, int shift) {
    Textファイル名変更_KeyDown(key, shift);
  };
  // The name to save follows every keystroke.
  Textファイル名変更.onChange = [this] { app_.state().SaveFileName = Textファイル名変更.text(); };
  Labelフォルダ変更.onClick = [this] { Labelフォルダ変更_Click(); };
  Label保存フォルダ.onClick = [this] { Label保存フォルダ_Click(); };
  Label保存フォルダ.onMouseMove = [this](const tk::MouseEvent&) { Label保存フォルダ_MouseMove(); };
  Label保存実行.onClick = [this] { Label保存実行_Click(); };
  Label保存キャンセル.onClick = [this] { Label保存キャンセル_Click(); };
  CommandON_MSG_YES.onClick = [this] { CommandON_MSG_YES_Click(); };
  CommandON_MSG_NO.onClick = [this] { CommandON_MSG_NO_Click(); };
}

void FormPELNORO::hoverButton(tk::Label& label, bool raiseOnUp) {
  label.onMouseMove = [this, &label](const tk::MouseEvent&) {
    const long t = sys::RoundHalfEven(label.top()), h = sys::RoundHalfEven(label.height());
    const long l = sys::RoundHalfEven(label.left()), w = sys::RoundHalfEven(label.width());
    DrawHoverFrame(t, t + h, l, l + w);
  };
  label.onMouseDown = [this](const tk::MouseEvent&) { SinkHoverFrame(); };
  if (raiseOnUp) label.onMouseUp = [this](const tk::MouseEvent&) { RaiseHoverFrame(); };
}

void FormPELNORO::Form_Load() {
  auto& st = app_.state();
  auto& sys = app_.sys();
  // Layered windows exist from major version 5 on.
  st.LayeredWindowsOK = sys.osMajorVersion() >= 5 ? program::kTrue : program::kFalse;

  move(left(), top(), kWidth, kHeight);

  auto& box = app_.propertyBox();
  const program::StartSettings start = program::ReadSettingsFiles(sys, box.Current());
  if (const auto& pos = start.windowPosition) {
    const tk::Box place =
        tk::StartPlace(static_cast<double>(pos->first), static_cast<double>(pos->second), width(),
                       height(), sys.screenWidthTwips(), sys.screenHeightTwips());
    move(place.left, place.top, place.width, place.height);
  }

  setTopmost();

  box.SetPropertyLines(start.propertyLines);
  box.Load(start.settings);
  box.SetFolderHistory(start.folderHistory);

  placeControls();

  box.move(box.left(), box.top(), 5190, 4400);
  for (tk::Frame* f :
       {&box.Frame動作, &box.Frame画像, &box.FrameクリッカブルMP, &box.Frameプロパティリスト}) {
    f->move(120, 480, f->width(), f->height());
  }
  box.Check自動ナンバリング.setToolTip(text::kNumberingToolTip);

  auto& chooser = app_.folderChooser();
  const tk::Box centred = tk::Centred(chooser.width(), chooser.height(), sys.screenWidthTwips(),
                                      sys.screenHeightTwips());
  chooser.move(centred.left, centred.top, centred.width, centred.height);

  app_.loupe().Place(left(), -(height() + top()), capture::kLoupeSize * sys.twipsPerPixelX(),
                     capture::kLoupeSize * sys.twipsPerPixelY());

  app_.pic().SetSurfacesAutoRedraw(true);
  Shapeシャッターボタン.setFillStyle(0);

  BuildMenuTable();
  Listメインメニュー.setBackColor(kMenuBack);
  ShowTopMenuRows();
}

void FormPELNORO::placeControls() {
  Shapeツールウィンド背景.move(60, 120, Shapeツールウィンド背景.width(),
                               Shapeツールウィンド背景.height());
  Shapeツールウィンド背景.setFillColor(kMenuBack);
  auto place = [](tk::Control& c, double l, double t) { c.move(l, t, c.width(), c.height()); };
  place(Labelファイル名変更, 150, 190);
  place(Labelファイル名, 120, 420);
  place(Labelフォルダ変更, 120, 750);
  place(Label保存フォルダ, 120, 990);
  place(Label保存実行, 210, 1560);
  place(Label保存キャンセル, 1170, 1560);
  Textファイル名変更.move(Labelファイル名.left(), Labelファイル名.top(), Labelファイル名.width(),
                          Textファイル名変更.height());
  Label保存開く.setCaption(text::kOpenImage);
  place(FrameON_MSG, 60, 120);
}

void FormPELNORO::Form_Resize() {
  auto& st = app_.state();
  switch (windowState()) {
    case tk::WindowState::Minimized:
      if (st.CaptureActive) {
        app_.sys().messageBox(text::kNoMinimizeDuringCapture, L"",
                              sys::kMbOk | sys::kMbSetForeground);
        setWindowState(tk::WindowState::Normal);
        bringLoupeBack();
      }
      return;
    case tk::WindowState::Maximized:
      setWindowState(tk::WindowState::Normal);
      [[fallthrough]];
    case tk::WindowState::Normal:
      move(left(), top(), kWidth, kHeight);
      return;
  }
}

void FormPELNORO::Form_QueryUnload(bool& cancel, tk::UnloadMode mode) {
  if (mode == tk::UnloadMode::ControlMenu) {
    app_.sys().messageBox(text::kNoCloseBox, text::kWarningTitle, sys::kMbOk | sys::kMbIconStop);
    cancel = true;
    return;
  }
  // The session ends or the system closes us: leave without writing anything.
  app_.end();
}

void FormPELNORO::Form_MouseDown(const tk::MouseEvent& e) {
  if (e.button == tk::kLeftButton) beginMoveDrag();
}

void FormPELNORO::Form_MouseUp(const tk::MouseEvent&) {
  app_.propertyBox().RefreshPropertyList(left(), top());
}

void FormPELNORO::Form_MouseMove(const tk::MouseEvent&) {
  HideHoverFrame();
}

void FormPELNORO::Label終了_Click() {
  if (app_.state().LinkModeActive) {
    WarnLinkUnfinished();
    return;
  }
  auto& box = app_.propertyBox();
  box.RebuildPropertyLines(left(), top());
  if (!program::WriteSettingsFiles(app_.sys(), box.ListPROPERTY_設定.items(),
                                   box.FolderHistory())) {
    app_.sys().messageBox(text::kWriteFailedAtExit + app_.sys().exeFolder(), text::kAppTitle,
                          sys::kMbOk | sys::kMbIconExclamation);
  }
  hide();
  app_.end();
}

}  // namespace pelnoro::app
