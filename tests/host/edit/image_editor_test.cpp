// Turns, mirrors, mosaic, undo, reset and replace on the cut image, through the menu.
#include "edit/image_editor.h"

#include <gtest/gtest.h>

#include "app_fixture.h"
#include "image/transform.h"
#include "system/text_file.h"

namespace pelnoro {
namespace {

class EditTest : public testing::AppTest {
 protected:
  void SetUp() override {
    patternScreen(640, 400);
    sys.putFile(L"C:\\clips\\keep.txt", "x");
    sys.putFile(L"C:\\Program Files\\Pelnoro\\pelnoro.ini",
                sys::toCp932(L"画像形式=PNG\r\n保存先=C:\\clips\\\r\nファイル名=e\r\n"));
    start();
  }
  // Cuts the screen rectangle from (x, y), w x h pixels.
  image::Surface cutAt(int x, int y, int w, int h) {
    main().Imageシャッターボタン.raiseClick();
    drag(pic().PicturePic_Screen, x, y, x + w, y + h);
    main().Image切り取りボタン.raiseClick();
    return edit();
  }
  const image::Surface& edit() { return pic().Picture_CHANGE1.surface(); }
  std::uint32_t at(int x, int y) { return static_cast<std::uint32_t>(edit().pixel(x, y)); }
  static std::uint32_t screenPixel(int x, int y) {
    return static_cast<std::uint32_t>(x + 4096 * y);
  }
  // The picture window's outer size in pixels.
  std::pair<double, double> windowPixels() { return {pic().width() / 15, pic().height() / 15}; }
};

TEST_F(EditTest, EachCodeMapsTheThreeByTwoPixels) {
  cutAt(10, 20, 3, 2);
  const std::uint32_t a = screenPixel(10, 20), b = screenPixel(11, 20), c = screenPixel(12, 20);
  const std::uint32_t d = screenPixel(10, 21), e = screenPixel(11, 21), f = screenPixel(12, 21);
  struct Case {
    const wchar_t* caption;
    std::vector<std::vector<std::uint32_t>> rows;
  };
  const Case cases[] = {
      {L"90°", {{d, a}, {e, b}, {f, c}}}, {L"270°", {{c, f}, {b, e}, {a, d}}},
      {L"180°", {{f, e, d}, {c, b, a}}},  {L"左右", {{c, b, a}, {f, e, d}}},
      {L"上下", {{d, e, f}, {a, b, c}}},
  };
  for (const auto& k : cases) {
    menuCommand(k.caption);
    ASSERT_EQ(edit().height(), static_cast<int>(k.rows.size())) << k.caption;
    ASSERT_EQ(edit().width(), static_cast<int>(k.rows[0].size())) << k.caption;
    for (int y = 0; y < edit().height(); ++y)
      for (int x = 0; x < edit().width(); ++x) EXPECT_EQ(at(x, y), k.rows[y][x]) << k.caption;
    menuCommand(L"リセット");
  }
}

TEST_F(EditTest, QuarterTurnSizesTheWindowAndKeepsTheWorkingImage) {
  main().move(6000, 3000, main().width(), main().height());
  const image::Surface cut = cutAt(100, 50, 300, 200);
  menuCommand(L"90°");
  EXPECT_EQ(edit().width(), 200);
  EXPECT_EQ(edit().height(), 300);
  EXPECT_EQ(windowPixels(), (std::pair<double, double>{238, 353}));
  EXPECT_EQ(pic().left(), 0);
  EXPECT_EQ(pic().top(), 0);
  EXPECT_TRUE(pic().topmost());
  EXPECT_EQ(pic().LabelANCHOR.toolTip(), L"X= 200 Y= 300");
  EXPECT_EQ(pic().LabelANCHOR.left(), 15 + 200);
  EXPECT_EQ(pic().LabelANCHOR.top(), 15 + 300);
  EXPECT_EQ(st().UndoWidth, 300);
  EXPECT_EQ(st().UndoHeight, 200);
  EXPECT_EQ(main().top(), 3000);  // out of view during the turn, back afterwards
  EXPECT_EQ(pic().Picture_CHANGE2.surface().pixels(), cut.pixels());
  // Undo gives back the whole picture before the turn, though it is not square.
  menuCommand(L"取り消し");
  EXPECT_EQ(edit().pixels(), cut.pixels());
  EXPECT_EQ(edit().width(), 300);
  EXPECT_EQ(windowPixels(), (std::pair<double, double>{338, 253}));
  // Scaling after a turn starts from the working image: the unturned picture.
  menuCommand(L"270°");
  pic().ResizeEditImage(150, 150);
  EXPECT_EQ(edit().width(), 150);
  EXPECT_EQ(edit().height(), 100);
  EXPECT_EQ(at(0, 0), screenPixel(101, 51));  // nearest pixel to the first one's centre
}

TEST_F(EditTest, TurnsComposeAndUndoAndResetReturnExactPictures) {
  const image::Surface cut = cutAt(20, 30, 7, 4);
  menuCommand(L"90°");
  menuCommand(L"90°");
  EXPECT_EQ(edit().pixels(), image::RotateHalf(cut).pixels());
  menuCommand(L"90°");
  menuCommand(L"90°");
  EXPECT_EQ(edit().pixels(), cut.pixels());
  EXPECT_EQ(edit().width(), 7);
  for (const wchar_t* mirror : {L"左右", L"上下"}) {
    menuCommand(mirror);
    EXPECT_NE(edit().pixels(), cut.pixels());
    menuCommand(mirror);
    EXPECT_EQ(edit().pixels(), cut.pixels());
  }
  // Undo twice is undo once: the undo image itself does not change.
  menuCommand(L"270°");
  EXPECT_NE(edit().pixels(), cut.pixels());
  menuCommand(L"取り消し");
  const image::Surface once = edit();
  menuCommand(L"取り消し");
  EXPECT_EQ(edit().pixels(), once.pixels());
  EXPECT_EQ(once.pixels(), cut.pixels());
  // Reset after a turn: the cut at its size, the handle at its corner.
  menuCommand(L"90°");
  menuCommand(L"リセット");
  EXPECT_EQ(edit().pixels(), cut.pixels());
  EXPECT_EQ(pic().LabelANCHOR.toolTip(), L"X= 7 Y= 4");
  EXPECT_EQ(pic().LabelANCHOR.left(), 15 + 7);
}

TEST_F(EditTest, UnknownCodesAndNoImageChangeNothing) {
  // Idle: no cut image, nothing to turn, and no empty picture window shows up.
  menuCommand(L"90°");
  EXPECT_FALSE(pic().visible());
  const image::Surface cut = cutAt(20, 30, 7, 4);
  app->editor().RotateQuarterTurn(L"R45");
  app->editor().RotateHalfOrFlip(L"LR");
  EXPECT_EQ(edit().pixels(), cut.pixels());
  EXPECT_EQ(edit().width(), 7);
}

TEST_F(EditTest, MosaicCoversTheDraggedSelectionAndUndoRemovesIt) {
  const image::Surface cut = cutAt(100, 50, 40, 30);
  // No selection yet: nothing happens.
  menuCommand(L"モザイクを掛ける");
  EXPECT_EQ(edit().pixels(), cut.pixels());
  // A selection dragged from (33, 15) to (20, 8): blocks at x 20 and 26 (32 > 33 - 6),
  // one row at y 8 (14 > 15 - 6).
  drag(pic().Picture_CHANGE1, 33, 15, 20, 8);
  ASSERT_EQ(main().Label始点X2.caption(), L"20");
  ASSERT_FALSE(pic().Picture_CHANGE1.focusRects().empty());
  menuCommand(L"モザイクを掛ける");
  // The first block's average, computed here from the cut, fills (20..25, 8..13) but
  // for its right column, which the second block covered.
  std::uint64_t sum[3] = {0, 0, 0};
  for (int y = 8; y < 14; ++y)
    for (int x = 20; x < 26; ++x)
      for (int k = 0; k < 3; ++k)
        sum[k] += (static_cast<std::uint32_t>(cut.pixel(x, y)) >> (8 * k)) & 0xFF;
  std::uint32_t avg = 0;
  for (int k = 0; k < 3; ++k) {
    const std::uint64_t q = sum[k] / 36, r = sum[k] % 36;
    const std::uint64_t v = (2 * r > 36 || (2 * r == 36 && (q & 1))) ? q + 1 : q;
    avg |= static_cast<std::uint32_t>(v) << (8 * k);
  }
  EXPECT_EQ(at(20, 8), avg);
  EXPECT_EQ(at(25, 14), avg);  // the fill includes its far corner row
  EXPECT_NE(at(26, 8), avg);   // the second block
  // Outside the blocks nothing changed, and the dotted band is in no pixel.
  EXPECT_EQ(at(19, 8), static_cast<std::uint32_t>(cut.pixel(19, 8)));
  EXPECT_EQ(at(20, 7), static_cast<std::uint32_t>(cut.pixel(20, 7)));
  EXPECT_EQ(at(33, 20), static_cast<std::uint32_t>(cut.pixel(33, 20)));
  EXPECT_EQ(at(20, 15), static_cast<std::uint32_t>(cut.pixel(20, 15)));
  menuCommand(L"取り消し");
  EXPECT_EQ(edit().pixels(), cut.pixels());
}

TEST_F(EditTest, ReplaceMakesTheEditImageTheOriginal) {
  const image::Surface cut = cutAt(20, 30, 7, 4);
  menuCommand(L"左右");
  const image::Surface mirrored = edit();
  sys.userActions.push_back([&] {
    EXPECT_EQ(main().LabelON_MSG_TITLE.caption(), L" 差し替え");
    EXPECT_TRUE(main().CommandON_MSG_NO.enabled());
    main().CommandON_MSG_YES.raiseClick();
  });
  menuCommand(L"元画像の差し替え");
  menuCommand(L"90°");
  menuCommand(L"リセット");
  EXPECT_EQ(edit().pixels(), mirrored.pixels());
  // Undo still returns to before the last turn.
  EXPECT_EQ(pic().Picture_CHANGE3.surface().pixels(), mirrored.pixels());
}

TEST_F(EditTest, ReplaceAnsweredNoChangesNothingAndHoldsTurnsOffWhileItAsks) {
  const image::Surface cut = cutAt(20, 30, 7, 4);
  menuCommand(L"上下");
  const image::Surface flipped = edit();
  sys.userActions.push_back([&] {
    // A turn while the question waits is held off, the handle too.
    app->editor().Turn(L"R90");
    app->editor().UndoEdit();
    pic().LabelANCHOR.raiseMouseDown({tk::kLeftButton, 0, 1, 1});
    pic().LabelANCHOR.raiseMouseMove({tk::kLeftButton, 0, 31, 21});
    EXPECT_EQ(edit().pixels(), flipped.pixels());
    main().CommandON_MSG_NO.raiseClick();
  });
  menuCommand(L"元画像の差し替え");
  EXPECT_EQ(pic().Picture_CHANGE2.surface().pixels(), cut.pixels());
  EXPECT_EQ(st().OriginalWidth, 7);
  // Answered, the commands work again.
  menuCommand(L"90°");
  EXPECT_EQ(edit().width(), 4);
}

TEST_F(EditTest, LinkModeRefusesTurnsMirrorsAndResetWithItsPrompt) {
  const image::Surface cut = cutAt(20, 30, 7, 4);
  st().LinkModeActive = program::kTrue;
  for (const wchar_t* caption : {L"90°", L"180°", L"270°", L"左右", L"上下", L"リセット"}) {
    sys.userActions.push_back([&] {
      EXPECT_EQ(main().LabelON_MSG_TITLE.caption(), L" 設定未終了");
      EXPECT_FALSE(main().CommandON_MSG_NO.enabled());
      main().CommandON_MSG_YES.raiseClick();
    });
    menuCommand(caption);
    EXPECT_TRUE(sys.userActions.empty()) << caption;
    EXPECT_EQ(edit().pixels(), cut.pixels()) << caption;
  }
}

}  // namespace
}  // namespace pelnoro
