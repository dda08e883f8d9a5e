#!/usr/bin/env bash
# The clip at every usual scale of the screen: 96, 120, 144 and 192 DPI. At each, the
# main window and its save panel stand at their design twips in the screen's pixels,
# and a real drag on the frozen screen, the cut and the save give exactly the pixels of
# the rectangle on the screen: the program works in physical pixels at any scale.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

# twips TWIPS: pixels at the case's DPI, rounded as the program rounds.
twips() { echo $(((2 * $1 * DPI / 1440 + 1) / 2)); }

# pixel_at PNG X Y: the colour there as RRGGBB.
pixel_at() { convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6 | tr A-F a-f; }

# check_main_window: outer size and the menu list, both as the design twips scale.
check_main_window() {
  local info list rect want
  info="$(drv info Pelnoro)"
  e2e_eq "main window outer size at $DPI DPI" "$(twips 3450)x$(twips 2610)" \
    "$(field size <<<"$info")"
  ORIGIN="$(field client_origin <<<"$info")"
  rect="$(drv children Pelnoro | tr -d '\r' | awk '$2 == "ListBox" {print $5; exit}')"
  want="rect=$(twips 60),$(twips 120),$(twips 2235),$(twips 1800)"
  e2e_eq "menu list at 60,120 2175x1680 twips" "$want" "$rect"
}

# check_panel SHOT: the save panel's background, 60,120 2175x1680 twips, framed in its
# border colour: the corners of the frame in, the pixels beside them out.
check_panel() {
  local x0 y0 x1 y1 border=a8b8c8
  x0=$((${ORIGIN%,*} + $(twips 60)))
  y0=$((${ORIGIN#*,} + $(twips 120)))
  x1=$((${ORIGIN%,*} + $(twips 2235) - 1))
  y1=$((${ORIGIN#*,} + $(twips 1800) - 1))
  e2e_eq "save panel frame, top left corner ($x0,$y0)" $border "$(pixel_at "$1" $x0 $y0)"
  e2e_eq "save panel frame, bottom right corner ($x1,$y1)" $border "$(pixel_at "$1" $x1 $y1)"
  [ "$(pixel_at "$1" $((x0 - 1)) $((y0 - 1)))" != $border ] &&
    [ "$(pixel_at "$1" $((x1 + 1)) $((y1 + 1)))" != $border ] &&
    e2e_pass "the frame ends there" || e2e_fail "the save panel's frame runs past its corners"
  e2e_eq "save panel background inside the frame" f0f8ff "$(pixel_at "$1" $((x0 + 2)) $((y1 - 2)))"
}

e2e_begin dpi_capture

for DPI in 96 120 144 192; do
  e2e_case "a PNG cut through the save panel at $DPI DPI" "$DPI"
  clips_folder
  write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' "ファイル名=dpi$DPI" \
    '自動ナンバリング=しない' '保存先=C:\clips\' '解像度=80' '現在の位置XY=9000-1200'
  show_pattern
  e2e_start_app
  if ! drv wait-window Pelnoro --timeout 60000 >/dev/null; then
    e2e_fail "window \"Pelnoro\" did not appear"
    continue
  fi
  check_main_window
  e2e_note "screenshot: $(e2e_screenshot "main-window-${DPI}dpi")"
  BEFORE="$(e2e_screenshot before)"
  shutter_drag_cut || continue
  if drv wait-window " Pelnoro" --timeout 20000 >/dev/null; then
    # The cut is in the screen's pixels, with the 15-pixel margin, whatever the scale.
    e2e_eq "cut window client size" "$((SEL_W + 30))x$((SEL_H + 30))" \
      "$(drv info " Pelnoro" | field client)"
  else
    e2e_fail "no cut window"
  fi
  file="$CLIPS/dpi$DPI.PNG"
  if save_through_panel "$file" "save-panel-${DPI}dpi"; then
    check_panel "$E2E_ARTIFACTS/$E2E_NAME-save-panel-${DPI}dpi.png"
    same_pixels "dpi$DPI.PNG" "$file"
  else
    e2e_fail "dpi$DPI.PNG was not written"
  fi
  exit_app
done

e2e_finish
