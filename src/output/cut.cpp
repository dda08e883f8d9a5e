// The cut and the clear: the selected rectangle becomes the cut image, which
// goes to the clipboard or waits in the cut window for the save panel.
#include <algorithm>
#include <new>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "app/number_text.h"
#include "app/run_error.h"
#include "app/texts.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "dialogs/form_property_box.h"
#include "dialogs/form_text_view.h"
#include "image/pixel_ops.h"
#include "imagemap/form_cl_container.h"
#include "output/save_panel.h"
#include "output/texts.h"

namespace pelnoro::app {

namespace {

// Beyond this a cut cannot be encoded nor shown; the surfaces are not even tried.
constexpr long kMaxCutSide = 16384;
constexpr int kCutMargin = 15;

double value(const tk::Label& l) { return LenientNumber(l.caption()); }

}  // namespace

void FormPELNORO::Image切り取りボタン_Click() {
  auto& st = app_.state();
  st.OriginalWidth = 0;
  st.OriginalHeight = 0;
  try {
    cutSteps();
  } catch (const RunError& e) {
    auto& pic = app_.pic();
    for (tk::PictureBox* p : {&pic.Picture_CHANGE1, &pic.Picture_CHANGE2, &pic.Picture_CHANGE3}) {
      p->setAutoRedraw(false);
    }
    app_.sys().messageBox(ErrorMessageText(e.number, e.source, e.description),
                          output::text::kErrorTitle, sys::kMbOk);
    Labelクリア_Click();
  } catch (const std::bad_alloc&) {
    auto& pic = app_.pic();
    for (tk::PictureBox* p : {&pic.Picture_CHANGE1, &pic.Picture_CHANGE2, &pic.Picture_CHANGE3}) {
      p->setAutoRedraw(false);
      p->surface().resize(0, 0);
    }
    app_.sys().messageBox(
        ErrorMessageText(7, output::text::kErrorSource, output::text::kOutOfMemory),
        output::text::kErrorTitle, sys::kMbOk);
    Labelクリア_Click();
  }
}

void FormPELNORO::cutSteps() {
  auto& st = app_.state();
  auto& sys = app_.sys();
  auto& pic = app_.pic();
  auto& box = app_.propertyBox();

  const double sx = value(Label始点X), sy = value(Label始点Y);
  st.CutWidth = static_cast<std::int32_t>(RoundHalfEven(value(Label終点X) - sx));
  st.CutHeight = static_cast<std::int32_t>(RoundHalfEven(value(Label終点Y) - sy));
  st.CutLeft = static_cast<std::int32_t>(RoundHalfEven(sx));
  st.CutTop = static_cast<std::int32_t>(RoundHalfEven(sy));

  if (st.CutWidth == 0 || st.CutHeight == 0) {
    sys.messageBox(output::text::kNoSelection, L"", sys::kMbOk | sys::kMbSetForeground);
    bringLoupeBack();
    return;
  }
  if (st.CutWidth < 0 || st.CutHeight < 0 || st.CutWidth > kMaxCutSide ||
      st.CutHeight > kMaxCutSide) {
    throw RunError(480, output::text::kErrorSource, output::text::kTooLarge);
  }
  const int w = st.CutWidth, h = st.CutHeight;

  parkLoupe();
  Listメインメニュー.setVisible(true);
  pic.PicturePic_Screen.cls();
  pic.PicturePic_Screen.setVisible(false);

  auto& edit = pic.Picture_CHANGE1;
  edit.move(kCutMargin, kCutMargin, w, h);
  edit.cls();
  edit.setAutoRedraw(true);
  image::Surface cut(w, h, 0);
  image::CopyRect(pic.PicturePic_Screen.surface(), st.CutLeft, st.CutTop, w, h, cut, 0, 0);
  edit.surface() = cut;
  edit.refresh();
  edit.setVisible(true);

  pic.PlaceAnchor();
  pic.LabelANCHOR.setVisible(true);

  const double tx = sys.twipsPerPixelX(), ty = sys.twipsPerPixelY();
  pic.move(32, 16 * ty, (w + 2 * kCutMargin) * tx, (h + 2 * kCutMargin) * ty);
  pic.setMousePointer(tk::Pointer::kDefault);

  auto& work = pic.Picture_CHANGE2;
  work.move(work.left(), work.top(), w, h);
  st.OriginalWidth = w;
  st.OriginalHeight = h;
  work.setAutoRedraw(true);
  work.surface() = cut;

  auto& undo = pic.Picture_CHANGE3;
  undo.move(undo.left(), undo.top(), w, h);
  undo.setAutoRedraw(true);
  undo.surface() = std::move(cut);
  st.UndoWidth = w;
  st.UndoHeight = h;

  st.SaveFileName = L"";

  bool toClipboard = false;
  if (box.OptionJPEG.value()) {
    st.SaveFileExt = output::text::kExtJpeg;
  } else if (box.OptionBMP.value()) {
    st.SaveFileExt = output::text::kExtBmp;
  } else if (box.OptionPNG.value()) {
    st.SaveFileExt = output::text::kExtPng;
  } else if (box.Optionクリップボード.value()) {
    toClipboard = true;
  } else if (st.SaveFileExt.empty()) {
    st.SaveFileExt = output::text::kExtBmp;  // no format chosen at all: a bitmap loses nothing
  }

  if (toClipboard) {
    sys.clearClipboard();
    sys.doEvents();
    if (!sys.setClipboardBitmap(edit.surface())) {
      throw RunError(521, output::text::kErrorSource, output::text::kClipboardFailed);
    }
    sys.messageBox(output::text::kCopiedToClipboard, output::text::kCopiedToClipboardTitle,
                   sys::kMbOk);
    Labelクリア_Click();
  } else {
    if (box.Check自動ナンバリング.value() == 1) {
      NextNumberedName(st.SaveFileName, st.SaveFileExt);
    } else {
      const std::wstring base = box.Text保存ファイル名.text();
      const std::wstring folder = box.Label保存先.caption();
      if (sys.fileExists(folder + base + st.SaveFileExt)) {
        const int answer = sys.messageBox(output::text::kOverwrite, output::text::kOverwriteTitle,
                                          sys::kMbYesNo | sys::kMbDefButton2);
        if (answer == sys::kIdNo) {
          pic.hide();
          app_.linkTarget().hide();
          return;
        }
      }
      st.SaveFileName = base + st.SaveFileExt;
    }
    FrameCutWindow(st.SaveFileName);
    // The sizable frame just given to the window takes its thickness and caption out of
    // the 30 spare pixels: grow the window by it, so that the cut keeps its 15-pixel
    // margin on every side and its corner handle is not hidden under the frame.
    const double frameX = pic.width() - pic.scaleWidth() * tx;
    const double frameY = pic.height() - pic.scaleHeight() * ty;
    if (frameX > 0 || frameY > 0) {
      pic.move(pic.left(), pic.top(), pic.width() + std::max(0.0, frameX),
               pic.height() + std::max(0.0, frameY));
    }
    st.SelectDragging = kFalse;
    edit.setVisible(true);

    Labelステータス.setCaption(output::text::kCutDone);
    Labelファイル名.setCaption(st.SaveFileName);
    Labelファイル名old.setCaption(st.SaveFileName);
    Labelファイル名.setToolTip(st.SaveFileName);
    Label保存フォルダ.setCaption(box.Label保存先.caption());
    Label保存フォルダold.setCaption(box.Label保存先.caption());

    Image切り取りボタン.setVisible(false);
    Shape切り取りボタン.setVisible(false);
    Label保存開く.setEnabled(true);
  }

  for (tk::PictureBox* p : {&pic.Picture_CHANGE1, &pic.Picture_CHANGE2, &pic.Picture_CHANGE3}) {
    p->setAutoRedraw(false);
  }
  DockPropertyBox();
  st.CaptureActive = kFalse;
}

void FormPELNORO::NextNumberedName(std::wstring& name, const std::wstring& ext) {
  auto& st = app_.state();
  auto& box = app_.propertyBox();
  st.NumberText = L"00";
  std::wstring base;
  while (true) {
    const std::wstring folder = box.Label保存先.caption();
    base = box.Text保存ファイル名.text();
    if (!app_.sys().fileExists(folder + base + st.NumberText + ext)) break;
    const long n = RoundHalfEven(LenientNumber(st.NumberText)) + 1;
    st.NumberText = n >= 10 ? std::to_wstring(n) : L"0" + std::to_wstring(n);
  }
  name = base + st.NumberText + ext;
}

void FormPELNORO::FrameCutWindow(const std::wstring& fileName) {
  auto& pic = app_.pic();
  pic.setBorderStyle(tk::BorderStyle::SizableToolWindow);
  pic.setCaption(output::text::kCutWindowCaption);
  pic.Picture_CHANGE1.setToolTip(app_.propertyBox().Label保存先.caption() + fileName);
}

void FormPELNORO::DockPropertyBox() {
  auto& box = app_.propertyBox();
  const double sh = app_.sys().screenHeightTwips();
  const float below = static_cast<float>(top() + height() + box.height());
  const double boxTop = below > sh ? top() - box.height() : top() + height();
  box.move(PropertyBoxLeft(), boxTop, box.width(), box.height());
}

void FormPELNORO::Labelクリア_Click() {
  auto& st = app_.state();
  setMousePointer(tk::Pointer::kDefault);
  if (st.LinkModeActive) {
    WarnLinkUnfinished();
    return;
  }
  auto& pic = app_.pic();
  pic.hide();
  app_.linkTarget().hide();
  st.CaptureActive = kFalse;
  pic.PicturePic_Screen.cls();
  pic.PicturePic_Screen.surface().resize(0, 0);

  Shapeシャッターボタン.setFillStyle(0);
  Imageシャッターボタン.setEnabled(true);
  Image切り取りボタン.setVisible(false);
  Shape切り取りボタン.setVisible(false);
  Listメインメニュー.setVisible(true);
  Label保存開く.setCaption(text::kOpenImage);
  // Idle always looks the same: opening an image is possible again.
  Label保存開く.setEnabled(true);
  Labelステータス.setCaption(L"");

  auto& view = app_.textView();
  view.TextTEXT.setText(L"");
  view.hide();

  parkLoupe();
  DockPropertyBox();
  output::HideSavePanel(app_);
  setTopmost();
}

}  // namespace pelnoro::app
