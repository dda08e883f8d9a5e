#include "edit/image_editor.h"

#include "edit/texts.h"
#include "image/transform.h"
#include "system/number_text.h"

namespace pelnoro::edit {

namespace {

constexpr int kMosaicBlock = 6;

// Marks a change of the edit image as under way for as long as it lives.
class Changing {
 public:
  explicit Changing(program::AppState& state) : state_(state) {
    state_.ImageChanging = program::kTrue;
  }
  ~Changing() { state_.ImageChanging = program::kFalse; }
  Changing(const Changing&) = delete;
  Changing& operator=(const Changing&) = delete;

 private:
  program::AppState& state_;
};

// The main window out of view for as long as it lives: back even when a turn fails for
// want of memory.
class Aside {
 public:
  explicit Aside(const std::function<void(bool)>& set) : set_(set) {
    if (set_) set_(true);
  }
  ~Aside() {
    if (set_) set_(false);
  }
  Aside(const Aside&) = delete;
  Aside& operator=(const Aside&) = delete;

 private:
  const std::function<void(bool)>& set_;
};

int pixelOf(double v) {
  return static_cast<int>(sys::RoundHalfEven(v));
}

}  // namespace

ImageEditor::ImageEditor(program::AppState& state, capture::FormPic& pic, program::Prompt& prompt)
    : state_(state), pic_(pic), prompt_(prompt) {}

bool ImageEditor::mayChange() const {
  return !state_.ImageChanging && pic_.HasEditImage();
}

void ImageEditor::Turn(const std::wstring& code) {
  if (!mayChange()) return;
  pic_.SaveUndoImage();
  if (code == text::kRotateClockwise || code == text::kRotateCounterClockwise) {
    RotateQuarterTurn(code);
  } else {
    RotateHalfOrFlip(code);
  }
}

void ImageEditor::RotateQuarterTurn(const std::wstring& code) {
  const bool clockwise = code == text::kRotateClockwise;
  // Any other code leaves the image as it is.
  if (!clockwise && code != text::kRotateCounterClockwise) return;
  if (!mayChange()) return;
  Changing changing(state_);
  const image::Surface& source = pic_.Picture_CHANGE1.surface();
  state_.UndoWidth = source.width();
  state_.UndoHeight = source.height();
  // The turned image grows from the screen's top-left corner, over every window but
  // the main window, which steps out of view meanwhile.
  pic_.move(0, 0, pic_.width(), pic_.height());
  pic_.setTopmost();
  Aside aside(mainWindowAside);
  // The undo image keeps the whole picture before the turn, whatever its shape.
  pic_.Picture_CHANGE3.surface() = source;
  pic_.Picture_CHANGE3.move(pic_.Picture_CHANGE3.left(), pic_.Picture_CHANGE3.top(), source.width(),
                            source.height());
  pic_.ShowEditedImage(image::RotateQuarter(source, clockwise));
}

void ImageEditor::RotateHalfOrFlip(const std::wstring& code) {
  image::Surface (*operation)(const image::Surface&) = nullptr;
  if (code == text::kRotateHalf) {
    operation = image::RotateHalf;
  } else if (code == text::kMirrorLeftRight) {
    operation = image::MirrorLeftRight;
  } else if (code == text::kMirrorTopBottom) {
    operation = image::MirrorTopBottom;
  }
  // Any other code leaves the image as it is.
  if (!operation || !mayChange()) return;
  Changing changing(state_);
  Aside aside(mainWindowAside);
  pic_.ReplaceEditPixels(operation(pic_.Picture_CHANGE1.surface()));
}

void ImageEditor::ApplyMosaic() {
  const auto& labels = pic_.editSelection;
  if (!labels.hasHorizontal() || !mayChange()) return;
  Changing changing(state_);
  pic_.SaveUndoImage();
  const capture::Selection sel = labels.read();
  image::Surface picture = pic_.Picture_CHANGE1.surface();
  image::Mosaic(picture, pixelOf(sel.startX), pixelOf(sel.startY), pixelOf(sel.endX),
                pixelOf(sel.endY), kMosaicBlock);
  pic_.ReplaceEditPixels(std::move(picture));
}

void ImageEditor::UndoEdit() {
  if (!mayChange()) return;
  Changing changing(state_);
  pic_.ShowEditedImage(pic_.Picture_CHANGE3.surface());
}

void ImageEditor::ResetEdit() {
  if (!mayChange()) return;
  Changing changing(state_);
  pic_.ShowEditedImage(pic_.Picture_CHANGE2.surface());
}

void ImageEditor::ReplaceOriginal() {
  if (!mayChange()) return;
  Changing changing(state_);
  // The question lets other events run: the guard holds other changes off meanwhile.
  if (prompt_.Ask(text::kReplaceTitle, text::kReplaceComment, program::kModeYesNo) !=
      program::kAnswerYes) {
    return;
  }
  if (!pic_.HasEditImage()) return;  // cleared while the question waited
  const image::Surface& picture = pic_.Picture_CHANGE1.surface();
  state_.OriginalWidth = picture.width();
  state_.OriginalHeight = picture.height();
  pic_.Picture_CHANGE2.move(pic_.Picture_CHANGE2.left(), pic_.Picture_CHANGE2.top(),
                            picture.width(), picture.height());
  pic_.Picture_CHANGE2.surface() = picture;
}

}  // namespace pelnoro::edit
