// The control kinds the windows are made of; only the properties and events the
// program uses.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "image/surface.h"
#include "toolkit/control.h"

namespace pelnoro::tk {

enum class Align { Left, Right, Center };

// A caption on the container's surface; the program uses labels as buttons too.
class Label : public Control {
 public:
  using Control::Control;
  Kind kind() const override { return Kind::Label; }
  const std::wstring& caption() const { return caption_; }
  void setCaption(std::wstring v);
  Align alignment() const { return alignment_; }
  void setAlignment(Align a);
  bool transparent() const { return transparent_; }
  void setTransparent(bool v);
  bool bordered() const { return bordered_; }
  void setBordered(bool v);

 private:
  std::wstring caption_;
  Align alignment_ = Align::Left;
  bool transparent_ = false;
  bool bordered_ = false;
};

// A straight line between two points of the container (its own coordinates).
class Line : public Control {
 public:
  using Control::Control;
  Kind kind() const override { return Kind::Line; }
  double x1() const { return x1_; }
  double y1() const { return y1_; }
  double x2() const { return x2_; }
  double y2() const { return y2_; }
  void setPoints(double x1, double y1, double x2, double y2);
  Color borderColor() const { return borderColor_; }
  void setBorderColor(Color c);
  int borderWidth() const { return borderWidth_; }
  void setBorderWidth(int w);

 private:
  double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  Color borderColor_ = 0;
  int borderWidth_ = 1;
};

enum class ShapeKind { Rectangle, Square, Oval, Circle, RoundedRectangle };

class Shape : public Control {
 public:
  using Control::Control;
  Kind kind() const override { return Kind::Shape; }
  ShapeKind shape() const { return shape_; }
  void setShape(ShapeKind s);
  Color fillColor() const { return fillColor_; }
  void setFillColor(Color c);
  // 0 solid, 1 transparent (only the border is drawn).
  int fillStyle() const { return fillStyle_; }
  void setFillStyle(int v);
  Color borderColor() const { return borderColor_; }
  void setBorderColor(Color c);
  bool borderVisible() const { return borderVisible_; }
  void setBorderVisible(bool v);
  int borderWidth() const { return borderWidth_; }
  void setBorderWidth(int w);

 private:
  ShapeKind shape_ = ShapeKind::Rectangle;
  Color fillColor_ = 0;
  int fillStyle_ = 1;
  Color borderColor_ = 0;
  bool borderVisible_ = true;
  int borderWidth_ = 1;
};

// A windowless picture drawn at its place, scaled to its size.
class Image : public Control {
 public:
  using Control::Control;
  Kind kind() const override { return Kind::Image; }
  const std::shared_ptr<const image::Surface>& picture() const { return picture_; }
  void setPicture(std::shared_ptr<const image::Surface> p);

 private:
  std::shared_ptr<const image::Surface> picture_;
};

// A group box; its children are placed relative to it.
class Frame : public Container {
 public:
  using Container::Container;
  Kind kind() const override { return Kind::Frame; }
  const std::wstring& caption() const { return caption_; }
  void setCaption(std::wstring v);
  bool bordered() const { return bordered_; }
  void setBordered(bool v);

 private:
  std::wstring caption_;
  bool bordered_ = true;
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  bool operator==(const Rect&) const = default;
};

// A box with a persistent pixel surface, measured in pixels.
class PictureBox : public Container {
 public:
  PictureBox(Container* parent, std::wstring name) : Container(parent, std::move(name)) {
    setScalePixels(true);
  }
  Kind kind() const override { return Kind::PictureBox; }
  image::Surface& surface() { return surface_; }
  const image::Surface& surface() const { return surface_; }
  // Call after drawing into the surface so the screen shows it.
  void refresh() { changed(Prop::Picture); }
  bool autoRedraw() const { return autoRedraw_; }
  void setAutoRedraw(bool v) { autoRedraw_ = v; }
  bool bordered() const { return bordered_; }
  void setBordered(bool v);

  // Focus rectangles are drawn over the picture, never into it; drawing the
  // same one twice removes it, as an XOR drawing does.
  void drawFocusRect(const Rect& r);
  // Removes every rectangle drawn over the picture.
  void cls();
  const std::vector<Rect>& focusRects() const { return bands_; }
  // The rectangle just toggled, for the peer.
  const Rect& lastFocusRect() const { return lastBand_; }

