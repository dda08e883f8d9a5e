// The shutter, the cut, its deliveries and the clear, on headless forms.
#include <gtest/gtest.h>

#include <functional>

#include "app_fixture.h"
#include "dialogs/form_text_view.h"
#include "imagemap/form_cl_container.h"
#include "program/run_error.h"
#include "system/number_text.h"
#include "system/text_file.h"

namespace pelnoro {
namespace {

class CutTest : public testing::AppTest {
 protected:
  void SetUp() override {
    patternScreen(640, 400);
    sys.putFile(L"C:\\clips\\keep.txt", "x");
    sys.putFile(L"C:\\Program Files\\Pelnoro\\pelnoro.ini",
                sys::toCp932(L"保存先=C:\\clips\\\r\nファイル名=clip\r\n"));
    start();
  }
  void captureAndSelect(double x0, double y0, double x1, double y1) {
    main().Imageシャッターボタン.raiseClick();
    drag(pic().PicturePic_Screen, x0, y0, x1, y1);
  }
  void cut() { main().Image切り取りボタン.raiseClick(); }
};

TEST_F(CutTest, CutWindowGrowsByItsFrameToKeepTheMargin) {
  // A native frame of 4 pixels a side and a 19-pixel caption.
  pic().setFrameTwips(8 * 15, 27 * 15);
  captureAndSelect(100, 50, 300, 200);
  cut();
  EXPECT_EQ(pic().width(), 238 * 15);
  EXPECT_EQ(pic().height(), 207 * 15);
  EXPECT_EQ(pic().scaleWidth(), 230);
  EXPECT_EQ(pic().scaleHeight(), 180);
  EXPECT_EQ(pic().left(), 32);
  EXPECT_EQ(pic().top(), 16 * 15);
}

TEST_F(CutTest, CutGeometryAndFileName) {
  captureAndSelect(100, 50, 300, 200);
  cut();
  EXPECT_EQ(st().CutLeft, 100);
  EXPECT_EQ(st().CutTop, 50);
  EXPECT_EQ(st().CutWidth, 200);
  EXPECT_EQ(st().CutHeight, 150);
  auto& e = pic().Picture_CHANGE1;
  EXPECT_EQ(e.left(), 15);
  EXPECT_EQ(e.top(), 15);
  EXPECT_EQ(e.width(), 200);
  EXPECT_EQ(e.surface().pixel(0, 0), 100 + 4096 * 50);
  EXPECT_EQ(e.surface().pixel(199, 149), 299 + 4096 * 199);
  EXPECT_TRUE(e.focusRects().empty());
  EXPECT_EQ(pic().width(), 230 * 15);
  EXPECT_EQ(pic().height(), 180 * 15);
  EXPECT_EQ(pic().left(), 32);
  EXPECT_EQ(pic().top(), 16 * 15);
  EXPECT_EQ(pic().LabelANCHOR.toolTip(), L"X= 200 Y= 150");
  EXPECT_EQ(pic().Picture_CHANGE2.surface().pixels(), e.surface().pixels());
  EXPECT_EQ(pic().Picture_CHANGE3.surface().pixels(), e.surface().pixels());
  EXPECT_EQ(st().UndoWidth, 200);
  EXPECT_EQ(st().OriginalHeight, 150);
  EXPECT_FALSE(pic().PicturePic_Screen.visible());

  // BMP by default, numbered.
  EXPECT_EQ(st().SaveFileExt, L".BMP");
  EXPECT_EQ(st().SaveFileName, L"clip00.BMP");
  EXPECT_EQ(pic().borderStyle(), tk::BorderStyle::SizableToolWindow);
  EXPECT_EQ(pic().caption(), L" Pelnoro");
  EXPECT_EQ(e.toolTip(), L"C:\\clips\\clip00.BMP");
  EXPECT_EQ(main().Labelステータス.caption(), L"画像の切取に成功しました。");
  EXPECT_EQ(main().Labelファイル名.caption(), L"clip00.BMP");
  EXPECT_EQ(main().Label保存フォルダold.caption(), L"C:\\clips\\");
  EXPECT_FALSE(main().Image切り取りボタン.visible());
  EXPECT_TRUE(main().Label保存開く.enabled());
  EXPECT_EQ(main().Label保存開く.caption(), L"保存");
  EXPECT_TRUE(main().Listメインメニュー.visible());
  EXPECT_EQ(st().CaptureActive, program::kFalse);
  EXPECT_FALSE(e.autoRedraw());
  EXPECT_EQ(app->loupe().top(), -(main().top() + main().height()));
}

TEST_F(CutTest, NoSelectionKeepsTheCaptureAndBringsTheLoupeBack) {
  captureAndSelect(100, 50, 300, 200);
  pic().PicturePic_Screen.raiseMouseDown({tk::kRightButton, 0, 1, 1});
  app->loupe().setTop(-5000);
  cut();
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text,
            L"切り取り範囲が不明です。範囲を指定してから切り取りボタンを押してください。");
  EXPECT_EQ(sys.messages[0].style, sys::kMbOk | sys::kMbSetForeground);
  EXPECT_EQ(app->loupe().top(), main().top() + 380);
  EXPECT_EQ(st().CaptureActive, program::kTrue);
  EXPECT_TRUE(pic().PicturePic_Screen.visible());
}

TEST_F(CutTest, NumberingMatchesNamesAsTheFileSystemDoes) {
  box().OptionJPEG.setValue(true);
  // Without regard to case; a folder of the name is no file.
  sys.putFile(L"C:\\clips\\CLIP00.jpg", "x");
  sys.putFolder(L"C:\\clips\\clip01.JPG");
  captureAndSelect(100, 50, 300, 200);
  cut();
  EXPECT_EQ(st().SaveFileName, L"clip01.JPG");
  EXPECT_EQ(st().NumberText, L"01");
}

TEST_F(CutTest, OverwriteDeclinedLeavesTheCaptureOpen) {
  box().Check自動ナンバリング.setValue(0);
  box().OptionPNG.setValue(true);
  sys.putFile(L"C:\\clips\\CLIP.png", "old");
  captureAndSelect(10, 10, 60, 40);
  sys.answers.push_back(sys::kIdNo);
  cut();
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text, L"同じ名前のファイルがあります。上書きしますか?");
  EXPECT_EQ(sys.messages[0].title, L"保存ファイル確認");
  EXPECT_EQ(sys.messages[0].style, 0x104u);
  EXPECT_FALSE(pic().visible());
  EXPECT_EQ(st().SaveFileName, L"");
  EXPECT_TRUE(main().Image切り取りボタン.visible());
  EXPECT_EQ(st().CaptureActive, program::kTrue);
  EXPECT_TRUE(pic().Picture_CHANGE1.autoRedraw());

