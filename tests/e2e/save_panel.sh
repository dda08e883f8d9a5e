#!/usr/bin/env bash
# The save panel when things go wrong, as a user meets it: a write that fails keeps the
# cut and the panel, so the clip can be saved under another name; a cancel puts back the
# name the next save writes, whatever was typed.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

panel_open() { e2e_poll 0 10 e2e_shown Pelnoro ListBox ""; }

e2e_begin save_panel

e2e_case "failed write, rename, save; then cancel after a rename"
clips_folder
# A folder where the numbered file would go: the program numbers past files only, so
# it picks this name and the write must fail.
mkdir "$CLIPS/shot00.PNG"
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=shot' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=80' '現在の位置XY=9000-1200'
if start_capture; then
  drv wait-window " Pelnoro" --timeout 20000 >/dev/null || e2e_fail "no cut window"
  drv click Pelnoro $(px "${OPEN_SAVE[@]}") >/dev/null
  e2e_eq "panel open in place of the menu" 0 "$(panel_open)"
  drv click Pelnoro $(px "${SAVE_RUN[@]}") >/dev/null
  box="$(drv msgbox --timeout 20000)"
  e2e_eq "write error message" "書き込みエラーが発生しました。処理を中断します。 return_CODE = 7" \
    "$(field text <<<"$box")"
  e2e_eq "write error title" "中断" "$(field title <<<"$box")"
  drv press OK >/dev/null || e2e_fail "could not press OK"
  drv settle Pelnoro >/dev/null
  e2e_eq "cut window kept after the failed write" 1 "$(drv count " Pelnoro" | field count)"
  e2e_eq "panel kept after the failed write" 0 "$(panel_open)"
  e2e_note "screenshot: $(e2e_screenshot after-failed-write)"

  CURRENT_NAME=shot00.PNG
  rename_to "$CURRENT_NAME" mine.PNG
  drv click Pelnoro $(px "${SAVE_RUN[@]}") >/dev/null
  e2e_wait 30 "mine.PNG written" test -s "$CLIPS/mine.PNG"
  if [ -s "$CLIPS/mine.PNG" ]; then
    same_pixels "mine.PNG, saved after the failure under a new name" "$CLIPS/mine.PNG"
  else
    e2e_fail "mine.PNG was not written"
    ls -la "$CLIPS" | sed 's/^/      | /'
  fi
  e2e_eq "cut window gone after the save" 0 "$(e2e_poll 0 10 sh -c \
    "WINEPREFIX='$E2E_PREFIX' '$PELNORO_WINE' '$E2E_DRIVER' count ' Pelnoro' | sed -n 's/^count=//p' | tr -d '\r'")"

  # The next clip: rename, cancel, save again. The name shown after the cancel is the
  # numbered one, and that is what the save writes.
  rmdir "$CLIPS/shot00.PNG"
  shutter_drag_cut
  drv wait-window " Pelnoro" --timeout 20000 >/dev/null || e2e_fail "no cut window"
  drv click Pelnoro $(px "${OPEN_SAVE[@]}") >/dev/null
  panel_open >/dev/null
  CURRENT_NAME=shot00.PNG
  rename_to "$CURRENT_NAME" other.PNG
  drv click Pelnoro $(px "${CANCEL[@]}") >/dev/null
  e2e_eq "menu back after the cancel" 1 "$(e2e_poll 1 10 e2e_shown Pelnoro ListBox "")"
  save_through_panel "$CLIPS/shot00.PNG"
  e2e_eq "files after cancel and save" "keep.txt mine.PNG shot00.PNG" "$(ls "$CLIPS" | paste -sd' ')"
  exit_app
  e2e_eq "save log starts with the folder" 'C:\clips\' \
    "$(iconv -f CP932 -t UTF-8 "$E2E_APP/save_log.pel" | head -n1 | tr -d '\r')"
fi

e2e_finish
