// Controls that hold their own state. A control may have a native peer; every
// property change is pushed to it, and the peer reports native events back
// through the raise* methods. Without a peer (host tests) the same program runs
// headless and a test reads the properties a user would see.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pelnoro::tk {

using Color = std::uint32_t;  // 0x00BBGGRR

// What changed, so a peer can update only that.
enum class Prop {
  Geometry,
  Visible,
  Enabled,
  Caption,
  ToolTip,
  Appearance,  // colours, fonts, styles, borders
  Items,       // list rows
  Selection,   // list index
  Value,       // check/option/scroll value, text box text
  Picture,
  Pointer,
  ZOrder,
  Overlay,  // a rubber band drawn over a picture box
};

enum class Kind {
  Form,
  Frame,
  Label,
  Line,
  Shape,
  Image,
  PictureBox,
  ListBox,
  TextBox,
  CheckBox,
  OptionButton,
  CommandButton,
  VScrollBar,
  DriveList,
  DirList,
  FileList,
};

// Mouse pointer shapes, numbered as the platform's standard pointers.
enum class Pointer : int {
  kDefault = 0,
  kArrow = 1,
  kCross = 2,
  kIBeam = 3,
  kSizeAll = 5,
  kSizeNESW = 6,
  kSizeNS = 7,
  kSizeNWSE = 8,
  kSizeWE = 9,
  kHourglass = 11,
  kNoDrop = 12,
  kHand = 99,  // a pointing hand, for pictures that open something when clicked
};

enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// Mouse position in the scale units of the control's container.
struct MouseEvent {
  int button = 0;  // the button that changed (down/up) or the held buttons (move)
  int shift = 0;
  double x = 0;
  double y = 0;
};

struct Font {
  std::wstring name = L"ＭＳ Ｐゴシック";
  double size = 9;
  bool bold = false;
};

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void sync(Prop what) = 0;
};

class Container;

class Control {
 public:
  Control(Container* parent, std::wstring name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  virtual Kind kind() const = 0;
  const std::wstring& name() const { return name_; }
  Container* parent() const { return parent_; }

  // Geometry in the container's scale units (twips or pixels); forms: twips, screen.
  double left() const { return left_; }
  double top() const { return top_; }
  double width() const { return width_; }
  double height() const { return height_; }
  void setLeft(double v) { move(v, top_, width_, height_); }
  void setTop(double v) { move(left_, v, width_, height_); }
  void setWidth(double v) { move(left_, top_, v, height_); }
  void setHeight(double v) { move(left_, top_, width_, v); }
  virtual void move(double left, double top, double width, double height);

  bool visible() const { return visible_; }
  void setVisible(bool v);
  bool enabled() const { return enabled_; }
  void setEnabled(bool v);
  const std::wstring& toolTip() const { return toolTip_; }
  void setToolTip(std::wstring v);
  Color backColor() const { return backColor_; }
  void setBackColor(Color c);
  Color foreColor() const { return foreColor_; }
  void setForeColor(Color c);
  const Font& font() const { return font_; }
  void setFont(Font f);
  Pointer mousePointer() const { return mousePointer_; }
  void setMousePointer(Pointer p);

  // True when the control and every container up to its form are visible.
  bool shownOnForm() const;

  // Events.
  std::function<void()> onClick;
  std::function<void()> onDblClick;
  std::function<void(const MouseEvent&)> onMouseDown;
  std::function<void(const MouseEvent&)> onMouseMove;
  std::function<void(const MouseEvent&)> onMouseUp;

  void raiseClick() {
    if (onClick) onClick();
  }
  void raiseDblClick() {
    if (onDblClick) onDblClick();
  }
  void raiseMouseDown(const MouseEvent& e) {
    if (onMouseDown) onMouseDown(e);
  }
  void raiseMouseMove(const MouseEvent& e) {
    if (onMouseMove) onMouseMove(e);
  }
  void raiseMouseUp(const MouseEvent& e) {
    if (onMouseUp) onMouseUp(e);
  }

  ControlPeer* peer() const { return peer_.get(); }
  void setPeer(std::unique_ptr<ControlPeer> p) { peer_ = std::move(p); }
  // Opaque slot for the native layer (its handle), so it can find its way back.
  void* nativeTag = nullptr;

 protected:
  void changed(Prop what);
  // Geometry set by the native side (the user resized or moved the window).
  void setGeometryFromPeer(double left, double top, double width, double height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
  }

 private:
  std::wstring name_;
  Container* parent_;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::wstring toolTip_;
  Color backColor_ = 0x00FFFFFF;
  Color foreColor_ = 0x00000000;
  Font font_;
  Pointer mousePointer_ = Pointer::kDefault;
  std::unique_ptr<ControlPeer> peer_;
  friend class Form;
  friend class Container;
};

// A control that holds other controls: forms, frames and picture boxes.
class Container : public Control {
 public:
  using Control::Control;
  const std::vector<Control*>& children() const { return children_; }
  // Twips unless the container works in pixels.
  bool scalePixels() const { return scalePixels_; }
  void setScalePixels(bool v) { scalePixels_ = v; }
  // Brings a child to the front (drawn last, hit first).
  void bringToFront(Control* child);

 private:
  friend class Control;
  std::vector<Control*> children_;
  bool scalePixels_ = false;
};

}  // namespace pelnoro::tk
