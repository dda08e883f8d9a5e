// The collapsible menu list of the main window: a fixed table of encoded
// entries (level digit, kind letter, caption) shown as indented rows.
#include "app/application.h"
#include "app/form_pelnoro.h"
#include "app/texts.h"
#include "dialogs/form_property_box.h"
#include "edit/image_editor.h"
#include "imagemap/link_mode.h"

namespace pelnoro::app {

namespace {

constexpr wchar_t kClosed = L'＋';
constexpr wchar_t kOpen = L'－';
constexpr wchar_t kCommand = L'　';

int levelOf(const std::wstring& entry) {
  return entry[0] - L'0';
}
bool isGroup(const std::wstring& entry) {
  return entry[1] == L'a';
}
std::wstring captionOf(const std::wstring& entry) {
  return entry.substr(2);
}

// What a command row does; each entry of the table stands once, with its command.
enum class Command {
  kNone,  // a group
  kTurn,
  kStartLink,
  kFinishLink,
  kMosaic,
  kUndo,
  kReset,
  kReplace,
  kPageOperation,
  kPageImage,
  kPageClickableMap,
  kPagePropertyList,
};

struct MenuEntry {
  const wchar_t* entry;  // level digit, kind letter, caption
  Command command;
  const wchar_t* code = L"";  // a turn's operation code
};

constexpr MenuEntry kMenu[] = {
    {L"0aツール", Command::kNone},
    {L"1a回転", Command::kNone},
    {L"2t90°", Command::kTurn, L"R90"},
    {L"2t180°", Command::kTurn, L"R180"},
    {L"2t270°", Command::kTurn, L"R270"},
    {L"2t左右", Command::kTurn, L"RF"},
    {L"2t上下", Command::kTurn, L"UD"},
    {L"1aリンク", Command::kNone},
    {L"2tリンクの設定", Command::kStartLink},
    {L"2t設定終了", Command::kFinishLink},
    {L"1aモザイク", Command::kNone},
    {L"2tモザイクを掛ける", Command::kMosaic},
    {L"1aアンドゥー", Command::kNone},
    {L"2t取り消し", Command::kUndo},
    {L"2tリセット", Command::kReset},
    {L"1a元画像変更", Command::kNone},
    {L"2t元画像の差し替え", Command::kReplace},
    {L"0a設定", Command::kNone},
    {L"1t動作", Command::kPageOperation},
    {L"1t画像", Command::kPageImage},
    {L"1tクリッカブルマップ", Command::kPageClickableMap},
    {L"1tプロパティリスト", Command::kPagePropertyList},
};

std::wstring rowFor(const std::wstring& entry) {
  return std::wstring(static_cast<std::size_t>(levelOf(entry)), L' ') +
         (isGroup(entry) ? kClosed : kCommand) + captionOf(entry);
}

}  // namespace

void FormPELNORO::BuildMenuTable() {
  menuTable_.clear();
  for (const auto& e : kMenu) menuTable_.push_back(e.entry);
}

void FormPELNORO::ShowTopMenuRows() {
  for (const auto& e : menuTable_) {
    if (levelOf(e) == 0) Listメインメニュー.addItem(rowFor(e));
  }
}

int FormPELNORO::FindMenuEntry(const std::wstring& row) {
  for (std::size_t i = 0; i < menuTable_.size(); ++i) {
    const std::wstring caption = captionOf(menuTable_[i]);
    if (row.size() >= caption.size() &&
        row.compare(row.size() - caption.size(), caption.size(), caption) == 0) {
      SelectedMenuEntry = menuTable_[i];
      return static_cast<int>(i);
    }
  }
  return -1;
}

void FormPELNORO::Listメインメニュー_Click() {
  auto& list = Listメインメニュー;
  const int idx = list.listIndex();
  if (idx < 0) return;
  std::wstring row = list.list(idx);
  const int i = FindMenuEntry(row);
  if (i < 0) return;  // every row comes from the table
  const std::wstring entry = menuTable_[static_cast<std::size_t>(i)];
  const std::wstring caption = captionOf(entry);
  const int level = levelOf(entry);
  const wchar_t marker = row[row.size() - caption.size() - 1];

  if (marker == kClosed) {
    const bool hasNext = idx + 1 < list.listCount();
    const int end =
        hasNext ? FindMenuEntry(list.list(idx + 1)) : static_cast<int>(menuTable_.size()) - 1;
    row[row.find(kClosed)] = kOpen;
    list.setList(idx, row);
    MenuTail.clear();
    while (list.listCount() > idx + 1) {
      MenuTail.push_back(list.list(idx + 1));
      list.removeItem(idx + 1);
    }
    for (int j = i; j <= end; ++j) {
      const auto& e = menuTable_[static_cast<std::size_t>(j)];
      if (levelOf(e) == level + 1) list.addItem(rowFor(e));
      if (hasNext && j == end) break;
    }
    for (auto& r : MenuTail) list.addItem(r);
    MenuTail.clear();
    list.setListIndex(idx);
  } else if (marker == kOpen) {
    row[row.find(kOpen)] = kClosed;
    list.setList(idx, row);
    if (caption == L"設定") app_.propertyBox().RefreshPropertyList(left(), top());
    while (idx + 1 < list.listCount()) {
      const int k = FindMenuEntry(list.list(idx + 1));
      if (k < 0 || levelOf(menuTable_[static_cast<std::size_t>(k)]) < level + 1) break;
      list.removeItem(idx + 1);
    }
    list.setListIndex(idx);
  } else {
    runMenuCommand(i);
  }
}

void FormPELNORO::runMenuCommand(int entry) {
  auto& st = app_.state();
  auto& box = app_.propertyBox();
  const MenuEntry& e = kMenu[entry];
  switch (e.command) {
    case Command::kNone:
      break;
    case Command::kTurn:
      if (st.LinkModeActive) {
        WarnLinkUnfinished();
        return;
      }
      OperationCode = e.code;
      app_.editor().Turn(OperationCode);
      break;
    case Command::kStartLink:
      app_.linkMode().StartLinkSetting();
      break;
    case Command::kFinishLink:
      app_.linkMode().FinishLinkSetting();
      break;
    case Command::kMosaic:
      app_.editor().ApplyMosaic();
      break;
    case Command::kUndo:
      app_.editor().UndoEdit();
      break;
    case Command::kReset:
      if (st.LinkModeActive) {
        WarnLinkUnfinished();
      } else {
        app_.editor().ResetEdit();
      }
      break;
    case Command::kReplace:
      app_.editor().ReplaceOriginal();
      break;
    case Command::kPageOperation:
      showSettingsPage(box.Frame動作);
      break;
    case Command::kPageImage:
      showSettingsPage(box.Frame画像);
      break;
    case Command::kPageClickableMap:
      showSettingsPage(box.FrameクリッカブルMP);
      break;
    case Command::kPagePropertyList:
      showSettingsPage(box.Frameプロパティリスト);
      break;
  }
}

void FormPELNORO::showSettingsPage(tk::Frame& page) {
  app_.propertyBox().RefreshPropertyList(left(), top());
  ShowPropertyBox();
  page.setVisible(true);
}

void FormPELNORO::ShowPropertyBox() {
  DockPropertyBox();
  app_.propertyBox().show();
}

void FormPELNORO::WarnLinkUnfinished() {
  Ask(text::kLinkUnfinishedTitle, text::kLinkUnfinishedComment, program::kModeYes);
}

}  // namespace pelnoro::app
