// The shutter, the cut and the clear: the primary screen is frozen, the selected
// rectangle becomes the cut image, which goes to the clipboard or waits in the cut
// window for the save panel; the clear returns to idle.
#include <new>
#include <utility>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "app/texts.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "capture/print_screen.h"
#include "dialogs/form_property_box.h"
#include "dialogs/form_text_view.h"
#include "image/pixel_ops.h"
#include "imagemap/form_cl_container.h"
#include "output/numbering.h"
#include "output/save_target.h"
#include "output/texts.h"
#include "program/run_error.h"
#include "system/number_text.h"

namespace pelnoro::app {

namespace {

// Runs its action when the scope is left, however it is left.
template <class F>
class OnExit {
 public:
  explicit OnExit(F f) : f_(std::move(f)) {}
  ~OnExit() { f_(); }
  OnExit(const OnExit&) = delete;
  OnExit& operator=(const OnExit&) = delete;

 private:
  F f_;
};

}  // namespace

void FormPELNORO::StepOutOfView() {
  if (outOfViewDepth_++ > 0) return;
  inViewTop_ = top();
  setTop(-(height() + top()));
}

void FormPELNORO::StepBackIntoView() {
  if (outOfViewDepth_ == 0 || --outOfViewDepth_ > 0) return;
  setTop(inViewTop_);
}

void FormPELNORO::Imageシャッターボタン_Click() {
  if (!Imageシャッターボタン.enabled() || shutterRunning_) return;
  shutterRunning_ = true;
  OnExit done([this] { shutterRunning_ = false; });
  auto& sys = app_.sys();
  auto& box = app_.propertyBox();
  auto& pic = app_.pic();

  if (box.top() > 0) box.setTop(-(box.height() + box.top()));
  {
    // Back in view even when the copy fails for want of memory.
    StepOutOfView();
    OnExit back([this] { StepBackIntoView(); });
    sys.doEvents();
    // The frozen screen shows as soon as it is copied; the clipboard gets the same
    // picture afterwards, replacing what it held.
    pic.ShowFrozenScreen(capture::CaptureScreen(sys, nullptr));

    Imageシャッターボタン.setEnabled(false);
    Shapeシャッターボタン.setFillStyle(1);
    Image切り取りボタン.setVisible(true);
    Shape切り取りボタン.setVisible(true);
  }

  Label保存開く.setCaption(text::kSave);
  Label保存開く.setEnabled(false);
  app_.linkTarget().ResetRole();

  app_.state().CaptureActive = program::kTrue;
  Listメインメニュー.setVisible(false);
  bringLoupeBack();
  // Drawn first, then the copy for the clipboard.
  sys.doEvents();
  sys.clearClipboard();
  sys.setClipboardBitmap(pic.PicturePic_Screen.surface());
}

void FormPELNORO::bringLoupeBack() {
  app_.loupe().ShowAt(left() + 120, top() + 380);
}

void FormPELNORO::parkLoupe() {
  app_.loupe().Park(-(top() + height()));
}

void FormPELNORO::Image切り取りボタン_Click() {
  auto& st = app_.state();
  st.OriginalWidth = 0;
  st.OriginalHeight = 0;
  auto fail = [this](const program::RunError& e) {
    app_.pic().SetSurfacesAutoRedraw(false);
    app_.sys().messageBox(program::ErrorMessageText(e.number, e.source, e.description),
                          output::text::kErrorTitle, sys::kMbOk);
    Labelクリア_Click();
  };
  try {
    cutSteps();
  } catch (const program::RunError& e) {
    fail(e);
  } catch (const std::bad_alloc&) {
    for (tk::PictureBox* p :
         {&app_.pic().Picture_CHANGE1, &app_.pic().Picture_CHANGE2, &app_.pic().Picture_CHANGE3}) {
      p->surface().resize(0, 0);
    }
    fail({7, output::text::kErrorSource, output::text::kOutOfMemory});
  }
}

void FormPELNORO::cutSteps() {
  auto& st = app_.state();
  auto& sys = app_.sys();
  auto& pic = app_.pic();

  const capture::Selection sel = pic.screenSelection.read();
  st.CutWidth = static_cast<std::int32_t>(sys::RoundHalfEven(sel.width()));
  st.CutHeight = static_cast<std::int32_t>(sys::RoundHalfEven(sel.height()));
  st.CutLeft = static_cast<std::int32_t>(sys::RoundHalfEven(sel.startX));
  st.CutTop = static_cast<std::int32_t>(sys::RoundHalfEven(sel.startY));

  if (st.CutWidth == 0 || st.CutHeight == 0) {
    sys.messageBox(output::text::kNoSelection, L"", sys::kMbOk | sys::kMbSetForeground);
    bringLoupeBack();
    return;
  }
  // Beyond the largest side the surfaces are not even tried.
  if (st.CutWidth < 0 || st.CutHeight < 0 || st.CutWidth > capture::kMaxImageSide ||
      st.CutHeight > capture::kMaxImageSide) {
    throw program::RunError(480, output::text::kErrorSource, output::text::kTooLarge);
  }
  const int w = st.CutWidth, h = st.CutHeight;

  parkLoupe();
  Listメインメニュー.setVisible(true);
  pic.HideFrozenScreen();
  image::Surface cut(w, h, 0);
  image::CopyRect(pic.PicturePic_Screen.surface(), st.CutLeft, st.CutTop, w, h, cut, 0, 0);
  pic.TakeImage(std::move(cut), capture::Framing::kCut);

  st.SaveFileName = L"";
  const program::Settings settings = app_.propertyBox().Current();
  const bool toClipboard = settings.format == program::SaveFormat::kClipboard;
  if (const std::wstring ext = output::ExtensionFor(settings.format); !ext.empty()) {
    st.SaveFileExt = ext;
  } else if (!toClipboard && st.SaveFileExt.empty()) {
    // No format chosen at all: the last cut's, or a bitmap, which loses nothing.
    st.SaveFileExt = output::text::kExtBmp;
  }

  if (toClipboard) {
    sys.clearClipboard();
    sys.doEvents();
    if (!sys.setClipboardBitmap(pic.Picture_CHANGE1.surface())) {
      throw program::RunError(521, output::text::kErrorSource, output::text::kClipboardFailed);
    }
    sys.messageBox(output::text::kCopiedToClipboard, output::text::kCopiedToClipboardTitle,
                   sys::kMbOk);
    Labelクリア_Click();
  } else {
    if (settings.autoNumbering) {
      st.SaveFileName = output::NextNumberedName(
          settings.saveFolder, settings.fileName, st.SaveFileExt, st.NumberText,
          [&sys](const std::wstring& path) { return sys.fileExists(path); });
    } else {
      if (sys.fileExists(settings.saveFolder + settings.fileName + st.SaveFileExt)) {
        const int answer = sys.messageBox(output::text::kOverwrite, output::text::kOverwriteTitle,
                                          sys::kMbYesNo | sys::kMbDefButton2);
        if (answer == sys::kIdNo) {
          pic.hide();
          app_.linkTarget().hide();
          return;
        }
      }
      st.SaveFileName = settings.fileName + st.SaveFileExt;
    }
    openedPicture_ = false;
    imageWaitsForSave(settings.saveFolder);
    // Hidden when an earlier cut of this capture was declined at the overwrite question.
    pic.show();
    pic.GrowByFrame();
    Labelステータス.setCaption(output::text::kCutDone);
  }

  pic.SetSurfacesAutoRedraw(false);
  DockPropertyBox();
  st.CaptureActive = program::kFalse;
}

void FormPELNORO::imageWaitsForSave(const std::wstring& saveFolder) {
  auto& st = app_.state();
  auto& pic = app_.pic();
  pic.FrameCutWindow(saveFolder, st.SaveFileName);
  st.SelectDragging = program::kFalse;
  pic.Picture_CHANGE1.setVisible(true);

  Labelファイル名.setCaption(st.SaveFileName);
  Labelファイル名old.setCaption(st.SaveFileName);
  Labelファイル名.setToolTip(st.SaveFileName);
  Label保存フォルダ.setCaption(saveFolder);
  Label保存フォルダold.setCaption(saveFolder);

  Image切り取りボタン.setVisible(false);
  Shape切り取りボタン.setVisible(false);
  Label保存開く.setCaption(text::kSave);
  Label保存開く.setToolTip(
      WithKeyName(text::kSave, KeyCommand::kOpenSavePanel, KeyState::kImageWaits));
  Label保存開く.setEnabled(true);
}

void FormPELNORO::DockPropertyBox() {
  auto& box = app_.propertyBox();
  auto& sys = app_.sys();
  const tk::Box b = tk::PlaceBeside(this->box(), box.width(), box.height(), sys.screenWidthTwips(),
                                    sys.screenHeightTwips());
  box.move(b.left, b.top, b.width, b.height);
}

void FormPELNORO::Labelクリア_Click() {
  setMousePointer(tk::Pointer::kDefault);
  if (app_.state().LinkModeActive) {
    WarnLinkUnfinished();
    return;
  }
  app_.linkTarget().hide();
  returnToIdle();
  parkLoupe();
  DockPropertyBox();
}

void FormPELNORO::returnToIdle() {
  auto& pic = app_.pic();
  pic.hide();
  app_.state().CaptureActive = program::kFalse;
  pic.ReleaseFrozenScreen();
  // Nothing waits to be saved any more: an idle program holds no pictures.
  pic.ReleaseImages();

  Shapeシャッターボタン.setFillStyle(0);
  Imageシャッターボタン.setEnabled(true);
  Image切り取りボタン.setVisible(false);
  Shape切り取りボタン.setVisible(false);
  Listメインメニュー.setVisible(true);
  Label保存開く.setCaption(text::kOpenImage);
  Label保存開く.setToolTip(L"");
  // Idle always looks the same: opening an image is possible again.
  Label保存開く.setEnabled(true);
  Labelステータス.setCaption(L"");

  auto& view = app_.textView();
  view.TextTEXT.setText(L"");
  view.hide();

  HideSavePanel();
  setTopmost();
}

}  // namespace pelnoro::app
