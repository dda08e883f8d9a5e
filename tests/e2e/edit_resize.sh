#!/usr/bin/env bash
# Scaling the cut before saving, with the mouse as a user does it: by the handle at the
# image's corner, and by the corner triangle of the image itself. The saved file holds
# the selected rectangle scaled to the size dragged to, nearest pixel.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

# Client origin of the cut window on the screen, as "X Y".
cut_window_origin() {
  drv info " Pelnoro" | field client_origin | tr , ' '
}

# xdrag X1 Y1 X2 Y2: a real X drag in small steps.
xdrag() { x_drag "$1" "$2" "$3" "$4" 10; }

# save_and_check FILE W H: saves through the panel; FILE must hold the selected
# rectangle sampled to W x H.
save_and_check() {
  local file="$1" w="$2" h="$3" ref diff
  if ! save_through_panel "$file"; then
    e2e_fail "$(basename "$file") was not written"
    return 1
  fi
  cp "$file" "$E2E_ARTIFACTS/$E2E_NAME-$(basename "$file")"
  e2e_eq "$(basename "$file") size" "${w}x${h}" "$(identify -format '%wx%h' "$file" 2>/dev/null)"
  ref="$(mktemp --suffix=.png)"
  # Nearest pixel: each target pixel takes the source pixel under its centre.
  convert "$BEFORE" -crop "${SEL_W}x${SEL_H}+${SEL[0]}+${SEL[1]}" +repage \
    -filter point -resize "${w}x${h}!" "$ref"
  diff="$(compare -metric AE "$file" "$ref" null: 2>&1)"
  e2e_eq "$(basename "$file") pixels differing from the nearest-pixel scaling" 0 "$diff"
  rm -f "$ref"
}

e2e_begin edit_resize

e2e_case "handle and corner drags scale the cut"
clips_folder
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=scaled' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=80' '現在の位置XY=9000-1200'
if start_capture; then
  drv wait-window " Pelnoro" --timeout 20000 >/dev/null || e2e_fail "no cut window"
  read -r ox oy <<<"$(cut_window_origin)"
  # The 7-pixel handle stands at the image's corner (15 + 240, 15 + 180); drag it,
  # held 3 pixels in, to where a 120 x 90 image ends.
  xdrag $((ox + 255 + 3)) $((oy + 195 + 3)) $((ox + 135 + 3)) $((oy + 105 + 3))
  e2e_note "screenshot: $(e2e_screenshot after-handle-drag)"
  save_and_check "$CLIPS/scaled00.PNG" 120 90

  # The same clip again, scaled up by the image's own corner: rest in the 6-pixel
  # triangle first (the pointer turns into the resize arrow), then drag.
  shutter_drag_cut
  drv wait-window " Pelnoro" --timeout 20000 >/dev/null || e2e_fail "no cut window"
  read -r ox oy <<<"$(cut_window_origin)"
  xdotool mousemove $((ox + 15 + 236)) $((oy + 15 + 176))
  drv wait-input $((ox + 15 + 236)) $((oy + 15 + 176)) up >/dev/null ||
    e2e_fail "the pointer did not rest in the corner"
  xdrag $((ox + 15 + 237)) $((oy + 15 + 177)) $((ox + 15 + 360)) $((oy + 15 + 270))
  e2e_note "screenshot: $(e2e_screenshot after-corner-drag)"
  save_and_check "$CLIPS/scaled01.PNG" 360 270
  exit_app
fi

e2e_finish
