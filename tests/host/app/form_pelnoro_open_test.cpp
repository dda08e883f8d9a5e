// A picture file opened in place of a cut, and saved again.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "dialogs/texts.h"
#include "imagemap/form_cl_container.h"
#include "program/run_error.h"
#include "system/text_file.h"

namespace pelnoro {
namespace {

class OpenTest : public testing::AppTest {
 protected:
  void SetUp() override {
    sys.putFile(L"C:\\clips\\keep.txt", "x");
    sys.putFolder(L"C:\\pics");
    sys.putFile(L"C:\\Program Files\\Pelnoro\\pelnoro.ini",
                sys::toCp932(L"画像形式=PNG\r\n保存先=C:\\clips\\\r\nファイル名=TEST\r\n"));
    start();
  }
  imagemap::FormCL_CONTAINER& dialog() { return app->linkTarget(); }
  // 画像開く, the file chosen in C:\pics (or the path typed), OK.
  void open(const std::wstring& name, const std::wstring& typed = L"") {
    ASSERT_EQ(main().Label保存開く.caption(), L"画像開く");
    main().Label保存開く.raiseClick();
    ASSERT_TRUE(dialog().visible());
    ASSERT_EQ(dialog().LabelCONT_NAME.caption(), L"　開く");
    dialog().Dirコンテナ.setPath(L"C:\\pics");
    const auto& rows = dialog().Fileコンテナ.items();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i] == name) dialog().Fileコンテナ.clickRow(static_cast<int>(i));
    }
    if (!typed.empty()) dialog().Textリンクターゲット.setText(typed);
    dialog().CommandコンテナOK.raiseClick();
  }
  static image::Surface picture(int w, int h) {
    image::Surface s(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) s.setPixel(x, y, static_cast<std::uint32_t>(x * 7 + y * 1000));
    return s;
  }
};

TEST_F(OpenTest, APictureBecomesTheImageWaitingToBeSaved) {
  // The dialog stands in the middle of the screen in its open role.
  sys.putPicture(L"C:\\pics\\photo.jpg", picture(320, 200));
  open(L"photo.jpg");
  auto& edit = pic().Picture_CHANGE1;
  EXPECT_EQ(edit.left(), 15);
  EXPECT_EQ(edit.top(), 15);
  EXPECT_EQ(edit.surface().pixels(), picture(320, 200).pixels());
  EXPECT_EQ(pic().width(), 360 * 15);
  EXPECT_EQ(pic().height(), 250 * 15);
  EXPECT_EQ(pic().left(), 32);
  EXPECT_EQ(pic().top(), 16 * 15);
  EXPECT_TRUE(pic().visible());
  EXPECT_EQ(pic().caption(), L" Pelnoro");
  EXPECT_EQ(pic().LabelANCHOR.toolTip(), L"X= 320 Y= 200");
  EXPECT_EQ(pic().Picture_CHANGE2.surface().pixels(), edit.surface().pixels());
  EXPECT_EQ(st().OriginalWidth, 320);
  EXPECT_EQ(st().UndoHeight, 200);
  EXPECT_EQ(st().SaveFileName, L"photo.jpg");
  EXPECT_EQ(box().Text保存ファイル名.text(), L"photo");
  // The save folder of the settings, not the picture's.
  EXPECT_EQ(main().Label保存フォルダ.caption(), L"C:\\clips\\");
  EXPECT_EQ(box().Label保存先.caption(), L"C:\\clips\\");
  EXPECT_EQ(main().Labelファイル名.caption(), L"photo.jpg");
  EXPECT_EQ(main().Label保存開く.caption(), L"保存");
  EXPECT_TRUE(main().Label保存開く.enabled());
  EXPECT_EQ(dialog().LabelCONT_NAME.caption(), L"　リンクファイル");
  EXPECT_FALSE(dialog().visible());
  EXPECT_EQ(st().CaptureActive, program::kFalse);

  // Saved again: the name's own format, here JPEG, whatever format is chosen.
  main().Label保存開く.raiseClick();
  main().Label保存実行.raiseClick();
  const auto jpeg = sys.file(L"C:\\clips\\photo.jpg");
  ASSERT_TRUE(jpeg);
  EXPECT_EQ(jpeg->substr(0, 2), "\xFF\xD8");
}

TEST_F(OpenTest, FileNamesUpToTheFirstDotAndForeignExtensions) {
  sys.putPicture(L"C:\\pics\\a.b.jpg", picture(4, 3));
  sys.putPicture(L"C:\\pics\\noext", picture(4, 3));
  sys.putPicture(L"C:\\pics\\anim.gif", picture(4, 3));
  open(L"a.b.jpg");
  EXPECT_EQ(box().Text保存ファイル名.text(), L"a");
  main().Labelクリア.raiseClick();
  // A name without "." is the whole name; a format the program does not write gets
  // the chosen format's extension, so the file and its name agree.
  open(L"noext");
  EXPECT_EQ(box().Text保存ファイル名.text(), L"noext");
  EXPECT_EQ(st().SaveFileName, L"noext.PNG");
  main().Labelクリア.raiseClick();
  box().OptionBMP.setValue(true);
  open(L"anim.gif");
  EXPECT_EQ(st().SaveFileName, L"anim.BMP");
  main().Label保存開く.raiseClick();
  main().Label保存実行.raiseClick();
  EXPECT_EQ(sys.file(L"C:\\clips\\anim.BMP")->substr(0, 2), "BM");
}

