// Peers of the controls that are native child windows: list, text and check
// boxes, option and command buttons, scroll bars.
#pragma once

#include <windows.h>

#include <memory>

#include "toolkit/controls.h"

namespace pelnoro::win32 {

class ContainerWindow;

class NativeChild : public tk::ControlPeer {
 public:
  NativeChild(tk::Control& c, ContainerWindow& host, const wchar_t* cls, DWORD style,
              DWORD exStyle = 0);
  ~NativeChild() override;
  HWND hwnd() const { return hwnd_; }
  void sync(tk::Prop what) override;
  // Messages the parent receives about this control.
  virtual bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // The host took another scale: the control's place and font follow it.
  virtual void rescaled();

 protected:
  virtual void syncContent(tk::Prop) {}
  virtual bool subclassed(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  void applyGeometry();
  static LRESULT CALLBACK SubProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

  tk::Control& c_;
  ContainerWindow& host_;
  HWND hwnd_ = nullptr;
  WNDPROC own_ = nullptr;  // the control's own procedure
  HBRUSH brush_ = nullptr;
  bool syncing_ = false;
};

std::unique_ptr<NativeChild> MakeNativeChild(tk::Control& c, ContainerWindow& host);

}  // namespace pelnoro::win32
