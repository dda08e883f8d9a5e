// Shutter, rubber band, loupe and scaling on headless forms.
#include <gtest/gtest.h>

#include <functional>

#include "app_fixture.h"
#include "capture/selection.h"
#include "image/pixel_ops.h"
#include "imagemap/form_cl_container.h"
#include "system/number_text.h"

namespace pelnoro {
namespace {

class CaptureTest : public testing::AppTest {
 protected:
  void SetUp() override {
    patternScreen(320, 200);
    start();
  }
  void shutter() { main().Imageシャッターボタン.raiseClick(); }
  std::vector<std::wstring> screenRecord() {
    return {main().Label始点X.caption(), main().Label始点Y.caption(), main().Label終点X.caption(),
            main().Label終点Y.caption()};
  }
};

TEST_F(CaptureTest, ShutterFreezesTheScreenAndOpensTheCapture) {
  main().move(1500, 1000, main().width(), main().height());
  box().move(0, 1, box().width(), box().height());
  sys.clipboard = image::Surface(3, 3, 0x123456);
  // The one pump pass of the shutter sees the windows out of view.
  double topDuringCopy = 0, boxTopDuringCopy = 0;
  sys.userActions.push_back([&] {
    topDuringCopy = main().top();
    boxTopDuringCopy = box().top();
  });
  shutter();
  EXPECT_EQ(topDuringCopy, -3610);
  EXPECT_EQ(boxTopDuringCopy, -(4400 + 1));
  EXPECT_EQ(box().top(), -(4400 + 1));  // the shutter does not bring it back
  EXPECT_EQ(main().top(), 1000);
  EXPECT_EQ(pic().PicturePic_Screen.surface().pixels(), sys.screen.pixels());
  ASSERT_TRUE(sys.clipboard);
  EXPECT_EQ(sys.clipboard->width(), 320);  // the old clipboard content is gone
  EXPECT_TRUE(pic().visible());
  EXPECT_EQ(pic().borderStyle(), tk::BorderStyle::None);
  EXPECT_EQ(pic().width(), 320 * 15);
  EXPECT_FALSE(pic().Picture_CHANGE1.visible());
  EXPECT_FALSE(main().Imageシャッターボタン.enabled());
  EXPECT_EQ(main().Shapeシャッターボタン.fillStyle(), 1);
  EXPECT_TRUE(main().Image切り取りボタン.visible());
  EXPECT_EQ(main().Label保存開く.caption(), L"保存");
  EXPECT_FALSE(main().Label保存開く.enabled());
  EXPECT_EQ(app->linkTarget().LabelCONT_NAME.caption(), L"　リンクファイル");
  EXPECT_EQ(app->linkTarget().top(), -6000);
  EXPECT_EQ(st().CaptureActive, program::kTrue);
  EXPECT_FALSE(main().Listメインメニュー.visible());
  EXPECT_EQ(app->loupe().left(), 1500 + 120);
  EXPECT_EQ(app->loupe().top(), 1000 + 380);
  EXPECT_TRUE(app->loupe().topmost());
  EXPECT_EQ(app->loupeLayer().top(), 1000 + 380);
  // A second press does nothing while the capture is open.
  sys.screen.fill(0);
  shutter();
  EXPECT_NE(pic().PicturePic_Screen.surface().pixels(), sys.screen.pixels());
}

// Wine reports native moves late, in any order: whatever the native window says while
// the main window is out of view, and however often the shutter is pressed meanwhile,
// the screen is copied once and the window comes back to the place it left.
TEST_F(CaptureTest, TheMainWindowComesBackWhereItLeftWhateverIsReportedMeanwhile) {
  struct Case {
    const char* what;
    std::function<void(app::FormPELNORO&)> duringCopy;
  };
  const std::vector<Case> cases = {
      {"nothing", [](app::FormPELNORO&) {}},
      {"the old place, reported late",
       [](app::FormPELNORO& m) { m.nativeMoved(1500, 1000, m.width(), m.height()); }},
      {"another place out of view",
       [](app::FormPELNORO& m) { m.nativeMoved(1500, -9000, m.width(), m.height()); }},
      {"a second press of the shutter",
       [](app::FormPELNORO& m) { m.Imageシャッターボタン.raiseClick(); }},
  };
  main().move(1500, 1000, main().width(), main().height());
  int copies = 0;
  sys.onCaptureScreen = [&] { ++copies; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    copies = 0;
    sys.userActions.push_back([&] { c.duringCopy(main()); });
    shutter();
    EXPECT_EQ(main().top(), 1000);
    EXPECT_EQ(copies, 1);
    main().Labelクリア_Click();
  }
}

TEST_F(CaptureTest, PropertyBoxAtTopZeroStays) {
  box().move(0, 0, box().width(), box().height());
  shutter();
  EXPECT_EQ(box().top(), 0);
}

TEST_F(CaptureTest, RubberBandNormalisesEachAxis) {
  shutter();
  auto& s = pic().PicturePic_Screen;
  drag(s, 300, 200, 100, 50);
  EXPECT_EQ(screenRecord(), (std::vector<std::wstring>{L"100", L"50", L"300", L"200"}));
  drag(s, 100, 50, 300, 200);
  EXPECT_EQ(screenRecord(), (std::vector<std::wstring>{L"100", L"50", L"300", L"200"}));
  drag(s, 100, 200, 300, 50);
  EXPECT_EQ(screenRecord(), (std::vector<std::wstring>{L"100", L"50", L"300", L"200"}));
  // Beyond the edge while the button is held: unclamped.
  drag(s, 12, 10, -5.5, 250);
  EXPECT_EQ(screenRecord(), (std::vector<std::wstring>{L"-5.5", L"10", L"12", L"250"}));
  // A right click empties the record and stops a drag.
  s.raiseMouseDown({tk::kLeftButton, 0, 5, 5});
  s.raiseMouseDown({tk::kRightButton, 0, 5, 5});
  EXPECT_EQ(screenRecord(), (std::vector<std::wstring>{L"", L"", L"", L""}));
  EXPECT_EQ(st().SelectDragging, program::kFalse);
}

TEST_F(CaptureTest, OneBandAtATimeAndNeverInThePicture) {
  shutter();
  auto& s = pic().PicturePic_Screen;
  const auto before = s.surface().pixels();
  s.raiseMouseDown({tk::kLeftButton, 0, 10, 14});
  for (int i = 1; i < 20; ++i) {
    s.raiseMouseMove({tk::kLeftButton, 0, 10.0 + 5 * i, 14.0 + 3 * i});
    ASSERT_EQ(s.focusRects().size(), 1u);
  }
  EXPECT_EQ(s.focusRects()[0], (tk::Rect{10, 14, 105, 71}));
  // Up and to the left of the press: the band is normalised on each axis.
  s.raiseMouseMove({tk::kLeftButton, 0, 4, 2});
  EXPECT_EQ(s.focusRects()[0], (tk::Rect{4, 2, 10, 14}));
  s.raiseMouseMove({tk::kLeftButton, 0, 105, 71});
  // No button, or the right one: only the pointer labels change.
  s.raiseMouseMove({0, 0, 150, 155});
  s.raiseMouseMove({tk::kRightButton, 0, 160, 155});
  EXPECT_EQ(s.focusRects()[0], (tk::Rect{10, 14, 105, 71}));
  EXPECT_EQ(main().LabelポインタX.caption(), L"160");
  EXPECT_EQ(main().LabelポインタY.caption(), L"155");
  s.raiseMouseUp({tk::kLeftButton, 0, 105, 71});
  EXPECT_EQ(s.focusRects().size(), 1u);  // stays until the next press
  EXPECT_EQ(s.surface().pixels(), before);
  s.raiseMouseDown({tk::kLeftButton, 0, 50, 50});
  EXPECT_TRUE(s.focusRects().empty());
}

// Counts how often a form is raised above every other window.
class RaiseCounter : public tk::FormPeer {
 public:
  int raised = 0;
  void sync(tk::Prop) override {}
  void beginMoveDrag() override {}
  void setTopmost() override { ++raised; }
  int clientWidthPixels() override { return 0; }
  int clientHeightPixels() override { return 0; }
  void setColorKey(tk::Color) override {}
};

TEST_F(CaptureTest, DoubleClickRaisesTheMainWindow) {
  shutter();
  auto counter = std::make_unique<RaiseCounter>();
  RaiseCounter& raises = *counter;
  main().setPeer(std::move(counter));
  pic().PicturePic_Screen.raiseMouseDown({tk::kLeftButton, 0, 30, 20});
  pic().PicturePic_Screen.raiseMouseUp({tk::kLeftButton, 0, 30, 20});
  EXPECT_EQ(raises.raised, 0);
  pic().PicturePic_Screen.raiseDblClick();
  EXPECT_EQ(raises.raised, 1);
  main().setPeer(nullptr);
}

TEST_F(CaptureTest, LoupeShowsThe31SquareAroundThePointer) {
  shutter();
  auto& s = pic().PicturePic_Screen;
  s.raiseMouseMove({0, 0, 100, 50});
  const auto& l = app->loupe().PictureLOUPE.surface();
  // The centre shows the pointer pixel; the corners the square's corners.
  EXPECT_EQ(l.pixel(60, 60), 100 + 4096 * 50);
  EXPECT_EQ(l.pixel(0, 0), 85 + 4096 * 35);
  EXPECT_EQ(l.pixel(119, 119), 115 + 4096 * 65);
  // At the origin the square starts at (-15, -15): black outside the picture.
  s.raiseMouseMove({0, 0, 0, 0});
  EXPECT_EQ(l.pixel(0, 0), 0);
  EXPECT_EQ(l.pixel(60, 60), 0 + 4096 * 0);
  EXPECT_EQ(l.pixel(119, 119), 15 + 4096 * 15);
  // Halves to even: 12.5 - 15 = -2.5 starts at -2.
  s.raiseMouseMove({0, 0, 12.5, 20});
  EXPECT_EQ(l.pixel(119, 60), 28 + 4096 * 20);
}

TEST_F(CaptureTest, CrosshairPicture) {
  const auto p = capture::CrosshairPicture();
  const std::uint32_t key = capture::kLoupeKey, red = 0x000080, green = 0x00FB00;
  // The picture as drawn by hand: the cross on column and row 60, open at 57-58 and
  // 62-63, the 3 x 3 centre, and the green lines beside the cross's inner part.
  auto expected = [&](int x, int y) {
    const bool gap = [](int v) {
      return v == 57 || v == 58 || v == 62 || v == 63;
    }(x == 60 ? y : x);
    if (x >= 59 && x <= 61 && y >= 59 && y <= 61) return red;
    if ((x == 60 || y == 60) && !gap) return red;
    const bool inner = [](int v) { return (v >= 29 && v <= 56) || (v >= 64 && v <= 89); }(y);
    if ((x == 59 || x == 61) && inner) return green;
    const bool innerX = [](int v) { return (v >= 30 && v <= 56) || (v >= 64 && v <= 89); }(x);
    if ((y == 59 || y == 61) && innerX) return green;
    return key;
  };
  ASSERT_EQ(p->width(), 120);
  ASSERT_EQ(p->height(), 120);
  int mismatches = 0;
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 120; ++x) {
      if (p->pixel(x, y) != expected(x, y) && ++mismatches <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

class EditSurfaceTest : public CaptureTest {
 protected:
  void SetUp() override {
    CaptureTest::SetUp();
    // A 400 x 200 working image on a 200 x 100 edit surface.
    auto& work = pic().Picture_CHANGE2;
    work.surface() = image::Surface(400, 200, 0x0000FF);
    work.surface().fillRect(200, 0, 200, 200, 0x00FF00);
    work.move(0, 0, 400, 200);
    auto& edit = pic().Picture_CHANGE1;
    edit.move(15, 15, 200, 100);
    edit.surface() = image::Surface(200, 100, 0x0000FF);
  }
};

TEST_F(EditSurfaceTest, CornerTriangleSwitchesToResizeMode) {
  auto& e = pic().Picture_CHANGE1;
  e.raiseMouseMove({0, 0, 195, 99});
  EXPECT_EQ(pic().mousePointer(), tk::Pointer::kSizeNWSE);
  e.raiseMouseMove({0, 0, 190, 99});
  EXPECT_EQ(pic().mousePointer(), tk::Pointer::kCross);
}

TEST_F(EditSurfaceTest, CornerDragScalesFromTheWorkingImageAndKeepsUndo) {
  auto& e = pic().Picture_CHANGE1;
  e.raiseMouseMove({0, 0, 199, 99});
  e.raiseMouseDown({tk::kLeftButton, 0, 199, 99});
  EXPECT_EQ(st().UndoWidth, 200);
  e.raiseMouseMove({tk::kLeftButton, 0, 100, 100});
  EXPECT_EQ(e.width(), 100);
  EXPECT_EQ(e.height(), 50);
  e.raiseMouseMove({tk::kLeftButton, 0, 400, 100});
  EXPECT_EQ(e.width(), 200);
  EXPECT_EQ(e.height(), 100);
  EXPECT_EQ(e.surface().pixel(0, 0), 0x0000FF);
  EXPECT_EQ(e.surface().pixel(199, 99), 0x00FF00);
  e.raiseMouseUp({tk::kLeftButton, 0, 400, 100});
  EXPECT_EQ(pic().LabelANCHOR.left(), 15 + 200);
  EXPECT_EQ(pic().LabelANCHOR.toolTip(), L"X= 200 Y= 100");
  EXPECT_EQ(pic().Picture_CHANGE3.surface().width(), 200);
}

TEST_F(EditSurfaceTest, ResizeRules) {
  auto& p = pic();
  p.ResizeEditImage(100, 100);
  EXPECT_EQ(st().FitWidth, 100);
  EXPECT_EQ(st().FitHeight, 50);
  // Same aspect ratio: the second branch.
  p.ResizeEditImage(300, 150);
  EXPECT_EQ(st().FitWidth, 300);
  EXPECT_EQ(st().FitHeight, 150);
  // Negative and zero sizes leave the image alone (zero would divide by zero).
  for (auto [w, h] : {std::pair{-1.0, 50.0}, {50.0, -1.0}, {0.0, 50.0}, {50.0, 0.0}, {0.4, 80.0}}) {
    p.ResizeEditImage(w, h);
    EXPECT_EQ(p.Picture_CHANGE1.width(), 300);
  }
}

TEST_F(EditSurfaceTest, BandOnTheEditSurfaceWritesTheEditRecord) {
  drag(pic().Picture_CHANGE1, 80, 60, 20, 10);
  EXPECT_EQ(main().Label始点X2.caption(), L"20");
  EXPECT_EQ(main().Label終点Y2.caption(), L"60");
  EXPECT_EQ(main().Label始点X.caption(), L"");
}

TEST_F(EditSurfaceTest, HandleDragScalesToTheHandleAndNeedsLayeredWindows) {
  auto& a = pic().LabelANCHOR;
  pic().PlaceAnchor();
  // The 200 x 100 image at (15, 15) has its handle at (215, 115). Moving the handle by
  // (20, 10) asks for the box from the image's origin to the handle: 220 x 110.
  a.raiseMouseDown({tk::kLeftButton, 0, 2, 2});
  a.raiseMouseMove({tk::kLeftButton, 0, 22, 12});
  EXPECT_EQ(a.left(), 235);
  EXPECT_EQ(pic().Picture_CHANGE1.width(), 220);
  EXPECT_EQ(pic().Picture_CHANGE1.height(), 110);
  // A second move, relative to the handle's new place, goes on from there; a box
  // narrower than the image's shape fits the width.
  a.raiseMouseMove({tk::kLeftButton, 0, -98, 22});
  EXPECT_EQ(a.left(), 135);
  EXPECT_EQ(a.top(), 145);
  EXPECT_EQ(pic().Picture_CHANGE1.width(), 120);
  EXPECT_EQ(pic().Picture_CHANGE1.height(), 60);
  a.raiseMouseUp({tk::kLeftButton, 0, 0, 0});
  EXPECT_EQ(a.left(), 15 + 120);
  EXPECT_EQ(a.top(), 15 + 60);
  EXPECT_EQ(a.toolTip(), L"X= 120 Y= 60");

  st().LayeredWindowsOK = program::kFalse;
  a.raiseMouseMove({tk::kLeftButton, 0, 50, 50});
  EXPECT_EQ(a.mousePointer(), tk::Pointer::kArrow);
  EXPECT_EQ(pic().Picture_CHANGE1.width(), 120);
}

TEST(PixelOps, StretchMirrorsAndCopyClips) {
  image::Surface src(4, 2);
  for (int x = 0; x < 4; ++x) {
    src.setPixel(x, 0, static_cast<std::uint32_t>(x));
    src.setPixel(x, 1, static_cast<std::uint32_t>(10 + x));
  }
  image::Surface dst(4, 2, 99);
  image::StretchNearest(src, 0, 0, 4, 2, dst, 3, 0, -4, 2);
  EXPECT_EQ(dst.pixel(0, 0), 3);
  EXPECT_EQ(dst.pixel(3, 1), 10);
  image::Surface big(8, 4, 99);
  image::StretchNearest(src, 0, 0, 4, 2, big, 0, 0, 8, 4);
  EXPECT_EQ(big.pixel(1, 1), 0);
  EXPECT_EQ(big.pixel(2, 2), 11);
  image::Surface cut(3, 3, 99);
  image::CopyRect(src, 2, 1, 3, 3, cut, 0, 0, 7);
  EXPECT_EQ(cut.pixel(0, 0), 12);
  EXPECT_EQ(cut.pixel(1, 0), 13);
  EXPECT_EQ(cut.pixel(2, 0), 7);
  EXPECT_EQ(cut.pixel(0, 1), 7);
}

}  // namespace
}  // namespace pelnoro
