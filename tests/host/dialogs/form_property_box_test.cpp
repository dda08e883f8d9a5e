// The settings dialog: its pages, controls, handlers, and the settings it
// holds for the cut and the settings file.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "dialogs/form_fld_browse.h"
#include "system/text_file.h"

namespace pelnoro {
namespace {

class PropertyBoxTest : public testing::AppTest {
 protected:
  void SetUp() override {
    sys.putFolder(L"C:\\Program Files\\Pelnoro");
    start();
  }
  void menu(const std::wstring& row) {
    const auto& items = main().Listメインメニュー.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i] == row) return main().Listメインメニュー.clickRow(static_cast<int>(i));
    }
    FAIL() << "no menu row";
  }
};

TEST_F(PropertyBoxTest, DesignValuesCaptionsAndStates) {
  auto& b = box();
  EXPECT_EQ(b.caption(), L"プロパティ");
  EXPECT_EQ(b.borderStyle(), tk::BorderStyle::None);
  EXPECT_EQ(b.Label4.caption(), L" 設定");
  EXPECT_EQ(b.picture()->width(), 600);
  EXPECT_EQ(b.picture()->height(), 300);

  EXPECT_EQ(b.Frame保存形式.caption(), L"保存形式");
  EXPECT_EQ(b.Optionクリップボード.caption(), L"クリップボード");
  EXPECT_EQ(b.OptionJPEG.caption(), L"JPEG");
  EXPECT_EQ(b.OptionPNG.caption(), L"PNG");
  EXPECT_EQ(b.OptionBMP.caption(), L"BMP");
  EXPECT_TRUE(b.OptionBMP.value());
  EXPECT_EQ(b.Frame保存ファイル名.caption(), L"ファイル名");
  EXPECT_EQ(b.Text保存ファイル名.text(), L"TEST");
  EXPECT_EQ(b.Check自動ナンバリング.caption(), L"自動ナンバリング");
  EXPECT_EQ(b.Check自動ナンバリング.value(), 1);
  EXPECT_EQ(b.Frame保存先.caption(), L"保存先");
  EXPECT_EQ(b.Label保存先.backColor(), 0x00FFFFFFu);
  EXPECT_EQ(b.Command保存先選択.caption(), L"...");
  EXPECT_EQ(b.Label1.caption(), L"履歴");

  EXPECT_EQ(b.FramePNG解像度.caption(), L"PNG圧縮率");
  EXPECT_EQ(b.Option最高の圧縮率.caption(), L"最高圧縮");
  EXPECT_EQ(b.Option低圧縮率.caption(), L"低圧縮率");
  EXPECT_EQ(b.Option通常.caption(), L"通常圧縮");
  EXPECT_TRUE(b.Option通常.value());
  EXPECT_EQ(b.Frame解像度.caption(), L"JPEG圧縮率");
  EXPECT_EQ(b.Frame解像度.toolTip(), L"JPEG画像のみ有効");
  EXPECT_EQ(b.CheckJPEGプログレッシブ.caption(), L"プログレッシブタイプで保存する");
  EXPECT_EQ(b.CheckJPEGプログレッシブ.value(), 0);
  EXPECT_EQ(b.Label解像度.backColor(), 0x00FFFFFFu);
  EXPECT_EQ(b.VScrollJPEG_解像度.min(), 0);
  EXPECT_EQ(b.VScrollJPEG_解像度.max(), 100);
  EXPECT_EQ(b.VScrollJPEG_解像度.width(), 255);
  EXPECT_EQ(b.VScrollJPEG_解像度.height(), 255);
  EXPECT_EQ(b.VScrollJPEG_解像度.left(), b.Label解像度.left() + b.Label解像度.width());
  EXPECT_EQ(b.Label3.caption(), L"値が大きくなるほど高画質で低圧縮率");

  EXPECT_EQ(b.Frame画像にリンク.caption(), L"リンク範囲の形状");
  EXPECT_EQ(b.Optionマップ四角.caption(), L"四角形");
  EXPECT_TRUE(b.Optionマップ四角.value());
  EXPECT_EQ(b.Optionマップ丸.caption(), L"円形");
  EXPECT_EQ(b.Optionマップ多角形.caption(), L"多角形");
  EXPECT_EQ(b.Frame1.caption(), L"");
  EXPECT_EQ(b.Checkテキスト出力.caption(), L"テキストに出力");
  EXPECT_EQ(b.Checkテキスト出力.value(), 1);
  EXPECT_EQ(b.CheckHTML作成.caption(), L"HTMLファイルを作成");
  EXPECT_EQ(b.CheckHTML作成.value(), 0);
}

