// The shutter: freeze the primary screen into the picture window.
#include <cmath>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "app/number_text.h"
#include "app/texts.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "capture/print_screen.h"
#include "dialogs/form_property_box.h"
#include "imagemap/form_cl_container.h"

namespace pelnoro::capture {

void CaptureToClipboard(app::Application& app, const std::wstring&, const tk::Form* form) {
  auto& sys = app.sys();
  const double tx = sys.twipsPerPixelX(), ty = sys.twipsPerPixelY();
  if (form) {
    sys.copyScreenToClipboard(app::RoundHalfEven(form->left() / tx),
                              app::RoundHalfEven(form->top() / ty),
                              app::RoundHalfEven(form->width() / tx),
                              app::RoundHalfEven(form->height() / ty));
  } else {
    sys.copyScreenToClipboard(0, 0, app::RoundHalfEven(sys.screenWidthTwips() / tx),
                              app::RoundHalfEven(sys.screenHeightTwips() / ty));
  }
}

}  // namespace pelnoro::capture

namespace pelnoro::app {

void FormPELNORO::Imageシャッターボタン_Click() {
  if (!Imageシャッターボタン.enabled()) return;
  auto& sys = app_.sys();
  auto& st = app_.state();
  auto& box = app_.propertyBox();
  auto& pic = app_.pic();

  if (box.top() > 0) box.setTop(-(box.height() + box.top()));
  setTop(-(height() + top()));
  sys.doEvents();
  sys.clearClipboard();
  capture::CaptureToClipboard(app_, L"", nullptr);

  pic.setBorderStyle(tk::BorderStyle::None);
  pic.setCaption(L"");
  pic.setScalePixels(true);
  pic.move(0, 0, sys.screenWidthTwips(), sys.screenHeightTwips());
  pic.Picture_CHANGE1.setVisible(false);
  auto& screen = pic.PicturePic_Screen;
  screen.move(0, 0, sys.screenWidthPixels(), sys.screenHeightPixels());
  screen.cls();
  if (auto frozen = sys.clipboardBitmap()) {
    screen.surface() = std::move(*frozen);
  } else {
    screen.surface().resize(0, 0);
  }
  screen.refresh();
  screen.setVisible(true);
  pic.show();
  pic.Form_Activate();

  Imageシャッターボタン.setEnabled(false);
  Shapeシャッターボタン.setFillStyle(1);
  Image切り取りボタン.setVisible(true);
  Shape切り取りボタン.setVisible(true);

  setTop(-(height() + top()));

  Label保存開く.setCaption(text::kSave);
  Label保存開く.setEnabled(false);

  auto& linkTarget = app_.linkTarget();
  linkTarget.LabelCONT_NAME.setCaption(L"　リンクファイル");
  linkTarget.hide();
  linkTarget.setTop(-6000);

  st.CaptureActive = kTrue;
  Listメインメニュー.setVisible(false);
  bringLoupeBack();
}

void FormPELNORO::bringLoupeBack() {
  auto& loupe = app_.loupe();
  loupe.move(left() + 120, top() + 380, loupe.width(), loupe.height());
  loupe.setTopmost();
  if (app_.state().LayeredWindowsOK) {
    auto& layer = app_.loupeLayer();
    layer.move(left() + 120, top() + 380, layer.width(), layer.height());
    layer.setTopmost();
  }
}

void FormPELNORO::parkLoupe() {
  auto& loupe = app_.loupe();
  loupe.setTop(-(top() + height()));
  if (app_.state().LayeredWindowsOK) app_.loupeLayer().setTop(-(top() + height()));
}

}  // namespace pelnoro::app
