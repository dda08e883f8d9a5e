// The main tool window: shutter and cut buttons, the menu list, the save panel,
// the in-window prompt and the hidden coordinate labels.
#pragma once

#include <string>
#include <vector>

#include "app/key_table.h"
#include "program/prompt.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/geometry.h"

namespace pelnoro::app {

class Application;

// Its member bodies: form_pelnoro.cpp (layout, start, size, close, exit),
// form_pelnoro_prompt.cpp (hover frame, in-window prompt), form_pelnoro_menu.cpp,
// form_pelnoro_clip.cpp (shutter, cut, clear) and form_pelnoro_save.cpp (save panel).
class FormPELNORO : public tk::Form, public program::Prompt {
 public:
  explicit FormPELNORO(Application& app);

  // Fixed outer size in twips.
  static constexpr double kWidth = 3450;
  static constexpr double kHeight = 2610;
  // Where the window stands when the settings file gives no position.
  static constexpr double kDesignLeft = 1200;
  static constexpr double kDesignTop = 1200;

  tk::Shape Shapeシャッターボタン{this, L"Shapeシャッターボタン"};
  tk::Image Imageシャッターボタン{this, L"Imageシャッターボタン"};
  tk::Shape Shape切り取りボタン{this, L"Shape切り取りボタン"};
  tk::Image Image切り取りボタン{this, L"Image切り取りボタン"};
  tk::Label Label保存開く{this, L"Label保存開く"};
  tk::Label Label終了{this, L"Label終了"};
  tk::Label Labelクリア{this, L"Labelクリア"};
  tk::Label Labelステータス{this, L"Labelステータス"};
  tk::ListBox Listメインメニュー{this, L"Listメインメニュー"};

  // Save panel.
  tk::Shape Shapeツールウィンド背景{this, L"Shapeツールウィンド背景"};
  tk::Label Labelファイル名変更{this, L"Labelファイル名変更"};
  tk::Label Labelファイル名{this, L"Labelファイル名"};
  tk::TextBox Textファイル名変更{this, L"Textファイル名変更"};
  tk::Label Labelフォルダ変更{this, L"Labelフォルダ変更"};
  tk::Label Label保存フォルダ{this, L"Label保存フォルダ"};
  tk::Label Label保存実行{this, L"Label保存実行"};
  tk::Label Label保存キャンセル{this, L"Label保存キャンセル"};
  tk::Label Labelファイル名old{this, L"Labelファイル名old"};
  tk::Label Label保存フォルダold{this, L"Label保存フォルダold"};

  // In-window prompt.
  tk::Frame FrameON_MSG{this, L"FrameON_MSG"};
  tk::Label LabelON_MSG_TITLE{&FrameON_MSG, L"LabelON_MSG_TITLE"};
  tk::Label LabelON_MSG_COMMENT{&FrameON_MSG, L"LabelON_MSG_COMMENT"};
  tk::CommandButton CommandON_MSG_YES{&FrameON_MSG, L"CommandON_MSG_YES"};
  tk::CommandButton CommandON_MSG_NO{&FrameON_MSG, L"CommandON_MSG_NO"};

  // Hover frame.
  tk::Line LineLEFT{this, L"LineLEFT"};
  tk::Line LineUP{this, L"LineUP"};
  tk::Line LineRIGHT{this, L"LineRIGHT"};
  tk::Line LineDOWN{this, L"LineDOWN"};

  // Selection storage, below the visible client area.
  tk::Frame Frameポインタ{this, L"Frameポインタ"};
  tk::Label LabelポインタX{&Frameポインタ, L"LabelポインタX"};
  tk::Label LabelポインタY{&Frameポインタ, L"LabelポインタY"};
  tk::Frame Frame始点{this, L"Frame始点"};
  tk::Label Label始点X{&Frame始点, L"Label始点X"};
  tk::Label Label始点Y{&Frame始点, L"Label始点Y"};
  tk::Frame Frame終点{this, L"Frame終点"};
  tk::Label Label終点X{&Frame終点, L"Label終点X"};
  tk::Label Label終点Y{&Frame終点, L"Label終点Y"};
  tk::Frame Frameポインタ2{this, L"Frameポインタ2"};
  tk::Label LabelポインタX2{&Frameポインタ2, L"LabelポインタX2"};
  tk::Label LabelポインタY2{&Frameポインタ2, L"LabelポインタY2"};
  tk::Frame Frame始点2{this, L"Frame始点2"};
  tk::Label Label始点X2{&Frame始点2, L"Label始点X2"};
  tk::Label Label始点Y2{&Frame始点2, L"Label始点Y2"};
  tk::Frame Frame終点2{this, L"Frame終点2"};
  tk::Label Label終点X2{&Frame終点2, L"Label終点X2"};
  tk::Label Label終点Y2{&Frame終点2, L"Label終点Y2"};
  tk::Frame FrameDraw_Focurs_Rect{this, L"FrameDraw_Focurs_Rect"};

