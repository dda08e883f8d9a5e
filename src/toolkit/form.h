// A top-level window. Its own geometry is in twips on the screen (outer size);
// its children are placed in twips or pixels of its client area.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "image/surface.h"
#include "toolkit/control.h"

namespace pelnoro::tk {

enum class BorderStyle {
  None,
  FixedSingle,
  Sizable,
  FixedDialog,
  FixedToolWindow,
  SizableToolWindow
};
enum class WindowState { Normal, Minimized, Maximized };

// Why a form is asked to close.
enum class UnloadMode {
  ControlMenu = 0,  // the user's close box or system menu
  Code = 1,
  AppWindows = 2,  // the session ends
  TaskManager = 3,
  FormOwner = 4,
};

// Key codes and modifier bits, with the platform's values; a letter's code is its
// capital ('C').
enum KeyCode : int {
  kKeyReturn = 0x0D,
  kKeyEscape = 0x1B,
  kKeySpace = 0x20,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28,
  kKeyPrintScreen = 0x2C,
};
enum KeyShift : int { kShiftKey = 1, kCtrlKey = 2, kAltKey = 4 };

struct KeyPress {
  int keyCode = 0;
  int shift = 0;        // KeyShift bits held
  bool repeat = false;  // the key is held and repeats
};

// What only a native window can do.
class FormPeer : public ControlPeer {
 public:
  // Lets the system move the window as if its title bar were held.
  virtual void beginMoveDrag() = 0;
  // Above every ordinary window, shown, position and size unchanged; made the active
  // window too unless `activate` is false.
  virtual void setTopmost(bool activate) = 0;
  // Client area size in pixels.
  virtual int clientWidthPixels() = 0;
  virtual int clientHeightPixels() = 0;
  // Pixels of this colour become transparent and let clicks through.
  virtual void setColorKey(Color key) = 0;
};

class Form : public Container {
 public:
  explicit Form(std::wstring name);
  Kind kind() const override { return Kind::Form; }

  const std::wstring& caption() const { return caption_; }
  void setCaption(std::wstring v);
  BorderStyle borderStyle() const { return borderStyle_; }
  void setBorderStyle(BorderStyle b);
  bool controlBox() const { return controlBox_; }
  void setControlBox(bool v);
  bool minButton() const { return minButton_; }
  bool maxButton() const { return maxButton_; }
  void setMinMaxButtons(bool min, bool max);
  // A click into the client area does not activate (nor raise) the window.
  bool activatesOnClick() const { return activatesOnClick_; }
  void setActivatesOnClick(bool v) { activatesOnClick_ = v; }
  bool showInTaskbar() const { return showInTaskbar_; }
  void setShowInTaskbar(bool v) { showInTaskbar_ = v; }
  const std::shared_ptr<const image::Surface>& picture() const { return picture_; }
  void setPicture(std::shared_ptr<const image::Surface> p);

  WindowState windowState() const { return windowState_; }
  // Raises Resize, as the native window does when its state changes.
  void setWindowState(WindowState s);

  void show() { setVisible(true); }
  void hide() { setVisible(false); }
  void setTopmost();
  // As setTopmost, but the active window stays the active one: for raising other windows
  // while one is being activated, which would otherwise take the activation back and
  // forth where focus changes arrive late (X under Wine).
  void raiseTopmost();
  bool topmost() const { return topmost_; }
  void beginMoveDrag();
  void setColorKey(Color key);
  // A one-pixel line around the client area, over the picture: a borderless dialog
  // shown over another one keeps a visible edge.
  void setOutline(std::optional<Color> c) {
    outline_ = c;
    changed(Prop::Appearance);
  }
  std::optional<Color> outline() const { return outline_; }

  // Client size in the form's scale units. Headless forms assume the frame
  // the platform would draw (see setFrameTwips).
  double scaleWidth() const;
  double scaleHeight() const;
  // Headless stand-in for the native frame thickness, in twips.
  void setFrameTwips(double horizontal, double vertical) {
    frameX_ = horizontal;
    frameY_ = vertical;
  }
  void setTwipsPerPixel(double x, double y) {
    tppX_ = x;
    tppY_ = y;
  }
  double twipsPerPixelX() const { return tppX_; }
  double twipsPerPixelY() const { return tppY_; }

  std::function<void()> onLoad;
  std::function<void()> onResize;
  std::function<void()> onActivate;
  // A key pressed while the form or one of its controls has the focus, before the
  // control sees it; keys typed into a text box stay the box's. True when taken.
  std::function<bool(const KeyPress&)> onKeyDown;
  bool raiseKeyDown(const KeyPress& k) { return onKeyDown && onKeyDown(k); }
  // Set cancel to true to keep the form.
  std::function<void(bool& cancel, UnloadMode mode)> onQueryUnload;

  void raiseResize() {
    if (onResize) onResize();
  }
  // Returns true when the form may close.
  bool queryUnload(UnloadMode mode);
  // Geometry and state that the user changed through the native window.
  void nativeMoved(double left, double top, double width, double height) {
    setGeometryFromPeer(left, top, width, height);
  }
  void nativeStateChanged(WindowState s) { windowState_ = s; }

  FormPeer* formPeer() const { return static_cast<FormPeer*>(peer()); }

 private:
  std::wstring caption_;
  BorderStyle borderStyle_ = BorderStyle::Sizable;
  std::optional<Color> outline_;
  bool controlBox_ = true;
  bool minButton_ = true;
  bool maxButton_ = true;
  bool showInTaskbar_ = true;
  bool activatesOnClick_ = true;
  bool topmost_ = false;
  WindowState windowState_ = WindowState::Normal;
  std::shared_ptr<const image::Surface> picture_;
  double frameX_ = 0, frameY_ = 0;
  double tppX_ = 15, tppY_ = 15;
};

}  // namespace pelnoro::tk