TEST_F(OpenTest, ANameTheSettingsFileCannotHoldIsUsedButNotKept) {
  sys.putPicture(L"C:\\pics\\shot.png", picture(4, 3));
  sys.putPicture(L"C:\\pics\\e\U0001F600.png", picture(4, 3));
  sys.putPicture(L"C:\\pics\\\uD55C\uAE00.png", picture(4, 3));
  open(L"shot.png");
  EXPECT_TRUE(sys.messages.empty());
  main().Labelクリア.raiseClick();
  // Each such name is told once, naming the last one the file can hold.
  for (const std::wstring base : {L"e\U0001F600", L"\uD55C\uAE00"}) {
    sys.messages.clear();
    open(base + L".png");
    ASSERT_EQ(sys.messages.size(), 1u);
    EXPECT_EQ(sys.messages[0].text, dialogs::text::NameNotStorable(base, L"shot"));
    EXPECT_EQ(sys.messages[0].title, L"ファイル名確認");
    // The session saves under the name itself.
    main().Label保存開く.raiseClick();
    main().Label保存実行.raiseClick();
    EXPECT_TRUE(sys.file(L"C:\\clips\\" + base + L".png"));
  }
  main().Label終了.raiseClick();
  const auto ini = sys::readTextLines(sys, L"C:\\Program Files\\Pelnoro\\pelnoro.ini");
  ASSERT_TRUE(ini);
  EXPECT_EQ(ini->at(1), L"ファイル名=shot");
}

TEST_F(OpenTest, TheSelectedOrTypedPathItselfIsOpened) {
  sys.putPicture(L"C:\\pics\\first.png", picture(10, 10));
  sys.putPicture(L"C:\\elsewhere\\typed.png", picture(6, 5));
  // The preview shows first.png, but the typed path is what opens.
  open(L"first.png", L"C:\\elsewhere\\typed.png");
  EXPECT_EQ(pic().Picture_CHANGE1.surface().width(), 6);
  EXPECT_EQ(st().SaveFileName, L"typed.png");
}

TEST_F(OpenTest, NoPictureIsReportedAndNothingChanges) {
  sys.putFile(L"C:\\pics\\notes.txt", "n");
  open(L"notes.txt");
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].title, L"ｴﾗｰ");
  EXPECT_EQ(sys.messages[0].style, 0u);
  EXPECT_EQ(sys.messages[0].text,
            program::ErrorMessageText(481, L"Pelnoro", L"画像ファイルとして読み込めません。"));
  EXPECT_EQ(sys.messages[0].text.rfind(L"ｴﾗｰ番号  481Pelnoro でｴﾗｰが発生しました。\r", 0), 0u);
  EXPECT_TRUE(dialog().visible());
  EXPECT_EQ(dialog().LabelCONT_NAME.caption(), L"　開く");
  EXPECT_FALSE(pic().visible());
  EXPECT_EQ(main().Label保存開く.caption(), L"画像開く");
  EXPECT_EQ(box().Text保存ファイル名.text(), L"TEST");
  // Too large: refused before it is read, with its size in the message.
  sys.putPicture(L"C:\\pics\\huge.png", image::Surface(16385, 2));
  open(L"huge.png");
  ASSERT_EQ(sys.messages.size(), 2u);
  EXPECT_NE(sys.messages[1].text.find(L"16385"), std::wstring::npos);
  EXPECT_FALSE(pic().visible());
}

TEST_F(OpenTest, ASaveOverAnExistingFileAsksFirst) {
  // Opened from the save folder itself: saving would replace its own source.
  sys.putPicture(L"C:\\clips\\shot.png", picture(8, 8));
  const auto before = sys.file(L"C:\\clips\\shot.png");
  main().Label保存開く.raiseClick();
  dialog().Textリンクターゲット.setText(L"C:\\clips\\shot.png");
  dialog().CommandコンテナOK.raiseClick();
  ASSERT_TRUE(pic().visible());
  main().Label保存開く.raiseClick();
  sys.answers.push_back(sys::kIdNo);
  main().Label保存実行.raiseClick();
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text, L"同じ名前のファイルがあります。上書きしますか?");
  EXPECT_EQ(sys.messages[0].style, sys::kMbYesNo | sys::kMbDefButton2);
  EXPECT_EQ(sys.file(L"C:\\clips\\shot.png"), before);
  EXPECT_TRUE(main().Label保存実行.visible());  // the panel stays for another name
  sys.answers.push_back(sys::kIdYes);
  main().Label保存実行.raiseClick();
  EXPECT_EQ(sys.file(L"C:\\clips\\shot.png")->substr(1, 3), "PNG");
  EXPECT_FALSE(pic().visible());
}

TEST_F(OpenTest, AnOpenedPictureIsEditedLikeACut) {
  sys.putPicture(L"C:\\pics\\photo.png", picture(30, 20));
  open(L"photo.png");
  menuCommand(L"90°");
  EXPECT_EQ(pic().Picture_CHANGE1.surface().width(), 20);
  menuCommand(L"リセット");
  EXPECT_EQ(pic().Picture_CHANGE1.surface().pixels(), picture(30, 20).pixels());
}

TEST_F(OpenTest, APictureLargerThanTheScreenKeepsItsPixelsInAWindowOnTheScreen) {
  sys.screenW = 1024;
  sys.screenH = 768;
  sys.putPicture(L"C:\\pics\\big.png", picture(2000, 3000));
  open(L"big.png");
  EXPECT_EQ(pic().Picture_CHANGE1.surface().height(), 3000);
  EXPECT_LE(pic().left() + pic().width(), 1024 * 15);
  EXPECT_LE(pic().top() + pic().height(), 768 * 15);
  menuCommand(L"90°");
  EXPECT_LE(pic().top() + pic().height(), 768 * 15);
  EXPECT_EQ(pic().Picture_CHANGE1.surface().width(), 3000);
}

}  // namespace
}  // namespace pelnoro
