#!/usr/bin/env bash
# Quick clicks on a menu command row, as an impatient user gives them: every click runs
# the command once, the second click of a double click included. The turned cut is saved
# and compared pixel for pixel with the screen rectangle turned by ImageMagick.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

# quick_clicks CAPTION COUNT DELAY-MS: clicks the shown command row COUNT times through
# X, DELAY-MS apart, and waits until the program has had the last one.
quick_clicks() {
  local at x y
  at="$(e2e_list_point "$(menu_list)" "　$1")" || { e2e_fail "no menu row $1"; return 1; }
  at="$(drv locate "hwnd:$(menu_list)" $at | field point)"
  [ -n "$at" ] || { e2e_fail "menu row $1 not reachable"; return 1; }
  x="${at%,*}" y="${at#*,}"
  xdotool mousemove "$x" "$y" || return 1
  drv wait-input "$x" "$y" up >/dev/null || { e2e_fail "the pointer did not reach $x,$y"; return 1; }
  xdotool click --repeat "$2" --delay "$3" 1
  drv wait-input "$x" "$y" clicked >/dev/null || e2e_fail "the clicks did not arrive"
}

# turned_as NAME FILE CONVERT-ARGS...: saves the cut as FILE (Linux path) and compares
# it with the selected screen rectangle so turned.
turned_as() {
  local what="$1" file="$2" ref
  shift 2
  save_through_panel "$file" || return 1
  cp "$file" "$E2E_ARTIFACTS/$E2E_NAME-$(basename "$file")"
  ref="$(mktemp --suffix=.png)"
  convert "$BEFORE" -crop "${SEL_W}x${SEL_H}+${SEL[0]}+${SEL[1]}" +repage "$@" "$ref"
  e2e_eq "$what: size" "$(identify -format '%wx%h' "$ref")" "$(identify -format '%wx%h' "$file")"
  e2e_eq "$what: pixels differing from the reference" 0 "$(compare -metric AE "$file" "$ref" null: 2>&1)"
  rm -f "$ref"
}

e2e_begin menu_clicks

e2e_case "double clicks on a turn row turn twice each"
clips_folder
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=quick' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=80' '現在の位置XY=9000-1200'
if start_capture && drv wait-window " Pelnoro" --timeout 20000 >/dev/null; then
  # One 90° click, then four more 150 ms apart (two double clicks): five quarter
  # turns, 450°, the cut at 90°. Losing the second click of each pair would give 270°.
  menu_command 回転 "90°"
  quick_clicks "90°" 4 150
  e2e_note "screenshot: $(e2e_screenshot five-quarter-turns)"
  turned_as "five quarter turns" "$CLIPS/quick00.PNG" -rotate 90
  exit_app
fi

e2e_finish
