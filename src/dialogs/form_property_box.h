// The settings dialog. Its controls are the live storage of the settings.
#pragma once

#include <string>
#include <vector>

#include "program/app_state.h"
#include "program/settings.h"
#include "system/system.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace pelnoro::dialogs {

class FormFLD_browse;

class FormPROPERTY_BOX : public tk::Form {
 public:
  FormPROPERTY_BOX(sys::System& sys, program::AppState& state, FormFLD_browse& chooser);

  tk::Label Label4{this, L"Label4"};

  // Page "動作".
  tk::Frame Frame動作{this, L"Frame動作"};
  tk::Frame Frame保存形式{&Frame動作, L"Frame保存形式"};
  tk::OptionButton Optionクリップボード{&Frame保存形式, L"Optionクリップボード"};
  tk::OptionButton OptionJPEG{&Frame保存形式, L"OptionJPEG"};
  tk::OptionButton OptionPNG{&Frame保存形式, L"OptionPNG"};
  tk::OptionButton OptionBMP{&Frame保存形式, L"OptionBMP"};
  tk::Frame Frame保存ファイル名{&Frame動作, L"Frame保存ファイル名"};
  tk::TextBox Text保存ファイル名{&Frame保存ファイル名, L"Text保存ファイル名"};
  tk::CheckBox Check自動ナンバリング{&Frame保存ファイル名, L"Check自動ナンバリング"};
  tk::Frame Frame保存先{&Frame動作, L"Frame保存先"};
  tk::Label Label保存先{&Frame保存先, L"Label保存先"};
  tk::CommandButton Command保存先選択{&Frame保存先, L"Command保存先選択"};
  tk::Label Label1{&Frame保存先, L"Label1"};
  tk::ListBox List保存履歴{&Frame保存先, L"List保存履歴"};

  // Page "画像".
  tk::Frame Frame画像{this, L"Frame画像"};
  tk::Frame FramePNG解像度{&Frame画像, L"FramePNG解像度"};
  tk::OptionButton Option最高の圧縮率{&FramePNG解像度, L"Option最高の圧縮率"};
  tk::OptionButton Option低圧縮率{&FramePNG解像度, L"Option低圧縮率"};
  tk::OptionButton Option通常{&FramePNG解像度, L"Option通常"};
  tk::Frame Frame解像度{&Frame画像, L"Frame解像度"};
  tk::CheckBox CheckJPEGプログレッシブ{&Frame解像度, L"CheckJPEGプログレッシブ"};
  tk::Label Label解像度{&Frame解像度, L"Label解像度"};
  tk::VScrollBar VScrollJPEG_解像度{&Frame解像度, L"VScrollJPEG_解像度"};
  tk::Label Label3{&Frame解像度, L"Label3"};

  // Page "クリッカブルマップ".
  tk::Frame FrameクリッカブルMP{this, L"FrameクリッカブルMP"};
  tk::Frame Frame画像にリンク{&FrameクリッカブルMP, L"Frame画像にリンク"};
  tk::OptionButton Optionマップ四角{&Frame画像にリンク, L"Optionマップ四角"};
  tk::OptionButton Optionマップ丸{&Frame画像にリンク, L"Optionマップ丸"};
  tk::OptionButton Optionマップ多角形{&Frame画像にリンク, L"Optionマップ多角形"};
  tk::Frame Frame1{&FrameクリッカブルMP, L"Frame1"};
  tk::CheckBox Checkテキスト出力{&Frame1, L"Checkテキスト出力"};
  tk::CheckBox CheckHTML作成{&Frame1, L"CheckHTML作成"};

  // Page "プロパティリスト".
  tk::Frame Frameプロパティリスト{this, L"Frameプロパティリスト"};
  tk::ListBox ListPROPERTY_設定{&Frameプロパティリスト, L"ListPROPERTY_設定"};

  void CheckJPEGプログレッシブ_Click();
  void VScrollJPEG_解像度_Change();
  void List保存履歴_Click();
  void Label保存先_MouseMove();
  void Command保存先選択_Click();
  void Form_MouseDown(const tk::MouseEvent& e);

  // The settings as the controls hold them now.
  program::Settings Current() const;
  // The controls set to show the settings; the spinner follows the quality and keeps
  // its label within 0..100.
  void Load(const program::Settings& settings);

  // The property list page: the lines given, or the six rebuilt from the current
  // settings and the main window's place (twips).
  void SetPropertyLines(const std::vector<std::wstring>& lines);
  void RebuildPropertyLines(double mainLeft, double mainTop);
  // Hides the box and its pages and rebuilds the property lines.
  void RefreshPropertyList(double mainLeft, double mainTop);

  // The save-folder history, newest first.
  std::vector<std::wstring> FolderHistory() const { return List保存履歴.items(); }
  void SetFolderHistory(const std::vector<std::wstring>& rows);
  // A save into `folder` puts it first (PushFolderHistory of the settings file).
  void PushFolderHistory(const std::wstring& folder);

  // The save folder chosen. The settings file is Shift_JIS: it keeps the last folder
  // whose name it can hold, so that it never names another folder. False when this
  // one cannot be kept there.
  bool SetSaveFolder(const std::wstring& folder);
  // The save folder as the settings file gets it.
  const std::wstring& StoredSaveFolder() const { return storedSaveFolder_; }
  // The file name, in the same way: the settings file keeps the last one it can hold,
  // typed or set. False when this one cannot be kept there.
  bool SetFileName(const std::wstring& name);
  const std::wstring& StoredFileName() const { return storedFileName_; }

 private:
  // The design of each page, and the events.
  void designOperationPage();
  void designImagePage();
  void designClickableMapPage();
  void wireEvents();

  sys::System& sys_;
  program::AppState& state_;
  FormFLD_browse& chooser_;
  std::wstring storedSaveFolder_;
  std::wstring storedFileName_;
};

}  // namespace pelnoro::dialogs
