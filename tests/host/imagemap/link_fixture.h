// A cut waiting in the picture window, link mode's menu commands and the link-target
// dialog's choices, for the tests of link mode and of the dialog.
#pragma once

#include <optional>
#include <string>

#include "app_fixture.h"
#include "dialogs/form_text_view.h"
#include "imagemap/form_cl_container.h"
#include "system/text_file.h"

namespace pelnoro::testing {

class LinkTest : public AppTest {
 protected:
  void SetUp() override {
    patternScreen(1280, 1024);
    sys.putFile(L"C:\\clips\\keep.txt", "x");
    sys.putFolder(L"C:\\pics");
    sys.putPicture(L"C:\\pics\\photo.large.jpg", image::Surface(400, 100, 0x123456));
    sys.putFile(L"C:\\pics\\notes.txt", "n");
    sys.putFile(L"C:\\Program Files\\Pelnoro\\pelnoro.ini",
                sys::toCp932(L"画像形式=PNG\r\n保存先=C:\\clips\\\r\nファイル名=TEST\r\n"
                             L"自動ナンバリング=しない\r\n"));
    sys.clock = {2003, 1, 8, 9, 5, 7};
    start();
    main().Imageシャッターボタン.raiseClick();
    drag(pic().PicturePic_Screen, 100, 50, 400, 250);
    main().Image切り取りボタン.raiseClick();
  }
  imagemap::FormCL_CONTAINER& dialog() { return app->linkTarget(); }
  const std::wstring& view() { return app->textView().TextTEXT.text(); }
  // Marks an area on the cut and runs リンクの設定.
  void area(double x0, double y0, double x1, double y1) {
    drag(pic().Picture_CHANGE1, x0, y0, x1, y1);
    menuCommand(L"リンクの設定");
  }
  // Chooses a file of C:\pics in the dialog and confirms it.
  void choose(const std::wstring& name) {
    auto& d = dialog();
    d.Dirコンテナ.setPath(L"C:\\pics");
    const auto& rows = d.Fileコンテナ.items();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i] == name) d.Fileコンテナ.clickRow(static_cast<int>(i));
    }
    ASSERT_EQ(d.Textリンクターゲット.text(), L"C:\\pics\\" + name);
    d.CommandコンテナOK.raiseClick();
  }
  void finish(bool yes) {
    sys.userActions.push_back([this, yes] {
      EXPECT_EQ(main().LabelON_MSG_TITLE.caption(), L" リンク設定終了");
      (yes ? main().CommandON_MSG_YES : main().CommandON_MSG_NO).raiseClick();
    });
    menuCommand(L"設定終了");
  }
  std::optional<std::wstring> html(const std::wstring& path = L"C:\\clips\\TEST.html") {
    const auto bytes = sys.file(path);
    if (!bytes) return std::nullopt;
    return sys::fromCp932(*bytes);
  }
};

// The head of the document of every run here.
inline constexpr wchar_t kHead[] =
    L"<html><p>\r\n"
    L"<img src=\"TEST.PNG\" width=\"300\" height=\"200\" border=\"0\" "
    L"usemap=\"#lm030108_090507\">\r\n"
    L"<map name=\"lm030108_090507\">\r\n";

}  // namespace pelnoro::testing
