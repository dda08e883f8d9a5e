// What every window that holds controls does, whatever kind it is (form,
// frame, picture box): it draws its windowless controls (labels, lines,
// shapes, images), routes the mouse to them, and hosts the native child
// controls, passing them the messages Windows sends to their parent.
#pragma once

#include <windows.h>

#include <cmath>
#include <map>

#include "toolkit/controls.h"
#include "win32/mouse_router.h"

namespace pelnoro::win32 {

class NativeChild;

// Twips-or-pixels to pixels and back for the controls of one container.
struct Scale {
  double tppX = 15, tppY = 15;
  bool pixels = false;
  int x(double v) const { return static_cast<int>(std::lround(pixels ? v : v / tppX)); }
  int y(double v) const { return static_cast<int>(std::lround(pixels ? v : v / tppY)); }
  double fromX(int px) const { return pixels ? px : px * tppX; }
  double fromY(int px) const { return pixels ? px : px * tppY; }
};

bool IsWindowless(tk::Kind k);

class ContainerWindow {
 public:
  virtual ~ContainerWindow();
  ContainerWindow(const ContainerWindow&) = delete;
  ContainerWindow& operator=(const ContainerWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  tk::Container& container() { return c_; }
  Scale scale() const { return {tppX_, tppY_, c_.scalePixels()}; }
  double tppX() const { return tppX_; }
  double tppY() const { return tppY_; }
  // Dots per inch of the monitor this window stands on, for its fonts.
  int dpi() const { return static_cast<int>(std::lround(1440.0 / tppY_)); }
  // The window moved to a monitor of another scale: it takes the new twips per
  // pixel, and every control in it, frames and picture boxes with their own
  // controls, is placed and given its fonts anew at that scale.
  virtual void rescale(double tppX, double tppY);
  // Where a child of this container stands, in client pixels.
  RECT childRect(const tk::Control& child) const;
  // The windowless control under a client point that takes the mouse, or null.
  tk::Control* hit(int x, int y);

  // A windowless child changed: redraw it.
  void childChanged(tk::Control& child, tk::Prop what);
  void registerChild(HWND h, NativeChild* peer) { natives_[h] = peer; }
  void unregisterChild(HWND h) { natives_.erase(h); }
  // A control of this window's form moved, showed, hid or got another tip: the
  // form's tool tips must be gathered again.
  virtual void toolTipsChanged() = 0;

  // The container window behind the handle of a form, frame or picture box.
  static ContainerWindow* of(HWND h);
  // The window class of every form.
  static const wchar_t* formClassName() { return formClass(); }

 protected:
  ContainerWindow(tk::Container& c, double tppX, double tppY);
  // Called by the derived constructor, so that the messages sent while the
  // window is being made already reach its handler.
  void create(const wchar_t* windowClass, const wchar_t* caption, DWORD style, HWND parent);

  virtual LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
  // Draws the whole client area. By default into a back buffer, so labels
  // never flicker while they change: the background colour, the decoration,
  // then the windowless controls.
  virtual void paint(HDC dc, const RECT& client);
  virtual void paintDecoration(HDC, const RECT&) {}
  void paintWindowless(HDC dc);
  // The changes every container window shows the same way.
  void syncShared(tk::Prop what);

  static const wchar_t* formClass();
  static const wchar_t* panelClass();

 private:
  static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  bool setCursor(WPARAM wp, LPARAM lp);

  tk::Container& c_;
  double tppX_, tppY_;
  HWND hwnd_ = nullptr;
  MouseRouter mouse_;
  std::map<HWND, NativeChild*> natives_;
};

}  // namespace pelnoro::win32
