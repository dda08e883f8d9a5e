#!/usr/bin/env bash
# File names the settings file or Windows cannot take, as a user meets them: a picture
# named outside Shift_JIS is opened and saved under its own name, the user is told which
# name pelnoro.ini keeps, and it keeps that one; a name with "?" typed in the save panel
# is refused by name, not reported as a write error.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

cut_window_shown() { drv count " Pelnoro" | field count; }

# message_is WHAT TITLE TEXT-PIECE...: the message box shown has TITLE and each piece in
# its text; then OK.
message_is() {
  local what="$1" title="$2" box text piece
  shift 2
  box="$(drv msgbox --timeout 10000)"
  e2e_eq "$what: title" "$title" "$(field title <<<"$box")"
  text="$(field text <<<"$box")"
  for piece in "$@"; do
    [[ "$text" == *"$piece"* ]] || e2e_fail "$what: '$piece' not in '$text'"
  done
  e2e_note "screenshot: $(e2e_screenshot "$what")"
  drv press OK >/dev/null || e2e_fail "$what: could not press OK"
}

e2e_begin file_names

e2e_case "a picture named outside Shift_JIS is saved under its name; the settings keep the last name they can hold"
clips_folder
convert -size 60x40 xc:'#30a040' "$CLIPS/e😀.png"
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=shot' '自動ナンバリング=しない' \
  '保存先=C:\clips\' '解像度=80' '現在の位置XY=9000-1200'
e2e_start_app
drv wait-window Pelnoro --timeout 60000 >/dev/null || e2e_fail "no main window"
open_file "e😀.png"
message_is "unstorable-name" ファイル名確認 "[e😀]" "Shift_JIS" "[shot] に戻ります"
e2e_eq "the picture opens" 1 "$(e2e_poll 1 10 cut_window_shown)"

# A name Windows cannot create: refused by name, the panel stays for another name.
drv click Pelnoro $(px "${OPEN_SAVE[@]}") >/dev/null
e2e_await 0 10 e2e_shown Pelnoro ListBox ""
rename_to "e😀.png" "e??.png"
drv click Pelnoro $(px "${SAVE_RUN[@]}") >/dev/null
message_is "unwritable-name" ファイル名確認 "[e??.png]" "このファイル名では保存できません"
e2e_eq "the cut stays after the refusal" 1 "$(e2e_poll 1 10 cut_window_shown)"

# Its own name again: written over the file it came from, once asked.
rename_to "e??.png" "e😀.png"
touch -d '2001-01-01' "$CLIPS/e😀.png"
drv click Pelnoro $(px "${SAVE_RUN[@]}") >/dev/null
box="$(drv msgbox --timeout 10000)"
e2e_eq "the overwrite question" 保存ファイル確認 "$(field title <<<"$box")"
drv press はい >/dev/null || e2e_fail "could not answer Yes"
e2e_await 0 30 cut_window_shown
e2e_eq "e😀.png written again, 60 x 40" "PNG 60x40" "$(identify -format '%m %wx%h' "$CLIPS/e😀.png")"
e2e_eq "written now" yes "$([ "$(stat -c %Y "$CLIPS/e😀.png")" -gt 978307200 ] && echo yes || echo no)"
exit_app
e2e_eq "pelnoro.ini keeps the name it can hold" "ファイル名=shot" \
  "$(iconv -f CP932 -t UTF-8 "$E2E_APP/pelnoro.ini" | tr -d '\r' | grep '^ファイル名=')"

e2e_finish
