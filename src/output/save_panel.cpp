#include "output/save_panel.h"

#include "app/application.h"
#include "app/form_pelnoro.h"

namespace pelnoro::output {

void HideSavePanel(app::Application& app) {
  auto& m = app.main();
  for (tk::Control* c : std::initializer_list<tk::Control*>{
           &m.Shapeツールウィンド背景, &m.Labelファイル名変更, &m.Labelファイル名, &m.Labelフォルダ変更,
           &m.Label保存フォルダ, &m.Label保存実行, &m.Label保存キャンセル, &m.Textファイル名変更}) {
    c->setVisible(false);
  }
}

}  // namespace pelnoro::output

namespace pelnoro::app {

void FormPELNORO::ShowSavePanel() {
  for (tk::Control* c : std::initializer_list<tk::Control*>{
           &Shapeツールウィンド背景, &Labelファイル名変更, &Labelファイル名, &Labelフォルダ変更,
           &Label保存フォルダ, &Label保存実行, &Label保存キャンセル}) {
    c->setVisible(true);
  }
}

}  // namespace pelnoro::app