  // Start, size, close and exit.
  void Form_Load();
  void Form_Resize();
  void Form_QueryUnload(bool& cancel, tk::UnloadMode mode);
  void Form_MouseDown(const tk::MouseEvent& e);
  void Form_MouseUp(const tk::MouseEvent& e);
  void Form_MouseMove(const tk::MouseEvent& e);
  void Label終了_Click();

  // Hover frame around the button labels.
  void DrawHoverFrame(long top, long bottom, long left, long right);
  void HideHoverFrame();
  void SinkHoverFrame();
  void RaiseHoverFrame();

  // In-window prompt: set OnMsgTitle, OnMsgComment and OnMsgMode, call
  // AskOnFrame, read OnMsgAnswer ("Y" or "N"; also returned).
  std::wstring AskOnFrame();
  void SetOnFrameTexts(const std::wstring& title, const std::wstring& comment,
                       const std::wstring& mode);
  void CommandON_MSG_YES_Click();
  void CommandON_MSG_NO_Click();
  // How many prompts are waiting (nested ones included).
  int promptDepth() const { return static_cast<int>(prompts_.size()); }
  // The prompt for the other windows' operations.
  std::wstring Ask(const std::wstring& title, const std::wstring& comment,
                   const std::wstring& mode) override;

  // Main menu.
  void BuildMenuTable();
  void ShowTopMenuRows();
  const std::vector<std::wstring>& MenuTable() const { return menuTable_; }
  void WarnLinkUnfinished();
  void Listメインメニュー_Click();
  // The first table entry whose caption ends the row text; -1 when none does.
  int FindMenuEntry(const std::wstring& row);
  void ShowPropertyBox();
  std::wstring SelectedMenuEntry;
  std::vector<std::wstring> MenuTail;
  std::wstring OperationCode;

  // Shutter, cut and clear.
  void Imageシャッターボタン_Click();
  void Image切り取りボタン_Click();
  void Labelクリア_Click();
  void DockPropertyBox();
  // The link-target dialog's OK in its open role: the picture file at path (named
  // fileName in its folder) becomes the image to edit and save, as a cut does. False
  // when it could not be opened, which has been reported; nothing then changes.
  bool OpenImageFile(const std::wstring& path, const std::wstring& fileName);
  // The window's place on the screen, twips.
  tk::Box box() const { return {left(), top(), width(), height()}; }
  // The window steps out of view above the screen while the screen is copied or a
  // turned image grows under it, and back to the place it left. That place is kept, not
  // worked out again from where the window is meanwhile: a move the native window
  // reports late must not send it elsewhere. Steps nest; the last one back returns it.
  void StepOutOfView();
  void StepBackIntoView();
  // Keys (form_pelnoro_keys.cpp): the shutter's key, taken at the start, and the keys
  // of the key table, which every window of a clip passes here. True when taken.
  void TakeShutterKey();
  bool Form_KeyDown(const tk::KeyPress& key);
  // Save panel.
  void ShowSavePanel();
  void HideSavePanel();
  void Label保存開く_Click();
  void Labelファイル名_Click();
  void Labelファイル名変更_Click();
  void Textファイル名変更_KeyDown(int& keyCode, int shift);
  void Labelフォルダ変更_Click();
  void Label保存フォルダ_Click();
  void Label保存フォルダ_MouseMove();
  void Label保存実行_Click();
  void Label保存キャンセル_Click();

 private:
  // The design of the window, one concern each, and its events.
  void designButtons();
  void designSavePanel();
  void designPrompt();
  void designSelectionStorage();
  void wireEvents();
  void hoverButton(tk::Label& label, bool raiseOnUp);
  void placeControls();
  // The command of the table entry at that index.
  void runMenuCommand(int entry);
  void showSettingsPage(tk::Frame& page);
  void cutSteps();
  void bringLoupeBack();
  void parkLoupe();
  // The steps a save and a clear share: the program back to idle.
  void returnToIdle();
  // The steps a cut for a file and an opened picture share: the cut window framed, the
  // save panel's labels, the buttons.
  void imageWaitsForSave(const std::wstring& saveFolder);
  std::vector<tk::Control*> savePanelControls();
  KeyState keyState();
  void runKeyCommand(const KeyBinding& key);
  void runMenuEntry(const std::wstring& entry);
  void copyShownImage();

  Application& app_;
  std::vector<std::wstring> menuTable_;
  int outOfViewDepth_ = 0;
  double inViewTop_ = 0;
  // A shutter press under way: its own waits let events run, and a second press then
  // would copy a screen the first has not finished with.
  bool shutterRunning_ = false;
  // The image waiting to be saved came from a picture file: a save asks before it
  // replaces an existing file.
  bool openedPicture_ = false;
  // One entry per waiting prompt: its texts and, once given, its answer.
  struct WaitingPrompt {
    std::wstring title, comment, mode, answer;
  };
  std::vector<WaitingPrompt> prompts_;
};

}  // namespace pelnoro::app
