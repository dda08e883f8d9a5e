#include "toolkit/controls.h"

#include <algorithm>
#include <utility>

namespace pelnoro::tk {

namespace {
const std::wstring kNoText;
}

void Label::setCaption(std::wstring v) {
  if (v == caption_) return;
  caption_ = std::move(v);
  changed(Prop::Caption);
}
void Label::setAlignment(Align a) {
  alignment_ = a;
  changed(Prop::Appearance);
}
void Label::setTransparent(bool v) {
  transparent_ = v;
  changed(Prop::Appearance);
}
void Label::setBordered(bool v) {
  bordered_ = v;
  changed(Prop::Appearance);
}

void Line::setPoints(double x1, double y1, double x2, double y2) {
  if (x1 == x1_ && y1 == y1_ && x2 == x2_ && y2 == y2_) return;
  x1_ = x1;
  y1_ = y1;
  x2_ = x2;
  y2_ = y2;
  changed(Prop::Geometry);
}
void Line::setBorderColor(Color c) {
  if (c == borderColor_) return;
  borderColor_ = c;
  changed(Prop::Appearance);
}
void Line::setBorderWidth(int w) {
  borderWidth_ = w;
  changed(Prop::Appearance);
}

void Shape::setShape(ShapeKind s) {
  shape_ = s;
  changed(Prop::Appearance);
}
void Shape::setFillColor(Color c) {
  fillColor_ = c;
  changed(Prop::Appearance);
}
void Shape::setFillStyle(int v) {
  if (v == fillStyle_) return;
  fillStyle_ = v;
  changed(Prop::Appearance);
}
void Shape::setBorderColor(Color c) {
  borderColor_ = c;
  changed(Prop::Appearance);
}
void Shape::setBorderVisible(bool v) {
  borderVisible_ = v;
  changed(Prop::Appearance);
}
void Shape::setBorderWidth(int w) {
  borderWidth_ = w;
  changed(Prop::Appearance);
}

void Image::setPicture(std::shared_ptr<const image::Surface> p) {
  picture_ = std::move(p);
  changed(Prop::Picture);
}

void Frame::setCaption(std::wstring v) {
  caption_ = std::move(v);
  changed(Prop::Caption);
}
void Frame::setBordered(bool v) {
  bordered_ = v;
  changed(Prop::Appearance);
}

void PictureBox::setBordered(bool v) {
  bordered_ = v;
  changed(Prop::Appearance);
}

void PictureBox::drawFocusRect(const Rect& r) {
  // An empty rectangle draws nothing.
  if (r.right <= r.left || r.bottom <= r.top) return;
  auto it = std::find(bands_.begin(), bands_.end(), r);
  if (it != bands_.end()) {
    bands_.erase(it);
  } else {
    bands_.push_back(r);
  }
  lastBand_ = r;
  changed(Prop::Overlay);
}

void PictureBox::cls() {
  if (bands_.empty()) return;
  bands_.clear();
  changed(Prop::Picture);
}

namespace {

// Whether `next` extends `run` so that the rows named by the result, read from
// the list as it is after both, are still right.
bool combine(RowChange& run, const RowChange& next) {
  using K = RowChange::Kind;
  if (run.kind == K::Inserted && next.kind == K::Inserted && next.first >= run.first &&
      next.first <= run.first + run.count) {
    run.count += next.count;  // new rows among or beside new rows stay one block
    return true;
  }
  if (run.kind == K::Inserted && next.kind == K::Replaced && next.first >= run.first &&
      next.first < run.first + run.count) {
    return true;  // a new row's text is read as it is now
  }
  if (run.kind == K::Removed && next.kind == K::Removed) {
    if (next.first == run.first) {
      run.count += next.count;
      return true;
    }
    if (next.first + next.count == run.first) {
      run.first = next.first;
      run.count += next.count;
      return true;
    }
  }
  return run.kind == K::Replaced && next.kind == K::Replaced && next.first == run.first;
}

}  // namespace

void ListBox::rowsChanged(RowChange c) {
  if (pending_.kind == RowChange::Kind::None) {
    pending_ = c;
  } else if (pending_.kind != RowChange::Kind::Reset && !combine(pending_, c)) {
    pending_ = RowChange{RowChange::Kind::Reset, 0, 0};
  }
  changed(Prop::Items);
}

RowChange ListBox::takeRowChange() {
  return std::exchange(pending_, RowChange{});
}

const std::wstring& ListBox::list(int i) const {
  if (i < 0 || i >= listCount()) return kNoText;
  return items_[static_cast<std::size_t>(i)];
}
void ListBox::setList(int i, std::wstring text) {
  if (i < 0 || i >= listCount()) return;
  items_[static_cast<std::size_t>(i)] = std::move(text);
  rowsChanged({RowChange::Kind::Replaced, i, 1});
}
void ListBox::addItem(std::wstring text) {
  items_.push_back(std::move(text));
  rowsChanged({RowChange::Kind::Inserted, listCount() - 1, 1});
}
void ListBox::insertItem(int i, std::wstring text) {
  i = std::clamp(i, 0, listCount());
  items_.insert(items_.begin() + i, std::move(text));
  if (listIndex_ >= i) ++listIndex_;
  rowsChanged({RowChange::Kind::Inserted, i, 1});
}
void ListBox::removeItem(int i) {
  if (i < 0 || i >= listCount()) return;
  items_.erase(items_.begin() + i);
  if (listIndex_ == i) {
    listIndex_ = -1;
  } else if (listIndex_ > i) {
    --listIndex_;
  }
  rowsChanged({RowChange::Kind::Removed, i, 1});
}
void ListBox::clear() {
  items_.clear();
  listIndex_ = -1;
  rowsChanged({RowChange::Kind::Reset, 0, 0});
}
void ListBox::setListIndex(int i) {
  if (i < -1 || i >= listCount()) i = -1;
  listIndex_ = i;
  changed(Prop::Selection);
}
void ListBox::clickRow(int i) {
  setListIndex(i);
  if (listIndex_ >= 0) raiseClick();
}

std::wstring OneLineText(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (const wchar_t c : text) {
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
    if (!control) out += c;
  }
  return out;
}

void TextBox::setText(std::wstring v) {
  if (v == text_) return;
  text_ = std::move(v);
  changed(Prop::Value);
  if (onChange) onChange();
}
void TextBox::setTextFromPeer(std::wstring v) {
  if (v == text_) return;
  text_ = std::move(v);
  if (onChange) onChange();
}

void CheckBox::setCaption(std::wstring v) {
  caption_ = std::move(v);
  changed(Prop::Caption);
}
void CheckBox::setValue(int v) {
  if (v == value_) return;
  value_ = v;
  changed(Prop::Value);
}
void CheckBox::userClick() {
  if (!enabled()) return;
  setValue(value_ == 1 ? 0 : 1);
  raiseClick();
}

void OptionButton::setCaption(std::wstring v) {
  caption_ = std::move(v);
  changed(Prop::Caption);
}
void OptionButton::setValue(bool v) {
  if (v && parent()) {
    for (Control* c : parent()->children()) {
      if (c != this && c->kind() == Kind::OptionButton) {
        auto* o = static_cast<OptionButton*>(c);
        if (o->value_) {
          o->value_ = false;
          o->changed(Prop::Value);
        }
      }
    }
  }
  if (v == value_) return;
  value_ = v;
  changed(Prop::Value);
}
void OptionButton::userClick() {
  if (!enabled()) return;
  setValue(true);
  raiseClick();
}

void CommandButton::setCaption(std::wstring v) {
  caption_ = std::move(v);
  changed(Prop::Caption);
}

void VScrollBar::setRange(int min, int max) {
  min_ = min;
  max_ = max;
  changed(Prop::Value);
}
void VScrollBar::setValue(int v) {
  const int lo = std::min(min_, max_), hi = std::max(min_, max_);
  v = std::clamp(v, lo, hi);
  if (v == value_) return;
  value_ = v;
  changed(Prop::Value);
  if (onChange) onChange();
}

}  // namespace pelnoro::tk
