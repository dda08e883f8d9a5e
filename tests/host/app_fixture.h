// A started program on the fake system, for tests of whole sequences.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "capture/form_loupe.h"
#include "capture/form_pic.h"
#include "dialogs/form_property_box.h"
#include "fake_system.h"

namespace pelnoro::testing {

class AppTest : public ::testing::Test {
 protected:
  FakeSystem sys;
  std::unique_ptr<app::Application> app;

  void start() {
    app = std::make_unique<app::Application>(sys);
    ASSERT_TRUE(app->start());
  }
  app::FormPELNORO& main() { return app->main(); }
  capture::FormPic& pic() { return app->pic(); }
  dialogs::FormPROPERTY_BOX& box() { return app->propertyBox(); }
  program::AppState& st() { return app->state(); }

  // A screen whose pixel (x, y) has the colour x + 4096 * y.
  void patternScreen(int w, int h) {
    sys.screenW = w;
    sys.screenH = h;
    sys.screen.resize(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        sys.screen.setPixel(x, y, static_cast<std::uint32_t>(x + 4096 * y));
  }
  // Runs the menu command with this caption, opening the groups above it first.
  void menuCommand(const std::wstring& caption) {
    auto& list = main().Listメインメニュー;
    for (int guard = 0; guard < 10; ++guard) {
      const auto& rows = list.items();
      for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& r = rows[i];
        if (r.size() > caption.size() &&
            r.compare(r.size() - caption.size(), caption.size(), caption) == 0 &&
            r[r.size() - caption.size() - 1] == L'　') {
          list.clickRow(static_cast<int>(i));
          return;
        }
      }
      // Open the first closed group and look again.
      bool opened = false;
      for (std::size_t i = 0; i < rows.size() && !opened; ++i) {
        if (rows[i].find(L'＋') != std::wstring::npos) {
          list.clickRow(static_cast<int>(i));
          opened = true;
        }
      }
      if (!opened) break;
    }
    FAIL() << "no menu command";
  }
  void drag(tk::PictureBox& surface, double x0, double y0, double x1, double y1) {
    surface.raiseMouseDown({tk::kLeftButton, 0, x0, y0});
    surface.raiseMouseMove({tk::kLeftButton, 0, (x0 + x1) / 2, (y0 + y1) / 2});
    surface.raiseMouseMove({tk::kLeftButton, 0, x1, y1});
    surface.raiseMouseUp({tk::kLeftButton, 0, x1, y1});
  }
};

// A started program on a 320 x 200 screen whose pixels tell their place.
class CaptureTest : public AppTest {
 protected:
  void SetUp() override {
    patternScreen(320, 200);
    start();
  }
  void shutter() { main().Imageシャッターボタン.raiseClick(); }
  // The screen selection as the main window's coordinate labels hold it.
  std::vector<std::wstring> screenRecord() {
    return {main().Label始点X.caption(), main().Label始点Y.caption(), main().Label終点X.caption(),
            main().Label終点Y.caption()};
  }
  std::vector<std::wstring> editRecord() {
    return {main().Label始点X2.caption(), main().Label始点Y2.caption(),
            main().Label終点X2.caption(), main().Label終点Y2.caption()};
  }
};

}  // namespace pelnoro::testing
