// The text window that shows a map document while it is being built.
#pragma once

#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/geometry.h"

namespace pelnoro::dialogs {

class FormTEXTview : public tk::Form {
 public:
  FormTEXTview();
  tk::TextBox TextTEXT{this, L"TextTEXT"};
  tk::CommandButton CommandTEXTview戻る{this, L"CommandTEXTview戻る"};

  // Prepares the window for map text and shows it.
  void ShowMapTextView();
  // Next to the main window (right edges aligned, below it or above it when below
  // passes the screen's bottom), and shown.
  void PositionTextView(const tk::Box& mainWindow, double screenWidth, double screenHeight);
  void CommandTEXTview戻る_Click();
};

}  // namespace pelnoro::dialogs
