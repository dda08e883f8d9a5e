#!/usr/bin/env bash
# The whole clip as a user makes it: shutter, drag a rectangle on the frozen
# screen, cut; then either save the cut through the save panel or receive it on
# the clipboard. The written file and the clipboard must hold exactly the pixels
# of the selected rectangle.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

e2e_begin clip_workflow

e2e_case "PNG file through the save panel"
clips_folder
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=shot' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=80' '現在の位置XY=9000-1200'
if start_capture; then
  if drv wait-window " Pelnoro" --timeout 20000 >/dev/null; then
    info="$(drv info " Pelnoro")"
    e2e_pass "the cut window \" Pelnoro\" shows the cut ($(field rect <<<"$info"))"
    # The cut with a 15-pixel margin on every side, inside the frame.
    e2e_eq "cut window client size" "$((SEL_W + 30))x$((SEL_H + 30))" "$(field client <<<"$info")"
  else
    e2e_fail "no cut window titled \" Pelnoro\""
  fi
  e2e_note "screenshot: $(e2e_screenshot cut-window)"
  file="$CLIPS/shot00.PNG"
  if save_through_panel "$file" save-panel; then
    e2e_pass "shot00.PNG written ($(stat -c %s "$file") bytes)"
    same_pixels "shot00.PNG" "$file"
  else
    e2e_fail "shot00.PNG was not written"
    ls -la "$CLIPS" | sed 's/^/      | /'
  fi
  e2e_eq "picture window gone after the save" 0 "$(drv count " Pelnoro" | field count)"
  exit_app
  e2e_eq "save log starts with the folder" 'C:\clips\' \
    "$(iconv -f CP932 -t UTF-8 "$E2E_APP/save_log.pel" | head -n1 | tr -d '\r')"
fi

e2e_case "clipboard delivery"
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=クリップボード' 'ファイル名=shot' \
  '自動ナンバリング=する' '保存先=' '解像度=50' '現在の位置XY=9000-1200'
if start_capture; then
  box="$(drv msgbox --timeout 20000)"
  e2e_eq "message" "クリップボードにコピーをしました。" "$(field text <<<"$box")"
  e2e_eq "message title" "クリップボードへコピー" "$(field title <<<"$box")"
  e2e_note "screenshot: $(e2e_screenshot clipboard-message)"
  drv press OK >/dev/null || e2e_fail "could not press OK"
  drv settle Pelnoro >/dev/null
  e2e_eq "idle: no picture window" 0 "$(drv count " Pelnoro" | field count)"
  clip="$(mktemp --suffix=.bmp)"
  # Wine offers the bitmap to X while the program runs.
  if timeout 20 xclip -selection clipboard -t image/bmp -o >"$clip" 2>/dev/null && [ -s "$clip" ]; then
    same_pixels "clipboard bitmap" "$clip"
  else
    e2e_fail "no image/bmp on the X clipboard"
  fi
  rm -f "$clip"
  exit_app
fi

e2e_finish
