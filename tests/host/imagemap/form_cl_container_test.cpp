// The link-target dialog in its link role: Cancel, OK without a target, the pictures it
// measures. Its open role: app/form_pelnoro_open_test.cpp.
#include "imagemap/form_cl_container.h"

#include <gtest/gtest.h>

#include "imagemap/link_fixture.h"

namespace pelnoro {
namespace {

using LinkDialogTest = testing::LinkTest;

TEST_F(LinkDialogTest, CancelClearsTheSelectionAndOkNeedsATarget) {
  area(12, 30, 140, 96);
  dialog().CommandコンテナCANCEL.raiseClick();
  EXPECT_FALSE(dialog().visible());
  EXPECT_EQ(main().Label始点X2.caption(), L"");
  area(12, 30, 140, 96);
  dialog().Textリンクターゲット.setText(L"");
  dialog().CommandコンテナOK.raiseClick();
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text, L"ファイル又はアドレスが指定されていません。");
  EXPECT_EQ(sys.messages[0].title, L"未指定");
  EXPECT_EQ(st().LinkModeActive, program::kFalse);
  // A typed web address: a plain entry, as typed.
  dialog().Textリンクターゲット.setText(L"https://example.com/a?b=1&c=2");
  dialog().CommandコンテナOK.raiseClick();
  EXPECT_NE(view().find(L"href=\"https://example.com/a?b=1&amp;c=2\">"), std::wstring::npos);
}

TEST_F(LinkDialogTest, LineBreaksAndControlCharactersInTheTargetAreTakenOut) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"C:\\clips\\pho\r\nto.png", L"C:\\clips\\photo.png"},
      {L"\thttps://example.com/a\nb\x7F\x85\u2028", L"https://example.com/ab"},
      {L"C:\\pics\\写真.png", L"C:\\pics\\写真.png"},
  };
  for (const auto& [typed, used] : cases) {
    area(12, 30, 140, 96);
    dialog().Textリンクターゲット.setText(typed);
    dialog().CommandコンテナOK.raiseClick();
    EXPECT_EQ(dialog().Textリンクターゲット.text(), used);
  }
  EXPECT_NE(view().find(L"href=\"file:///C:/clips/photo.png\">"), std::wstring::npos);
  EXPECT_NE(view().find(L"href=\"https://example.com/ab\">"), std::wstring::npos);
  EXPECT_EQ(view().find(L"&#"), std::wstring::npos);  // no control character written
  // Only control characters: nothing is left, and nothing is written.
  area(12, 30, 140, 96);
  dialog().Textリンクターゲット.setText(L"\r\n");
  const std::wstring before = view();
  dialog().CommandコンテナOK.raiseClick();
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].text, L"ファイル又はアドレスが指定されていません。");
  EXPECT_EQ(view(), before);
}

TEST_F(LinkDialogTest, AnAreaDraggedBesideTheCutStaysOnIt) {
  // The cut is 300 x 200: a drag ending below and right of it ends at its last pixel.
  area(250, 170, 330, 206);
  dialog().Textリンクターゲット.setText(L"#a");
  dialog().CommandコンテナOK.raiseClick();
  EXPECT_NE(view().find(L"coords=\"250,170,299,199\""), std::wstring::npos) << view();
}

TEST_F(LinkDialogTest, OkUsesThePictureMeasuredForThePreviewWithoutLoadingItAgain) {
  area(12, 30, 140, 96);
  auto& d = dialog();
  d.Dirコンテナ.setPath(L"C:\\pics");
  d.Fileコンテナ.clickRow(1);  // photo.large.jpg
  const std::size_t loads = sys.pictureRequests.size();
  d.CommandコンテナOK.raiseClick();
  EXPECT_EQ(sys.pictureRequests.size(), loads);
  EXPECT_NE(view().find(L"\"width=424,height=124\""), std::wstring::npos);
  // A typed target is asked about: a picture there opens at the measured size.
  sys.putPicture(L"C:\\pics\\typed.png", image::Surface(10, 10, 0));
  area(12, 30, 140, 96);
  d.Textリンクターゲット.setText(L"C:\\pics\\typed.png");
  d.CommandコンテナOK.raiseClick();
  EXPECT_EQ(sys.pictureRequests.size(), loads + 1);
  EXPECT_NE(
      view().find(L"function Opentyped(){win=window.open(\"file:///C:/pics/typed.png\",\"new\","
                  L"\"width=424,height=124\");}"),
      std::wstring::npos);
}

}  // namespace
}  // namespace pelnoro
