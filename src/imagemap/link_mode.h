// Link mode: the user marks rectangles on the cut, gives each a link in the link-target
// dialog, and the program writes the clickable-map document to the text view and/or an
// .html file beside the image.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "capture/form_pic.h"
#include "dialogs/form_text_view.h"
#include "imagemap/area_link.h"
#include "imagemap/map_document.h"
#include "program/app_state.h"
#include "program/prompt.h"
#include "program/settings.h"
#include "system/system.h"
#include "toolkit/geometry.h"

namespace pelnoro::imagemap {

class LinkMode {
 public:
  LinkMode(sys::System& sys, program::AppState& state, program::Prompt& prompt,
           capture::FormPic& pic, dialogs::FormTEXTview& textView);

  // Wired by the program.
  std::function<program::Settings()> settings;
  std::function<std::wstring()> shownFileName;  // the save panel's file name
  std::function<tk::Box()> mainWindowBox;
  std::function<void()> openSavePanel;  // the main window's save button
  // The link-target dialog shown for an area: its left edge at `left`, its top at
  // `below` when it fits on the screen there (twips).
  std::function<void(double left, double below)> showLinkTarget;

  // The menu's "リンクの設定": the dialog for the current edit selection.
  void StartLinkSetting();
  // The dialog's OK: the document begun while link mode is off, then the area's entry.
  // False when a file step failed, which has been reported.
  bool AddArea(const AreaLink& link);
  // The head of the document, link mode on; false (and link mode off) when the file
  // could not be written, which has been reported.
  bool BeginMapDocument();
  // One area for the current edit selection: a popup for a picture, else a plain link;
  // false when the file could not be written.
  bool WriteAreaEntry(const AreaLink& link);
  // The menu's "設定終了": the tail, link mode off, the save panel opened.
  void FinishLinkSetting();

  // The document file of the current settings.
  std::wstring MapHtmlPath() const;

 private:
  // Appends the lines, each ended by CR LF, to the file (created when missing, emptied
  // first when `fresh`); false, reported, when that fails.
  bool writeLines(const std::wstring& path, const std::vector<std::wstring>& lines, bool fresh);
  void appendToView(const std::vector<std::wstring>& lines, bool lastWithoutEnd);

  sys::System& sys_;
  program::AppState& state_;
  program::Prompt& prompt_;
  capture::FormPic& pic_;
  dialogs::FormTEXTview& textView_;
  MapDocument document_;
};

}  // namespace pelnoro::imagemap
