// The native window of a form, a frame or a picture box. It draws its
// windowless controls (labels, lines, shapes, images), routes mouse events to
// them, and hosts the native child controls.
#pragma once

#include <windows.h>

#include <cmath>
#include <map>
#include <memory>

#include "toolkit/controls.h"
#include "toolkit/form.h"

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

class ContainerWindow : public tk::FormPeer {
 public:
  // parent is null for a form.
  ContainerWindow(tk::Container& c, ContainerWindow* parent, double tppX, double tppY);
  ~ContainerWindow() override;

  HWND hwnd() const { return hwnd_; }
  tk::Container& container() { return c_; }
  ContainerWindow* root() { return parent_ ? parent_->root() : this; }
  Scale scale() const { return {tppX_, tppY_, c_.scalePixels()}; }
  double tppX() const { return tppX_; }
  double tppY() const { return tppY_; }

  void sync(tk::Prop what) override;
  void beginMoveDrag() override;
  void setTopmost() override;
  int clientWidthPixels() override;
  int clientHeightPixels() override;
  void setColorKey(tk::Color key) override;

  // A windowless child changed: redraw it.
  void childChanged(tk::Control& child, tk::Prop what);
  void registerChild(HWND h, NativeChild* peer) { natives_[h] = peer; }
  void unregisterChild(HWND h) { natives_.erase(h); }
  // Rebuilds the tool tips of the whole form (call on the root).
  void refreshToolTips();
  RECT childRect(const tk::Control& child) const;

  static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

 private:
  LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
  void applyStyle();
  void applyGeometry();
  void applyVisible();
  void paint(HDC dc, const RECT& client);
  tk::Control* hit(int x, int y);
  void mouse(UINT msg, WPARAM wp, LPARAM lp);
  void raiseMouse(tk::Control* target, int kind, int button, int shift, int x, int y);
  bool isForm() const { return c_.kind() == tk::Kind::Form; }
  tk::Form& form() { return static_cast<tk::Form&>(c_); }
  void collectToolTips(ContainerWindow& w);
  void paintPicture(HDC dc, const RECT& client);

  tk::Container& c_;
  ContainerWindow* parent_;
  double tppX_, tppY_;
  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  bool syncing_ = false;
  int buttonsDown_ = 0;
  tk::Control* pressed_ = nullptr;
  bool pressedIsSelf_ = false;
  bool afterDblClick_ = false;
  bool shownOnce_ = false;
  bool layered_ = false;
  // A picture box keeps its surface as a DIB section, converted once per change.
  HBITMAP dib_ = nullptr;
  std::uint32_t* dibBits_ = nullptr;
  int dibW_ = 0, dibH_ = 0;
  bool dibStale_ = true;
  tk::Color colorKey_ = 0;
  std::map<HWND, NativeChild*> natives_;
};

}  // namespace pelnoro::win32
