#!/usr/bin/env bash
# The property box as a user meets it: the 設定 group of the menu opens its four
# pages; on 動作 the format becomes PNG and "..." opens the folder chooser, where a
# new folder is typed and created on the way (after a No, then a Yes); the exit
# writes both choices to pelnoro.ini. Screenshots of every page and of the chooser
# go to the artifacts for a look.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

COMMENT='※このファイルを人為的に再編集した場合の動作は保証されません。'

# chooser_text_set TEXT: replaces what the chooser's text box holds, by keyboard.
chooser_text_set() {
  e2e_click_child フォルダの選択 Edit "$(child_text フォルダの選択 Edit)" || return 1
  drv key フォルダの選択 end shift+home delete >/dev/null
  drv type フォルダの選択 "$1" >/dev/null
}

folder_state() {
  if [ -d "$1" ]; then
    echo directory
  elif [ -e "$1" ]; then
    echo other
  else
    echo missing
  fi
}

menu_rows() { e2e_list_rows "$list" | paste -sd'|'; }

property_list() {
  e2e_list_rows "$(e2e_child プロパティ ListBox "" | cut -d' ' -f1)" | paste -sd'|'
}

e2e_begin property_box

e2e_case "settings pages, PNG and a new save folder through the chooser, kept at exit"
clips_folder
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=JPEG' 'ファイル名=shot' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=75' '現在の位置XY=9000-1200'
e2e_start_app
pid=$E2E_LAST_PID
if ! drv wait-window Pelnoro --timeout 60000 >/dev/null; then
  e2e_fail "window \"Pelnoro\" did not appear"
  e2e_finish
fi
list="$(menu_list)"
e2e_eq "menu rows at the start" "＋ツール|＋設定" "$(menu_rows)"
e2e_list_click "$list" "＋設定" || e2e_fail "could not click ＋設定"
opened="＋ツール|－設定| 　動作| 　画像| 　クリッカブルマップ| 　プロパティリスト"
e2e_eq "menu rows with 設定 open" "$opened" "$(e2e_poll "$opened" 10 menu_rows)"
e2e_eq "property box hidden before a page is chosen" 0 "$(drv count プロパティ | field count)"

# Each page, by its row, with a control of its own shown and one of another page hidden.
PAGES=(動作 画像 クリッカブルマップ プロパティリスト)
OWN=("Button|PNG" "Button|プログレッシブタイプで保存する" "Button|四角形" "ListBox|")
FOREIGN=("Button|四角形" "Button|PNG" "Button|プログレッシブタイプで保存する" "Button|PNG")
for i in 0 1 2 3; do
  page="${PAGES[$i]}"
  e2e_list_click "$list" "　$page" || { e2e_fail "no row $page"; continue; }
  if ! drv wait-window プロパティ --timeout 10000 >/dev/null; then
    e2e_fail "page $page: no property box"
    continue
  fi
  IFS='|' read -r cls text <<<"${OWN[$i]}"
  e2e_eq "page $page shows its $cls \"$text\"" 1 "$(e2e_poll 1 10 e2e_shown プロパティ "$cls" "$text")"
  IFS='|' read -r cls text <<<"${FOREIGN[$i]}"
  e2e_eq "page $page hides the other page's \"$text\"" 0 "$(e2e_shown プロパティ "$cls" "$text")"
  e2e_note "screenshot: $(e2e_screenshot "page-$((i + 1))")"
done

# The property list mirrors the settings the program started with.
e2e_eq "property list" \
  '画像形式=JPEG|ファイル名=shot|自動ナンバリング=する|保存先=C:\clips\|解像度=75|現在の位置XY=9000-1200' \
  "$(property_list)"

e2e_list_click "$list" "　動作"
e2e_await 1 10 e2e_shown プロパティ Button PNG
e2e_eq "JPEG chosen at the start" 1 "$(e2e_checked プロパティ Button JPEG)"
e2e_click_child プロパティ Button PNG
e2e_eq "PNG chosen after its click" 1 "$(e2e_poll 1 10 e2e_checked プロパティ Button PNG)"
e2e_eq "JPEG no longer chosen" 0 "$(e2e_poll 0 10 e2e_checked プロパティ Button JPEG)"

