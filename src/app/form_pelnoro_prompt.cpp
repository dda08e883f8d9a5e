#include "app/application.h"
#include "app/form_pelnoro.h"
#include "app/texts.h"

namespace pelnoro::app {

namespace {

constexpr tk::Color kRaisedLight = 0x00DCDCDC;
constexpr tk::Color kRaisedDark = 0x00646464;

}  // namespace

// ---- Hover frame ----

void FormPELNORO::DrawHoverFrame(long top, long bottom, long left, long right) {
  top -= 32;
  LineLEFT.setBorderColor(kRaisedLight);
  LineUP.setBorderColor(kRaisedLight);
  LineRIGHT.setBorderColor(kRaisedDark);
  LineDOWN.setBorderColor(kRaisedDark);
  LineLEFT.setPoints(left, top, left, bottom);
  LineUP.setPoints(left, top, right, top);
  LineRIGHT.setPoints(right, top, right, bottom);
  LineDOWN.setPoints(left, bottom, right, bottom);
  for (tk::Line* l : {&LineLEFT, &LineUP, &LineRIGHT, &LineDOWN}) l->setVisible(true);
}

void FormPELNORO::HideHoverFrame() {
  for (tk::Line* l : {&LineLEFT, &LineUP, &LineRIGHT, &LineDOWN}) l->setVisible(false);
}

void FormPELNORO::SinkHoverFrame() {
  LineLEFT.setBorderColor(kRaisedDark);
  LineUP.setBorderColor(kRaisedDark);
  LineRIGHT.setBorderColor(kRaisedLight);
  LineDOWN.setBorderColor(kRaisedLight);
}

void FormPELNORO::RaiseHoverFrame() {
  LineLEFT.setBorderColor(kRaisedLight);
  LineUP.setBorderColor(kRaisedLight);
  LineRIGHT.setBorderColor(kRaisedDark);
  LineDOWN.setBorderColor(kRaisedDark);
}

// ---- In-window prompt ----

std::wstring FormPELNORO::AskOnFrame() {
  auto& st = app_.state();
  // A prompt raised while another waits is nested: it is answered first, then
  // the earlier question comes back, so one click never answers two questions.
  prompts_.push_back({st.OnMsgTitle, st.OnMsgComment, st.OnMsgMode, L""});
  const std::size_t mine = prompts_.size() - 1;
  st.OnMsgAnswer = L"";
  FrameON_MSG.setVisible(true);
  while (true) {
    if (mine + 1 == prompts_.size()) SetOnFrameTexts(st.OnMsgTitle, st.OnMsgComment, st.OnMsgMode);
    if (!prompts_[mine].answer.empty()) break;
    app_.sys().waitEvents();
  }
  const std::wstring answer = prompts_[mine].answer;
  prompts_.pop_back();
  if (!prompts_.empty()) {
    const WaitingPrompt& outer = prompts_.back();
    st.OnMsgTitle = outer.title;
    st.OnMsgComment = outer.comment;
    st.OnMsgMode = outer.mode;
    SetOnFrameTexts(outer.title, outer.comment, outer.mode);
    FrameON_MSG.setVisible(true);
  }
  st.OnMsgAnswer = answer;
  return answer;
}

std::wstring FormPELNORO::Ask(const std::wstring& title, const std::wstring& comment,
                              const std::wstring& mode) {
  auto& st = app_.state();
  st.OnMsgTitle = title;
  st.OnMsgComment = comment;
  st.OnMsgMode = mode;
  return AskOnFrame();
}

void FormPELNORO::SetOnFrameTexts(const std::wstring& title, const std::wstring& comment,
                                  const std::wstring& mode) {
  LabelON_MSG_TITLE.setCaption(title);
  LabelON_MSG_COMMENT.setCaption(comment);
  if (mode == program::kModeYesNo) {
    CommandON_MSG_YES.setVisible(true);
    CommandON_MSG_NO.setEnabled(true);
  } else if (mode == program::kModeYes) {
    CommandON_MSG_YES.setVisible(true);
    CommandON_MSG_NO.setEnabled(false);
  }
}

void FormPELNORO::CommandON_MSG_YES_Click() {
  app_.state().OnMsgAnswer = program::kAnswerYes;
  if (!prompts_.empty()) prompts_.back().answer = program::kAnswerYes;
  FrameON_MSG.setVisible(false);
}

void FormPELNORO::CommandON_MSG_NO_Click() {
  if (!CommandON_MSG_NO.enabled()) return;
  app_.state().OnMsgAnswer = program::kAnswerNo;
  if (!prompts_.empty()) prompts_.back().answer = program::kAnswerNo;
  FrameON_MSG.setVisible(false);
}

}  // namespace pelnoro::app
