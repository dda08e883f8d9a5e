#!/usr/bin/env bash
# Editing the cut before saving, through the menu as a user does it: each turn and
# mirror, a mosaic over a selection dragged on the cut, undo, reset and replacing the
# original (answering the in-window question with Yes and with No). Every result is
# saved as PNG and compared pixel for pixel with the selected screen rectangle treated
# the same way by an independent tool (ImageMagick, or a short script for the mosaic).
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

SAVED=0  # the number of the next file

# reference OUT [CONVERT-ARGS...]: the selected rectangle of the screen, so treated.
reference() {
  local out="$1"
  shift
  convert "$BEFORE" -crop "${SEL_W}x${SEL_H}+${SEL[0]}+${SEL[1]}" +repage "$@" "$out"
}

# save_and_compare WHAT REFERENCE: saves through the panel and compares the file.
save_and_compare() {
  local file
  file="$CLIPS/edit$(printf '%02d' "$SAVED").PNG"
  SAVED=$((SAVED + 1))
  if ! save_through_panel "$file"; then
    e2e_fail "$1: $(basename "$file") was not written"
    return 1
  fi
  cp "$file" "$E2E_ARTIFACTS/$E2E_NAME-$(basename "$file")"
  e2e_eq "$1: size" "$(identify -format '%wx%h' "$2")" "$(identify -format '%wx%h' "$file")"
  e2e_eq "$1: pixels differing from the reference" 0 "$(compare -metric AE "$file" "$2" null: 2>&1)"
}

# cut_size: the cut window's outer size, "WxH"; cut_topmost: 1 when it is topmost.
cut_size() { drv info " Pelnoro" | field size; }
cut_topmost() { drv info " Pelnoro" | field topmost; }
main_visible() { drv info Pelnoro | field visible; }

# next_clip: a new clip of the same rectangle, once the program is idle again.
next_clip() {
  e2e_await 1 10 main_visible
  shutter_drag_cut && drv wait-window " Pelnoro" --timeout 20000 >/dev/null
}

# answer_prompt BUTTON: clicks Yes or No on the main window's in-window question.
answer_prompt() {
  e2e_await 1 10 e2e_shown Pelnoro Button "$1"
  e2e_click_child Pelnoro Button "$1" || e2e_fail "no $1 button on the question"
}

e2e_begin edit_commands

e2e_case "turns, mirrors, mosaic, undo, reset and replace, each saved as PNG"
clips_folder
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=edit' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=80' '現在の位置XY=9000-1200'
ref="$(mktemp --suffix=.png)"
if start_capture && drv wait-window " Pelnoro" --timeout 20000 >/dev/null; then
  # Each turn and mirror on a fresh clip.
  first=1
  for op in "90°:-rotate 90" "180°:-rotate 180" "270°:-rotate 270" "左右:-flop" "上下:-flip"; do
    caption="${op%%:*}"
    [ $first = 1 ] || next_clip
    first=0
    menu_command 回転 "$caption"
    if [ "$caption" = "90°" ]; then
      # The turned cut: 180 x 240 in a window at the screen's top left.
      e2e_await 1 10 cut_topmost
      e2e_note "screenshot: $(e2e_screenshot turned-cut)"
      e2e_eq "the turned cut window at the screen's top left" "0,0" \
        "$(drv info ' Pelnoro' | field rect | cut -d, -f1,2)"
    fi
    # shellcheck disable=SC2086
    reference "$ref" ${op#*:}
    save_and_compare "$caption" "$ref"
  done

  # A mosaic over a rectangle dragged on the cut, from (20, 30) to (140, 100).
  next_clip
  read -r ox oy <<<"$(drv info " Pelnoro" | field client_origin | tr , ' ')"
  x_drag $((ox + 15 + 20)) $((oy + 15 + 30)) $((ox + 15 + 140)) $((oy + 15 + 100))
  menu_command モザイク モザイクを掛ける
  e2e_note "screenshot: $(e2e_screenshot mosaic)"
  reference "$ref.ppm"
  python3 "$E2E_DIR/mosaic_reference.py" "$ref.ppm" "$ref.mosaic.ppm" 20 30 140 100
  convert "$ref.mosaic.ppm" "$ref"
  save_and_compare "mosaic" "$ref"

  # Undo after a turn gives the cut back.
  next_clip
  menu_command 回転 "90°"
  menu_command アンドゥー 取り消し
  # An edited image's window: 38 and 53 pixels larger than the image.
  e2e_eq "undo: the cut window" 278x233 "$(e2e_poll 278x233 10 cut_size)"
  reference "$ref"
  save_and_compare "turn then undo" "$ref"

  # Reset after a mirror and a turn gives the cut back.
  next_clip
  menu_command 回転 "左右"
  menu_command 回転 "90°"
  menu_command アンドゥー リセット
  save_and_compare "mirror, turn, reset" "$ref"

  # Replace answered Yes: a reset later returns to the replaced (mirrored) picture.
  next_clip
  menu_command 回転 "上下"
  menu_command 元画像変更 元画像の差し替え
  e2e_eq "the question asks Yes or No" 1 "$(e2e_poll 1 10 e2e_shown Pelnoro Button No)"
  e2e_note "screenshot: $(e2e_screenshot replace-question)"
  answer_prompt Yes
  menu_command 回転 "90°"
  menu_command アンドゥー リセット
  reference "$ref" -flip
  save_and_compare "mirror, replace (Yes), turn, reset" "$ref"

  # Replace answered No: the reset returns to the cut.
  next_clip
  menu_command 回転 "上下"
  menu_command 元画像変更 元画像の差し替え
  answer_prompt No
  menu_command 回転 "90°"
  menu_command アンドゥー リセット
  reference "$ref"
  save_and_compare "mirror, replace (No), turn, reset" "$ref"
  exit_app
fi
rm -f "$ref" "$ref.ppm" "$ref.mosaic.ppm"

e2e_case "a turned cut lying over the main window: after a drag on it the menu is still at hand"
clips_folder
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=wide' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=80' '現在の位置XY=9000-1200'
SEL=(100 50 1100 900)
SEL_W=1000
SEL_H=850
if start_capture && drv wait-window " Pelnoro" --timeout 20000 >/dev/null; then
  # Turned, the picture window stands at the screen's corner, over the main window's place.
  menu_command 回転 "90°"
  read -r ox oy <<<"$(drv info " Pelnoro" | field client_origin | tr , ' ')"
  e2e_eq "the cut window covers the main window's place" yes \
    "$(drv info " Pelnoro" | field rect | awk -F, '{print ($1 <= 600 && $3 >= 830 && $2 <= 80 && $4 >= 254) ? "yes" : "no"}')"
  # A press on the cut makes it the active window; the main window stays above it.
  x_drag $((ox + 15 + 20)) $((oy + 15 + 20)) $((ox + 15 + 200)) $((oy + 15 + 150))
  if menu_command モザイク モザイクを掛ける; then
    e2e_pass "the menu was reachable over the active cut window"
  fi
  e2e_note "screenshot: $(e2e_screenshot wide-cut-mosaic)"
  exit_app
fi

e2e_finish