e2e_click_child プロパティ Button ... || e2e_fail "no \"...\" button"
if drv wait-window フォルダの選択 --timeout 10000 >/dev/null; then
  e2e_eq "chooser text box starts on the save folder" 'C:\clips\' "$(child_text フォルダの選択 Edit)"
  e2e_note "screenshot: $(e2e_screenshot folder-chooser)"

  # No: nothing is created and the chooser stays for another try.
  chooser_text_set 'C:\clips\nope'
  e2e_eq "text box after typing" 'C:\clips\nope' \
    "$(e2e_poll 'C:\clips\nope' 10 child_text フォルダの選択 Edit)"
  e2e_click_child フォルダの選択 Button OK
  box="$(drv msgbox --timeout 10000)"
  e2e_eq "question" '[C:\clips\nope]フォルダーを作成しますか?' "$(field text <<<"$box")"
  e2e_eq "question title" フォルダー確認 "$(field title <<<"$box")"
  e2e_eq "question buttons" "6 はい(Y)|7 いいえ(N)" \
    "$(sed -n 's/^button=//p' <<<"$box" | tr -d '\r' | paste -sd'|')"
  e2e_note "screenshot: $(e2e_screenshot create-question)"
  drv press いいえ >/dev/null || e2e_fail "could not answer No"
  drv wait-gone フォルダー確認 --class '#32770' --timeout 10000 >/dev/null
  e2e_eq "chooser still open after No" 1 "$(drv count フォルダの選択 | field count)"

  # Yes: the folder is made and becomes the save folder.
  chooser_text_set 'C:\clips\new'
  e2e_click_child フォルダの選択 Button OK
  box="$(drv msgbox --timeout 10000)"
  e2e_eq "question" '[C:\clips\new]フォルダーを作成しますか?' "$(field text <<<"$box")"
  drv press はい >/dev/null || e2e_fail "could not answer Yes"
  if drv wait-gone フォルダの選択 --timeout 10000 >/dev/null; then
    e2e_pass "chooser closed after Yes"
  else
    e2e_fail "chooser still open after Yes"
  fi
  e2e_eq "folder on disk after Yes" directory \
    "$(e2e_poll directory 10 folder_state "$E2E_PREFIX/drive_c/clips/new")"
else
  e2e_fail "no folder chooser after \"...\""
fi
e2e_note "screenshot: $(e2e_screenshot after-choice)"

e2e_list_click "$list" "　プロパティリスト"
after='画像形式=PNG|ファイル名=shot|自動ナンバリング=する|保存先=C:\clips\new\|解像度=75|現在の位置XY=9000-1200'
e2e_eq "property list after the choices" "$after" "$(e2e_poll "$after" 10 property_list)"

drv click Pelnoro $(px "${EXIT[@]}") >/dev/null
if e2e_wait_exit "$pid" 30; then
  expected="$(mktemp)"
  write_cp932_lines "$expected" '画像形式=PNG' 'ファイル名=shot' '自動ナンバリング=する' \
    '保存先=C:\clips\new\' '解像度=75' '現在の位置XY=9000-1200' "$COMMENT"
  if cmp -s "$expected" "$E2E_APP/pelnoro.ini"; then
    e2e_pass "pelnoro.ini holds 画像形式=PNG and 保存先=C:\\clips\\new\\, the rest unchanged"
  else
    e2e_fail "pelnoro.ini differs; expected:"
    show_cp932 "$expected"
    echo "      written:"
    show_cp932 "$E2E_APP/pelnoro.ini"
  fi
  rm -f "$expected"
else
  e2e_fail "program still runs 30 s after the exit click"
fi
# Checked once everything is over, so that a late creation is caught as well.
e2e_eq "folder answered with No" missing "$(folder_state "$E2E_PREFIX/drive_c/clips/nope")"

e2e_finish
