// The picture window: the rubber band on the frozen screen and on the edit image, and
// scaling by the corner and the handle, on headless forms.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "capture/selection.h"
#include "image/pixel_ops.h"
#include "imagemap/form_cl_container.h"
#include "system/number_text.h"

namespace pelnoro {
namespace {

using CaptureTest = testing::CaptureTest;

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

// Counts how often a form is raised above every other window, and how often it was
// made the active window too.
class RaiseCounter : public tk::FormPeer {
 public:
  int raised = 0, activated = 0;
  void sync(tk::Prop) override {}
  void beginMoveDrag() override {}
  void setTopmost(bool activate) override {
    ++raised;
    if (activate) ++activated;
  }
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

// The picture window's activation raises the main window and both loupe windows and
// leaves the activation where it is: taking it, they would hand it back to the picture
// window, whose activation raises them again (a third of a second of this under Wine).
TEST_F(CaptureTest, ActivatingThePictureWindowRaisesTheOthersWithoutTakingTheActivation) {
  shutter();
  std::vector<RaiseCounter*> peers;
  for (tk::Form* f : std::vector<tk::Form*>{&main(), &app->loupe(), &app->loupeLayer()}) {
    auto counter = std::make_unique<RaiseCounter>();
    peers.push_back(counter.get());
    f->setPeer(std::move(counter));
  }
  pic().onActivate();
  for (std::size_t i = 0; i < peers.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(peers[i]->raised, 1);
    EXPECT_EQ(peers[i]->activated, 0);
  }
  for (tk::Form* f : std::vector<tk::Form*>{&main(), &app->loupe(), &app->loupeLayer()})
    f->setPeer(nullptr);
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

TEST_F(EditSurfaceTest, ADragBesideTheImageSelectsUpToItsEdge) {
  // The edit image is 200 x 100: its last pixel is (199, 99).
  struct Case {
    double x0, y0, x1, y1;
    std::vector<std::wstring> record;
  } cases[] = {
      {50, 40, 230, 130, {L"50", L"40", L"199", L"99"}},
      {50, 40, -20, -7.5, {L"0", L"0", L"50", L"40"}},
      {10, 90, 250, 60, {L"10", L"60", L"199", L"90"}},
      {150, 10, 120, 186, {L"120", L"10", L"150", L"99"}},
      {199, 99, 199, 99, {L"199", L"99", L"199", L"99"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.record));
    drag(pic().Picture_CHANGE1, c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(editRecord(), c.record);
  }
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

}  // namespace
}  // namespace pelnoro
