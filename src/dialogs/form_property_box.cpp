#include "dialogs/form_property_box.h"

#include "app/application.h"
#include "app/app_state.h"
#include "app/skins.h"

namespace pelnoro::dialogs {

namespace {
constexpr tk::Color kWhite = 0x00FFFFFF;
constexpr tk::Color kPage = 0x00FAF2EA;
}  // namespace

FormPROPERTY_BOX::FormPROPERTY_BOX(app::Application& app)
    : tk::Form(L"FormPROPERTY_BOX"), app_(app) {
  setCaption(L"プロパティ");
  setBorderStyle(tk::BorderStyle::None);
  setShowInTaskbar(false);
  move(0, 0, 5190, 4400);
  setBackColor(kPage);
  setPicture(app::PropertyBoxSkin());

  Label4.move(0, 0, 5190, 300);
  Label4.setCaption(L" 設定");
  Label4.setBackColor(0x00805030);
  Label4.setForeColor(kWhite);
  Label4.setFont(tk::Font{L"ＭＳ Ｐゴシック", 10, true});

  for (tk::Frame* page : {&Frame動作, &Frame画像, &FrameクリッカブルMP, &Frameプロパティリスト}) {
    page->move(120, 480, 4950, 3780);
    page->setBackColor(kPage);
    page->setBordered(false);
    page->setVisible(false);
  }

  // Page "動作".
  Frame保存形式.move(0, 0, 1500, 1560);
  Frame保存形式.setCaption(L"保存形式");
  const wchar_t* formats[] = {L"クリップボード", L"JPEG", L"PNG", L"BMP"};
  tk::OptionButton* formatOptions[] = {&Optionクリップボード, &OptionJPEG, &OptionPNG, &OptionBMP};
  for (int i = 0; i < 4; ++i) {
    formatOptions[i]->move(120, 270 + 300.0 * i, 1300, 255);
    formatOptions[i]->setCaption(formats[i]);
  }
  OptionBMP.setValue(true);
  Frame保存ファイル名.move(1620, 0, 3330, 1560);
  Frame保存ファイル名.setCaption(L"ファイル名");
  Text保存ファイル名.move(120, 300, 3090, 300);
  Text保存ファイル名.setText(L"TEST");
  Check自動ナンバリング.move(120, 720, 3090, 300);
  Check自動ナンバリング.setCaption(L"自動ナンバリング");
  Check自動ナンバリング.setValue(1);
  Frame保存先.move(0, 1680, 4950, 2100);
  Frame保存先.setCaption(L"保存先");
  Label保存先.move(120, 270, 4260, 270);
  Label保存先.setCaption(L"C:\\");
  Label保存先.setBackColor(kWhite);
  Label保存先.setBordered(true);
  Command保存先選択.move(4440, 255, 390, 300);
  Command保存先選択.setCaption(L"...");
  Label1.move(120, 630, 600, 225);
  Label1.setCaption(L"履歴");
  Label1.setTransparent(true);
  List保存履歴.move(120, 870, 4710, 1110);

  // Page "画像".
  FramePNG解像度.move(0, 0, 4950, 1200);
  FramePNG解像度.setCaption(L"PNG圧縮率");
  Option最高の圧縮率.move(120, 300, 1500, 255);
  Option最高の圧縮率.setCaption(L"最高圧縮");
  Option低圧縮率.move(1700, 300, 1500, 255);
  Option低圧縮率.setCaption(L"低圧縮率");
  Option通常.move(3280, 300, 1500, 255);
  Option通常.setCaption(L"通常圧縮");
  Option通常.setValue(true);
  Frame解像度.move(0, 1320, 4950, 2100);
  Frame解像度.setCaption(L"JPEG圧縮率");
  Frame解像度.setToolTip(L"JPEG画像のみ有効");
  CheckJPEGプログレッシブ.move(120, 300, 4000, 255);
  CheckJPEGプログレッシブ.setCaption(L"プログレッシブタイプで保存する");
  Label解像度.move(120, 720, 600, 255);
  Label解像度.setCaption(L"50");
  Label解像度.setBackColor(kWhite);
  Label解像度.setBordered(true);
  Label解像度.setAlignment(tk::Align::Right);
  VScrollJPEG_解像度.move(720, 720, 255, 255);
  VScrollJPEG_解像度.setRange(0, 100);
  VScrollJPEG_解像度.setValue(50);
  Label3.move(1100, 735, 3700, 255);
  Label3.setCaption(L"値が大きくなるほど高画質で低圧縮率");
  Label3.setTransparent(true);

  // Page "クリッカブルマップ".
  Frame画像にリンク.move(0, 0, 4950, 1200);
  Frame画像にリンク.setCaption(L"リンク範囲の形状");
  Optionマップ四角.move(120, 300, 1500, 255);
  Optionマップ四角.setCaption(L"四角形");
  Optionマップ四角.setValue(true);
  Optionマップ丸.move(1700, 300, 1500, 255);
  Optionマップ丸.setCaption(L"円形");
  Optionマップ丸.setEnabled(false);
  Optionマップ多角形.move(3280, 300, 1500, 255);
  Optionマップ多角形.setCaption(L"多角形");
  Optionマップ多角形.setEnabled(false);
  Frame1.move(0, 1320, 4950, 1200);
  Checkテキスト出力.move(120, 300, 3000, 255);
  Checkテキスト出力.setCaption(L"テキストに出力");
  Checkテキスト出力.setValue(1);
  CheckHTML作成.move(120, 700, 3000, 255);
  CheckHTML作成.setCaption(L"HTMLファイルを作成");

  // Page "プロパティリスト".
  ListPROPERTY_設定.move(0, 0, 4950, 3660);

  CheckJPEGプログレッシブ.onClick = [this] { CheckJPEGプログレッシブ_Click(); };
  VScrollJPEG_解像度.onChange = [this] { VScrollJPEG_解像度_Change(); };
  List保存履歴.onClick = [this] { List保存履歴_Click(); };
  Label保存先.onMouseMove = [this](const tk::MouseEvent&) { Label保存先_MouseMove(); };
  onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
  Label4.onMouseDown = [this](const tk::MouseEvent& e) { Form_MouseDown(e); };
}

void FormPROPERTY_BOX::CheckJPEGプログレッシブ_Click() {
  app_.state().JpegProgressive = CheckJPEGプログレッシブ.value() == 1 ? app::kTrue : app::kFalse;
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
  Label保存先.setCaption(List保存履歴.list(List保存履歴.listIndex()));
}

void FormPROPERTY_BOX::Label保存先_MouseMove() { Label保存先.setToolTip(Label保存先.caption()); }

void FormPROPERTY_BOX::Form_MouseDown(const tk::MouseEvent& e) {
  if (e.button & tk::kLeftButton) beginMoveDrag();
}

}  // namespace pelnoro::dialogs
