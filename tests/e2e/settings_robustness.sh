#!/usr/bin/env bash
# The settings file as users and editors leave it: a position from a monitor that is gone,
# a file saved as UTF-8 with a byte-order mark, a read-only file, and a save folder whose
# name Shift_JIS cannot hold. The window is always in reach and no setting is lost.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

COMMENT='※このファイルを人為的に再編集した場合の動作は保証されません。'

chooser_count() { drv count フォルダの選択 | field count; }

# start: starts the program and waits for its window; the Linux pid goes to PID.
start() {
  e2e_start_app
  PID=$E2E_LAST_PID
  drv wait-window Pelnoro --timeout 60000 >/dev/null || { e2e_fail "no main window"; return 1; }
}

# same_file WHAT EXPECTED-FILE ACTUAL-FILE
same_file() {
  if cmp -s "$2" "$3"; then
    e2e_pass "$1"
  else
    e2e_fail "$1; expected:"
    show_cp932 "$2"
    echo "      written:"
    show_cp932 "$3"
  fi
}

e2e_begin settings_robustness

e2e_case "a position left of and below the screen: the window starts fully on it"
clips_folder
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=shot' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=75' '現在の位置XY=-99999-99999'
if start; then
  read -r l t r b <<<"$(drv info Pelnoro | field rect | tr , ' ')"
  e2e_eq "the window lies within the 1280 x 1024 screen" yes \
    "$([ "$l" -ge 0 ] && [ "$t" -ge 0 ] && [ "$r" -le 1280 ] && [ "$b" -le 1024 ] && echo yes ||
       echo "no ($l,$t,$r,$b)")"
  e2e_note "screenshot: $(e2e_screenshot position-brought-on)"
  exit_app
fi

e2e_case "a settings file saved as UTF-8 with a byte-order mark keeps its six values"
clips_folder
INI=('画像形式=JPEG' 'ファイル名=写真' '自動ナンバリング=しない' '保存先=C:\clips\' '解像度=85'
  '現在の位置XY=3000-1500' "$COMMENT")
{ printf '\xEF\xBB\xBF'; printf '%s\r\n' "${INI[@]}"; } >"$E2E_APP/pelnoro.ini"
if start; then
  exit_app
  expected="$(mktemp)"
  write_cp932_lines "$expected" "${INI[@]}"
  same_file "written back as Shift_JIS with the same six values" "$expected" "$E2E_APP/pelnoro.ini"
  rm -f "$expected"
fi

e2e_case "a read-only settings file is left as it was, with a message"
clips_folder
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=ro' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=60' '現在の位置XY=9000-1200' "$COMMENT"
chmod a-w "$E2E_APP/pelnoro.ini"
before="$(mktemp)"
cp -p "$E2E_APP/pelnoro.ini" "$before"
if start; then
  drv click Pelnoro $(px "${EXIT[@]}") >/dev/null
  box="$(drv msgbox --timeout 15000)"
  e2e_eq "the message" "設定ファイルを書き込めませんでした。前回の内容が残ります。" \
    "$(field text <<<"$box" | sed 's/\\n.*//')"
  e2e_note "screenshot: $(e2e_screenshot read-only-message)"
  drv press OK >/dev/null
  e2e_wait_exit "$PID" 30 || e2e_fail "the program did not end after the message"
  same_file "pelnoro.ini untouched" "$before" "$E2E_APP/pelnoro.ini"
  e2e_eq "still read-only" "r--" "$(stat -c %A "$E2E_APP/pelnoro.ini" | cut -c2-4)"
fi
chmod u+w "$E2E_APP/pelnoro.ini"
rm -f "$before"

e2e_case "a save folder with Korean letters: used, reported, and the file keeps the last one"
clips_folder
mkdir -p "$CLIPS/한글"
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=k' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=75' '現在の位置XY=9000-1200' "$COMMENT"
if start; then
  list="$(menu_list)"
  e2e_list_click "$list" "＋設定"
  e2e_await yes 10 menu_row_shown "$list" "　動作"
  e2e_list_click "$list" "　動作"
  e2e_await 1 10 e2e_shown プロパティ Button ...
  e2e_click_child プロパティ Button ... || e2e_fail "no \"...\" button"
  if drv wait-window フォルダの選択 --timeout 10000 >/dev/null; then
    e2e_click_child フォルダの選択 Edit "$(child_text フォルダの選択 Edit)"
    drv key フォルダの選択 end shift+home delete >/dev/null
    drv type フォルダの選択 'C:\clips\한글\' >/dev/null
    e2e_eq "typed" 'C:\clips\한글\' "$(e2e_poll 'C:\clips\한글\' 10 child_text フォルダの選択 Edit)"
    e2e_click_child フォルダの選択 Button OK
    box="$(drv msgbox --timeout 10000)"
    e2e_eq "the message names the folder kept" yes \
      "$(field text <<<"$box" | grep -q '\[C:\\clips\\\]' && echo yes || field text <<<"$box")"
    e2e_note "screenshot: $(e2e_screenshot not-storable-message)"
    drv press OK >/dev/null
    e2e_eq "the chooser closes" 0 "$(e2e_poll 0 10 chooser_count)"
  else
    e2e_fail "no folder chooser"
  fi
  e2e_list_click "$list" "－設定"
  exit_app
  expected="$(mktemp)"
  write_cp932_lines "$expected" '画像形式=PNG' 'ファイル名=k' '自動ナンバリング=する' \
    '保存先=C:\clips\' '解像度=75' '現在の位置XY=9000-1200' "$COMMENT"
  same_file "pelnoro.ini keeps C:\\clips\\" "$expected" "$E2E_APP/pelnoro.ini"
  rm -f "$expected"
fi

e2e_finish