TEST_F(PropertyBoxTest, CircleAndPolygonCannotBeChosen) {
  box().Optionマップ丸.userClick();
  box().Optionマップ多角形.userClick();
  EXPECT_FALSE(box().Optionマップ丸.value());
  EXPECT_FALSE(box().Optionマップ多角形.value());
  EXPECT_TRUE(box().Optionマップ四角.value());
}

// Every control lies inside its container, below a caption, and no two
// controls of one container overlap (the four pages share one place on purpose).
void ExpectNeatLayout(const tk::Container& c) {
  const auto& kids = c.children();
  const bool captioned =
      c.kind() == tk::Kind::Frame && !static_cast<const tk::Frame&>(c).caption().empty();
  for (std::size_t i = 0; i < kids.size(); ++i) {
    const tk::Control* k = kids[i];
    SCOPED_TRACE(::testing::Message() << "child " << i << " of a container with " << kids.size());
    EXPECT_GE(k->left(), 0);
    EXPECT_GE(k->top(), captioned ? 225 : 0);
    EXPECT_LE(k->left() + k->width(), c.width());
    EXPECT_LE(k->top() + k->height(), c.height());
  }
  auto isPage = [&](const tk::Control* k) {
    return c.kind() == tk::Kind::Form && k->kind() == tk::Kind::Frame;
  };
  for (std::size_t i = 0; i < kids.size(); ++i) {
    for (std::size_t j = i + 1; j < kids.size(); ++j) {
      const tk::Control *a = kids[i], *b = kids[j];
      if (isPage(a) && isPage(b)) continue;
      const bool apart = a->left() + a->width() <= b->left() ||
                         b->left() + b->width() <= a->left() ||
                         a->top() + a->height() <= b->top() || b->top() + b->height() <= a->top();
      EXPECT_TRUE(apart) << "children " << i << " and " << j << " of " << kids.size() << " overlap";
    }
  }
  for (const tk::Control* k : kids) {
    if (k->kind() == tk::Kind::Frame) ExpectNeatLayout(static_cast<const tk::Container&>(*k));
  }
}

TEST_F(PropertyBoxTest, PagesAreLaidOutNeatly) {
  ExpectNeatLayout(box());
  for (tk::Frame* page : {&box().Frame動作, &box().Frame画像, &box().FrameクリッカブルMP,
                          &box().Frameプロパティリスト}) {
    EXPECT_EQ(page->left(), 120);
    EXPECT_EQ(page->top(), 480);
  }
}

TEST_F(PropertyBoxTest, SpinnerPositionIsOneHundredMinusQuality) {
  auto& bar = box().VScrollJPEG_解像度;
  auto& label = box().Label解像度;
  bar.setValue(0);
  EXPECT_EQ(label.caption(), L"100");
  bar.setValue(100);
  EXPECT_EQ(label.caption(), L"0");
  bar.setValue(37);
  EXPECT_EQ(label.caption(), L"63");
  // The upper arrow raises the quality by one.
  bar.setValue(bar.value() - 1);
  EXPECT_EQ(label.caption(), L"64");

  // Whatever the bar's range, the label stays within 0..100.
  bar.setRange(0, 300);
  bar.setValue(10);
  EXPECT_EQ(label.caption(), L"100");
  bar.setRange(100, -20);  // a reversed bar
  bar.setValue(100);
  EXPECT_EQ(label.caption(), L"0");
}