  // Yes takes the plain name, and the cut window comes back with the cut.
  sys.answers.push_back(sys::kIdYes);
  cut();
  EXPECT_EQ(st().SaveFileName, L"clip.PNG");
  EXPECT_TRUE(pic().visible());
  // No numbering and an empty base: the bare extension.
  box().Text保存ファイル名.setText(L"");
  captureAndSelect(10, 10, 60, 40);
  cut();
  EXPECT_EQ(st().SaveFileName, L".PNG");
}

TEST_F(CutTest, ClipboardDeliveryEndsIdleWithTheCutOnTheClipboard) {
  box().Optionクリップボード.setValue(true);
  captureAndSelect(100, 50, 300, 200);
  cut();
  ASSERT_TRUE(sys.clipboard);
  EXPECT_EQ(sys.clipboard->width(), 200);
  EXPECT_EQ(sys.clipboard->height(), 150);
  EXPECT_EQ(sys.clipboard->pixel(0, 0), 100 + 4096 * 50);
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text, L"クリップボードにコピーをしました。");
  EXPECT_EQ(sys.messages[0].title, L"クリップボードへコピー");
  // Idle, as at start: the open-image button is usable again.
  EXPECT_FALSE(pic().visible());
  EXPECT_EQ(st().CaptureActive, program::kFalse);
  EXPECT_TRUE(main().Imageシャッターボタン.enabled());
  EXPECT_EQ(main().Label保存開く.caption(), L"画像開く");
  EXPECT_TRUE(main().Label保存開く.enabled());
  EXPECT_EQ(main().Labelステータス.caption(), L"");
  EXPECT_TRUE(pic().PicturePic_Screen.surface().empty());
}

