#include "imagemap/link_mode.h"

#include "imagemap/texts.h"
#include "system/text_file.h"

namespace pelnoro::imagemap {

namespace {

constexpr wchar_t kLineEnd[] = L"\r\n";
// The mark above the image while link mode is on.
constexpr double kMarkWidth = 90, kMarkHeight = 15;
// A popup window is this much larger than its picture each way.
constexpr int kPopupMargin = 24;

}  // namespace

LinkMode::LinkMode(sys::System& sys, program::AppState& state, program::Prompt& prompt,
                   capture::FormPic& pic, dialogs::FormTEXTview& textView)
    : sys_(sys), state_(state), prompt_(prompt), pic_(pic), textView_(textView) {
  auto& mark = pic_.LabelMESSAGE;
  mark.move(0, 0, kMarkWidth, kMarkHeight);
  mark.setBackColor(0x000000C0);
  mark.setForeColor(0x00FFFFFF);
  mark.setAlignment(tk::Align::Center);
}

std::wstring LinkMode::MapHtmlPath() const {
  const program::Settings s = settings ? settings() : program::Settings{};
  return imagemap::MapHtmlPath(s.saveFolder, s.fileName, s.autoNumbering, state_.NumberText);
}

void LinkMode::StartLinkSetting() {
  const capture::Selection sel = pic_.editSelection.read();
  // Without an image on the picture window there is no range to link either.
  if (!pic_.HasEditImage() || sel.width() == 0 || sel.height() == 0) {
    prompt_.Ask(text::kNoRangeTitle, text::kNoRange, program::kModeYes);
    return;
  }
  if (showLinkTarget) showLinkTarget(pic_.left(), pic_.top() + pic_.height());
}

bool LinkMode::AddArea(const AreaLink& link) {
  if (!state_.LinkModeActive) {
    if (!BeginMapDocument()) return false;
    sys_.doEvents();
  }
  return WriteAreaEntry(link);
}

bool LinkMode::BeginMapDocument() {
  const program::Settings s = settings ? settings() : program::Settings{};
  const sys::LocalTime t = sys_.now();
  const std::wstring name = MapName(t.year, t.month, t.day, t.hour, t.minute, t.second);
  const std::wstring path = MapHtmlPath();
  const image::Surface& picture = pic_.Picture_CHANGE1.surface();
  const auto head = document_.headLines(shownFileName ? shownFileName() : L"", picture.width(),
                                        picture.height(), name);
  // The file first: the text view shows only what the file holds too, so a failed
  // step that is tried again leaves both whole.
  if (s.mapToHtml && !writeLines(path, head, true)) return false;
  if (s.mapToText) {
    textView_.ShowMapTextView();
    sys_.doEvents();
    textView_.TextTEXT.setText(L"");
    appendToView(head, false);
    textView_.PositionTextView(mainWindowBox ? mainWindowBox() : tk::Box{}, sys_.screenWidthTwips(),
                               sys_.screenHeightTwips());
  }
  state_.LinkModeActive = program::kTrue;
  auto& mark = pic_.LabelMESSAGE;
  mark.setCaption(text::kLinkModeMark);
  mark.move(pic_.Picture_CHANGE1.left(), pic_.Picture_CHANGE1.top() - mark.height(), mark.width(),
            mark.height());
  mark.setVisible(true);
  pic_.setTopmost();
  return true;
}

bool LinkMode::WriteAreaEntry(const AreaLink& link) {
  const program::Settings s = settings ? settings() : program::Settings{};
  std::wstring slashTarget = link.target;
  for (auto& c : slashTarget) {
    if (c == L'\\') c = L'/';
  }
  const capture::PixelSize popup = link.picture.value_or(capture::PixelSize{});
  const auto& labels = pic_.editSelection;
  auto caption = [](const tk::Label* l) { return l ? l->caption() : std::wstring(); };
  const image::Surface& picture = pic_.Picture_CHANGE1.surface();
  const AreaCoords coords = CoordsOnPicture(
      {caption(labels.startX), caption(labels.startY), caption(labels.endX), caption(labels.endY)},
      picture.width(), picture.height());
  const auto lines = document_.areaLines(coords, link.target, slashTarget, link.picture.has_value(),
                                         BaseName(link.fileName), popup.width + kPopupMargin,
                                         popup.height + kPopupMargin);
  if (s.mapToHtml && !writeLines(MapHtmlPath(), lines, false)) return false;
  if (s.mapToText) appendToView(lines, false);
  return true;
}

void LinkMode::FinishLinkSetting() {
  if (!state_.LinkModeActive) {
    prompt_.Ask(text::kNotLinkingTitle, text::kNotLinking, program::kModeYes);
    return;
  }
  if (prompt_.Ask(text::kFinishTitle, text::kFinish, program::kModeYesNo) != program::kAnswerYes)
    return;
  const program::Settings s = settings ? settings() : program::Settings{};
  const auto tail = MapDocument::tailLines();
  // A tail that could not be written leaves link mode on, so the user can try again.
  if (s.mapToHtml && !writeLines(MapHtmlPath(), tail, false)) return;
  if (s.mapToText) appendToView(tail, true);
  state_.LinkModeActive = program::kFalse;
  pic_.LabelMESSAGE.setVisible(false);
  if (openSavePanel) openSavePanel();
}

void LinkMode::appendToView(const std::vector<std::wstring>& lines, bool lastWithoutEnd) {
  std::wstring text = textView_.TextTEXT.text();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    text += lines[i];
    if (!(lastWithoutEnd && i + 1 == lines.size())) text += kLineEnd;
  }
  textView_.TextTEXT.setText(std::move(text));
}

bool LinkMode::writeLines(const std::wstring& path, const std::vector<std::wstring>& lines,
                          bool fresh) {
  std::string bytes;
  if (!fresh && sys_.fileExists(path)) {
    // Appending to a file that cannot be read would lose what it holds.
    const auto old = sys_.readFile(path);
    if (!old) {
      sys_.messageBox(text::DocumentNotWritten(path), text::kDocumentTitle,
                      sys::kMbOk | sys::kMbIconExclamation);
      return false;
    }
    bytes = *old;
  }
  for (const auto& line : lines) bytes += sys::toCp932(line + kLineEnd);
  if (sys_.writeFileReplacing(path, sys::BytesOf(bytes)) != sys::WriteResult::kOk) {
    sys_.messageBox(text::DocumentNotWritten(path), text::kDocumentTitle,
                    sys::kMbOk | sys::kMbIconExclamation);
    return false;
  }
  return true;
}

}  // namespace pelnoro::imagemap
