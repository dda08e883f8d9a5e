// The whole program realised on the desktop and started without settings files,
// for the tests that look at its real windows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "win32/win32_peer_factory.h"
#include "win32/win32_system.h"

namespace pelnoro {

class RealisedAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteFileW((sys.exeFolder() + L"pelnoro.ini").c_str());
    DeleteFileW((sys.exeFolder() + L"save_log.pel").c_str());
    app = std::make_unique<app::Application>(sys);
    peers = std::make_unique<win32::Win32PeerFactory>(sys.twipsPerPixelX(), sys.twipsPerPixelY());
    app->realise(*peers);
    ASSERT_TRUE(app->start());
    sys.doEvents();
  }
  HWND mainWindow() { return static_cast<HWND>(app->main().nativeTag); }

  win32::Win32System sys;
  std::unique_ptr<app::Application> app;
  std::unique_ptr<win32::Win32PeerFactory> peers;
};

}  // namespace pelnoro
