#include "dialogs/form_text_view.h"

#include <algorithm>

namespace pelnoro::dialogs {

namespace {

constexpr double kMapWidth = 10400, kMapHeight = 6200;

}  // namespace

FormTEXTview::FormTEXTview() : tk::Form(L"FormTEXTview") {
  setCaption(L"HTML");
  setBorderStyle(tk::BorderStyle::FixedToolWindow);
  setMinMaxButtons(false, false);
  setShowInTaskbar(false);
  // The design client area is 7800 x 5820 twips; the frame of a tool window adds to it.
  setFrameTwips(8 * 15, 24 * 15);
  move(0, 0, 7800 + 8 * 15, 5820 + 24 * 15);
  TextTEXT.setMultiLine(true);
  TextTEXT.move(0, 0, 6700, 1365);
  TextTEXT.setFont(tk::Font{L"ＭＳ ゴシック", 9.75, false});
  CommandTEXTview戻る.move(6960, 240, 615, 375);
  CommandTEXTview戻る.setCaption(L"戻る");
  CommandTEXTview戻る.setVisible(false);
  CommandTEXTview戻る.onClick = [this] { CommandTEXTview戻る_Click(); };
}

void FormTEXTview::ShowMapTextView() {
  move(left(), top(), kMapWidth, kMapHeight);
  setCaption(L"クリッカブルマップ");
  // The button's place follows the text box's width before the box grows.
  CommandTEXTview戻る.setLeft(TextTEXT.width() + 260);
  // No larger than the client area this system's frame leaves, so that the last line
  // and the scroll bar's end stay in sight.
  TextTEXT.move(TextTEXT.left(), TextTEXT.top(), std::min(kMapWidth - 64, scaleWidth()),
                std::min(kMapHeight - 270, scaleHeight()));
  CommandTEXTview戻る.setVisible(false);
  show();
}

void FormTEXTview::PositionTextView(const tk::Box& mainWindow, double screenWidth,
                                    double screenHeight) {
  const tk::Box b = tk::PlaceBeside(mainWindow, width(), height(), screenWidth, screenHeight);
  move(b.left, b.top, b.width, b.height);
  show();
}

void FormTEXTview::CommandTEXTview戻る_Click() {
  CommandTEXTview戻る.setVisible(false);
  hide();
}

}  // namespace pelnoro::dialogs