TEST_F(CutTest, FailuresGoToTheErrorPathAndEndIdle) {
  box().Optionクリップボード.setValue(true);
  sys.clipboardFails = true;
  captureAndSelect(100, 50, 300, 200);
  cut();
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].title, L"ｴﾗｰ");
  EXPECT_EQ(sys.messages[0].text.rfind(L"ｴﾗｰ番号  521", 0), 0u);
  EXPECT_EQ(st().CaptureActive, program::kFalse);
  EXPECT_FALSE(pic().Picture_CHANGE1.autoRedraw());

  // A selection far larger than any surface can be.
  sys.messages.clear();
  main().Imageシャッターボタン.raiseClick();
  main().Label始点X.setCaption(L"0");
  main().Label始点Y.setCaption(L"0");
  main().Label終点X.setCaption(L"100000");
  main().Label終点Y.setCaption(L"100000");
  cut();
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].title, L"ｴﾗｰ");
  EXPECT_FALSE(main().Image切り取りボタン.visible());
}

TEST_F(CutTest, DockPropertyBoxBothWays) {
  sys.screenH = 768;  // 11520 twips
  box().move(0, 0, box().width(), 4000);
  main().move(6000, 9000, main().width(), 2000);
  main().DockPropertyBox();
  EXPECT_EQ(box().top(), 5000);
  EXPECT_EQ(box().left() + box().width(), 6000 + main().width());
  main().move(6000, 1000, main().width(), 2000);
  main().DockPropertyBox();
  EXPECT_EQ(box().top(), 3000);
  EXPECT_FALSE(box().visible());
}

TEST_F(CutTest, DockedPropertyBoxStaysOnTheScreen) {
  sys.screenH = 768;
  sys.screenW = 1024;  // 15360 twips
  main().move(9000, 1000, main().width(), 2000);
  main().DockPropertyBox();
  EXPECT_EQ(box().left() + box().width(), 9000 + main().width());
  // At the first start's place the box would begin 540 twips left of the screen.
  main().move(1200, 1000, main().width(), 2000);
  main().DockPropertyBox();
  EXPECT_EQ(box().left(), 0);
  // A main window half off the right edge keeps the box inside the screen.
  main().move(14000, 1000, main().width(), 2000);
  main().DockPropertyBox();
  EXPECT_EQ(box().left() + box().width(), 15360);
}

TEST_F(CutTest, ClearIsRefusedInLinkModeAndOtherwiseResetsEverything) {
  captureAndSelect(100, 50, 300, 200);
  cut();
  st().LinkModeActive = program::kTrue;
  sys.userActions.push_back([&] { main().CommandON_MSG_YES.raiseClick(); });
  main().Labelクリア.raiseClick();
  EXPECT_TRUE(pic().visible());
  EXPECT_EQ(main().Label保存開く.caption(), L"保存");

  st().LinkModeActive = program::kFalse;
  app->textView().TextTEXT.setText(L"map");
  app->textView().show();
  main().ShowSavePanel();
  main().Labelクリア.raiseClick();
  EXPECT_FALSE(pic().visible());
  EXPECT_FALSE(app->linkTarget().visible());
  EXPECT_FALSE(app->textView().visible());
  EXPECT_EQ(app->textView().TextTEXT.text(), L"");
  EXPECT_FALSE(main().Label保存実行.visible());
  EXPECT_EQ(main().Shapeシャッターボタン.fillStyle(), 0);
  EXPECT_TRUE(main().topmost());
}

using ShutterTest = testing::CaptureTest;

TEST_F(ShutterTest, ShutterFreezesTheScreenAndOpensTheCapture) {
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
TEST_F(ShutterTest, TheMainWindowComesBackWhereItLeftWhateverIsReportedMeanwhile) {
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

TEST_F(ShutterTest, PropertyBoxAtTopZeroStays) {
  box().move(0, 0, box().width(), box().height());
  shutter();
  EXPECT_EQ(box().top(), 0);
}
}  // namespace
}  // namespace pelnoro