TEST_F(PropertyBoxTest, LoadShowsEverySettingAndTheSpinnerFollowsTheQuality) {
  program::Settings s;
  s.format = program::SaveFormat::kPng;
  s.fileName = L"b=c";
  s.autoNumbering = false;
  s.saveFolder = L"D:\\x\\";
  s.jpegQuality = L"80";
  s.pngLevel = 1;
  s.mapToText = false;
  s.mapToHtml = true;
  box().Load(s);
  EXPECT_TRUE(box().OptionPNG.value());
  EXPECT_FALSE(box().OptionBMP.value());
  EXPECT_EQ(box().Check自動ナンバリング.value(), 0);
  EXPECT_EQ(box().VScrollJPEG_解像度.value(), 20);
  EXPECT_TRUE(box().Option低圧縮率.value());
  const program::Settings back = box().Current();
  EXPECT_EQ(back.format, s.format);
  EXPECT_EQ(back.fileName, s.fileName);
  EXPECT_EQ(back.autoNumbering, s.autoNumbering);
  EXPECT_EQ(back.saveFolder, s.saveFolder);
  EXPECT_EQ(back.jpegQuality, s.jpegQuality);
  EXPECT_EQ(back.pngLevel, s.pngLevel);
  EXPECT_EQ(back.mapToText, s.mapToText);
  EXPECT_EQ(back.mapToHtml, s.mapToHtml);
  // A quality that is no number reads as 0 and the spinner's label follows.
  s.jpegQuality = L"abc";
  box().Load(s);
  EXPECT_EQ(box().VScrollJPEG_解像度.value(), 100);
  EXPECT_EQ(box().Label解像度.caption(), L"0");
}

TEST_F(PropertyBoxTest, ProgressiveFollowsOnlyClicks) {
  menu(L"＋設定");
  menu(L" 　画像");
  EXPECT_TRUE(box().Frame画像.visible());
  EXPECT_EQ(st().JpegProgressive, program::kFalse);
  box().CheckJPEGプログレッシブ.userClick();
  EXPECT_EQ(st().JpegProgressive, program::kTrue);
  box().CheckJPEGプログレッシブ.userClick();
  EXPECT_EQ(st().JpegProgressive, program::kFalse);
  // Setting the box from code is no click.
  box().CheckJPEGプログレッシブ.setValue(1);
  EXPECT_EQ(st().JpegProgressive, program::kFalse);
}

TEST_F(PropertyBoxTest, HistoryRowBecomesTheSaveFolderAsItIs) {
  auto& list = box().List保存履歴;
  ASSERT_EQ(list.listCount(), 16);
  list.setList(2, L"D:\\shots\\");
  main().Label保存フォルダ.setCaption(L"C:\\");
  list.clickRow(2);
  EXPECT_EQ(box().Label保存先.caption(), L"D:\\shots\\");
  list.clickRow(1);
  EXPECT_EQ(box().Label保存先.caption(), L" ");
  // Only the box's own label changes.
  EXPECT_EQ(main().Label保存フォルダ.caption(), L"C:\\");

  box().Label保存先.raiseMouseMove({});
  EXPECT_EQ(box().Label保存先.toolTip(), L" ");
}

TEST_F(PropertyBoxTest, ChoicesMadeHereAreUsedByTheCutAndWrittenAtExit) {
  sys.putFolder(L"C:\\clip");
  patternScreen(640, 400);
  menu(L"＋設定");
  menu(L" 　動作");
  ASSERT_TRUE(box().Frame動作.visible());
  box().OptionPNG.userClick();
  box().Text保存ファイル名.setText(L"shot");
  box().Check自動ナンバリング.userClick();
  box().Command保存先選択.raiseClick();
  auto& chooser = app->folderChooser();
  ASSERT_TRUE(chooser.visible());
  chooser.TextFLD_name.setText(L"C:\\clip\\new");
  sys.answers.push_back(sys::kIdYes);
  chooser.CommandFLD_br_OK.raiseClick();
  ASSERT_FALSE(chooser.visible());
  menu(L" 　画像");
  box().VScrollJPEG_解像度.setValue(37);

  main().Imageシャッターボタン.raiseClick();
  drag(pic().PicturePic_Screen, 10, 10, 60, 40);
  main().Image切り取りボタン.raiseClick();
  EXPECT_EQ(st().SaveFileName, L"shot.PNG");
  EXPECT_EQ(pic().Picture_CHANGE1.toolTip(), L"C:\\clip\\new\\shot.PNG");

  main().Label終了_Click();
  const auto ini = sys::readTextLines(sys, L"C:\\Program Files\\Pelnoro\\pelnoro.ini");
  ASSERT_TRUE(ini);
  ASSERT_GE(ini->size(), 5u);
  EXPECT_EQ((*ini)[0], L"画像形式=PNG");
  EXPECT_EQ((*ini)[1], L"ファイル名=shot");
  EXPECT_EQ((*ini)[2], L"自動ナンバリング=しない");
  EXPECT_EQ((*ini)[3], L"保存先=C:\\clip\\new\\");
  EXPECT_EQ((*ini)[4], L"解像度=63");
}

}  // namespace
}  // namespace pelnoro