 private:
  std::vector<Rect> bands_;
  Rect lastBand_;
  image::Surface surface_;
  bool autoRedraw_ = false;
  bool bordered_ = false;
};

// What happened to a list's rows since its peer last looked, so that the peer
// touches only those rows. Several edits before the peer looks combine when they
// stay one run (rows added one after another, rows removed at one place, the
// same row replaced again); any other mix becomes Reset.
struct RowChange {
  enum class Kind {
    None,
    Inserted,  // rows first .. first+count-1 are new (appended: first was the old count)
    Removed,   // the count rows that stood from first on are gone
    Replaced,  // row first has new text
    Reset,     // read every row again
  };
  Kind kind = Kind::None;
  int first = 0;
  int count = 0;
  bool operator==(const RowChange&) const = default;
};

class ListBox : public Control {
 public:
  using Control::Control;
  Kind kind() const override { return Kind::ListBox; }
  int listCount() const { return static_cast<int>(items_.size()); }
  const std::wstring& list(int i) const;
  void setList(int i, std::wstring text);
  void addItem(std::wstring text);
  void insertItem(int i, std::wstring text);
  void removeItem(int i);
  void clear();
  const std::vector<std::wstring>& items() const { return items_; }
  // -1 when no row is selected. Setting it does not raise Click.
  int listIndex() const { return listIndex_; }
  void setListIndex(int i);
  // What a user's click on a row does: select it, then Click.
  void clickRow(int i);

  // For the peer: the rows changed since its last call (Prop::Items tells it
  // when); the texts are those of items() now.
  RowChange takeRowChange();

 private:
  void rowsChanged(RowChange c);

  std::vector<std::wstring> items_;
  int listIndex_ = -1;
  RowChange pending_;
};

class TextBox : public Control {
 public:
  using Control::Control;
  Kind kind() const override { return Kind::TextBox; }
  const std::wstring& text() const { return text_; }
  // Raises Change when the text differs, as typing does.
  void setText(std::wstring v);
  std::function<void()> onChange;
  std::function<void(int& keyCode, int shift)> onKeyDown;
  void raiseKeyDown(int& keyCode, int shift) {
    if (onKeyDown) onKeyDown(keyCode, shift);
  }
  // The native edit reports typed text without echoing it back.
  void setTextFromPeer(std::wstring v);
  // Several lines (CR LF between them) with a vertical scroll bar; set before the
  // native peer is made.
  bool multiLine() const { return multiLine_; }
  void setMultiLine(bool v) { multiLine_ = v; }

 private:
  std::wstring text_;
  bool multiLine_ = false;
};

// Text for a one-line box: line breaks and other control characters (C0, DEL, C1, the
// line and paragraph separators) removed, so that the lines of a pasted path join up.
std::wstring OneLineText(std::wstring_view text);

class CheckBox : public Control {
 public:
  using Control::Control;
  Kind kind() const override { return Kind::CheckBox; }
  const std::wstring& caption() const { return caption_; }
  void setCaption(std::wstring v);
  int value() const { return value_; }  // 0 unticked, 1 ticked
  void setValue(int v);
  // What a user's click does: toggle, then Click.
  void userClick();

 private:
  std::wstring caption_;
  int value_ = 0;
};

// One of a group: the option buttons of the same container exclude each other.
class OptionButton : public Control {
 public:
  using Control::Control;
  Kind kind() const override { return Kind::OptionButton; }
  const std::wstring& caption() const { return caption_; }
  void setCaption(std::wstring v);
  bool value() const { return value_; }
  void setValue(bool v);
  void userClick();

 private:
  std::wstring caption_;
  bool value_ = false;
};

class CommandButton : public Control {
 public:
  using Control::Control;
  Kind kind() const override { return Kind::CommandButton; }
  const std::wstring& caption() const { return caption_; }
  void setCaption(std::wstring v);

 private:
  std::wstring caption_;
};

class VScrollBar : public Control {
 public:
  using Control::Control;
  Kind kind() const override { return Kind::VScrollBar; }
  int min() const { return min_; }
  int max() const { return max_; }
  void setRange(int min, int max);
  int value() const { return value_; }
  // Raises Change when the position moves, as the native bar does.
  void setValue(int v);
  std::function<void()> onChange;

 private:
  int min_ = 0, max_ = 32767, value_ = 0;
};

}  // namespace pelnoro::tk
