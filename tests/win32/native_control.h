// A form with one control, realised as native windows and shown, for the tests of
// one native control.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "toolkit/form.h"
#include "win32/win32_peer_factory.h"
#include "win32/win32_system.h"

namespace pelnoro::testing {

template <class Control>
class NativeControlTest : public ::testing::Test {
 protected:
  struct OneControlForm {
    tk::Form form{L"Form1"};
    Control control{&form, L"Control1"};
  };

  // The form and the control's places in twips.
  void realise(double formWidth, double formHeight, double width, double height) {
    f.form.setBorderStyle(tk::BorderStyle::FixedSingle);
    f.form.move(1500, 1500, formWidth, formHeight);
    f.control.move(120, 120, width, height);
    win32::Win32PeerFactory peers(sys.twipsPerPixelX(), sys.twipsPerPixelY());
    peers.realise(f.form);
    f.form.show();
    sys.doEvents();
  }
  HWND native() const { return static_cast<HWND>(f.control.nativeTag); }

  win32::Win32System sys;
  OneControlForm f;
};

}  // namespace pelnoro::testing
