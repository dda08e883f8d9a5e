// The collapsible menu list of the main window: a fixed table of encoded
// entries (level digit, kind letter, caption) shown as indented rows.
#include "app/application.h"
#include "app/form_pelnoro.h"
#include "app/settings_file.h"
#include "app/texts.h"
#include "dialogs/form_property_box.h"
#include "edit/image_editor.h"
#include "imagemap/link_mode.h"

namespace pelnoro::app {

namespace {

constexpr wchar_t kClosed = L'＋';
constexpr wchar_t kOpen = L'－';
constexpr wchar_t kCommand = L'　';

int levelOf(const std::wstring& entry) { return entry[0] - L'0'; }
bool isGroup(const std::wstring& entry) { return entry[1] == L'a'; }
std::wstring captionOf(const std::wstring& entry) { return entry.substr(2); }

std::wstring rowFor(const std::wstring& entry) {
  return std::wstring(static_cast<std::size_t>(levelOf(entry)), L' ') +
         (isGroup(entry) ? kClosed : kCommand) + captionOf(entry);
}

}  // namespace

void FormPELNORO::BuildMenuTable() {
  menuTable_ = {L"0aツール",       L"1a回転",           L"2t90°",
                L"2t180°",         L"2t270°",           L"2t左右",
                L"2t上下",         L"1aリンク",         L"2tリンクの設定",
                L"2t設定終了",     L"1aモザイク",       L"2tモザイクを掛ける",
                L"1aアンドゥー",   L"2t取り消し",       L"2tリセット",
                L"1a元画像変更",   L"2t元画像の差し替え", L"0a設定",
                L"1t動作",         L"1t画像",           L"1tクリッカブルマップ",
                L"1tプロパティリスト"};
}

void FormPELNORO::ShowTopMenuRows() {
  for (const auto& e : menuTable_) {
    if (levelOf(e) == 0) Listメインメニュー.addItem(rowFor(e));
  }
}

int FormPELNORO::FindMenuEntry(const std::wstring& row) {
  for (std::size_t i = 0; i < menuTable_.size(); ++i) {
    const std::wstring caption = captionOf(menuTable_[i]);
    if (row.size() >= caption.size() && row.compare(row.size() - caption.size(), caption.size(), caption) == 0) {
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
    const int end = hasNext ? FindMenuEntry(list.list(idx + 1))
                            : static_cast<int>(menuTable_.size()) - 1;
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
    if (caption == L"設定") RefreshPropertyList(app_);
    while (idx + 1 < list.listCount()) {
      const int k = FindMenuEntry(list.list(idx + 1));
      if (k < 0 || levelOf(menuTable_[static_cast<std::size_t>(k)]) < level + 1) break;
      list.removeItem(idx + 1);
    }
    list.setListIndex(idx);
  } else {
    runMenuCommand(caption);
  }
}

void FormPELNORO::runMenuCommand(const std::wstring& caption) {
  auto& st = app_.state();
  auto& box = app_.propertyBox();
  static const std::pair<const wchar_t*, const wchar_t*> turns[] = {
      {L"90°", L"R90"}, {L"180°", L"R180"}, {L"270°", L"R270"}, {L"左右", L"RF"}, {L"上下", L"UD"}};
  for (const auto& [turnCaption, code] : turns) {
    if (caption != turnCaption) continue;
    if (st.LinkModeActive) {
      WarnLinkUnfinished();
      return;
    }
    OperationCode = code;
    app_.editor().Turn(OperationCode);
    return;
  }
  if (caption == L"リンクの設定") {
    app_.linkMode().StartLinkSetting();
  } else if (caption == L"設定終了") {
    app_.linkMode().FinishLinkSetting();
  } else if (caption == L"モザイクを掛ける") {
    app_.editor().ApplyMosaic();
  } else if (caption == L"取り消し") {
    app_.editor().UndoEdit();
  } else if (caption == L"リセット") {
    if (st.LinkModeActive) {
      WarnLinkUnfinished();
    } else {
      app_.editor().ResetEdit();
    }
  } else if (caption == L"元画像の差し替え") {
    app_.editor().ReplaceOriginal();
  } else if (caption == L"動作") {
    showSettingsPage(box.Frame動作);
  } else if (caption == L"画像") {
    showSettingsPage(box.Frame画像);
  } else if (caption == L"クリッカブルマップ") {
    showSettingsPage(box.FrameクリッカブルMP);
  } else if (caption == L"プロパティリスト") {
    showSettingsPage(box.Frameプロパティリスト);
  }
}

void FormPELNORO::showSettingsPage(tk::Frame& page) {
  RefreshPropertyList(app_);
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
