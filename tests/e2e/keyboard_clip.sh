#!/usr/bin/env bash
# A clip made from the keyboard: the Print Screen key from another program's window, the
# rectangle chosen with the arrows (with and without Shift) and Space, the cut with
# Enter, the image copied with Ctrl+C and read from the clipboard by another program,
# saved with Ctrl+S and Enter. File and clipboard must hold exactly the rectangle's
# pixels. Then Esc from the frozen screen back to idle.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

e2e_begin keyboard_clip

# pointer_at: "X Y", where the pointer is on the screen.
pointer_at() {
  drv pointer | field pointer | sed -n 's/^at \(-\?[0-9]*\),\(-\?[0-9]*\) .*/\1 \2/p'
}

frozen_gone() { [ -z "$(frozen_window)" ]; }

# arrows AXIS DELTA: moves the pointer DELTA pixels along AXIS (x or y) as a user does:
# the tens with Shift held down until the pointer has got there, then the rest one by one,
# each part waited for until the pointer shows it.
arrows() {
  local n=$(($2 < 0 ? -$2 : $2)) sign=$(($2 < 0 ? -1 : 1)) key keys=() i x y
  if [ "$1" = x ]; then key=$([ "$2" -lt 0 ] && echo Left || echo Right); else
    key=$([ "$2" -lt 0 ] && echo Up || echo Down)
  fi
  read -r x y <<<"$(pointer_at)"
  if [ $((n / 10)) -gt 0 ]; then
    for ((i = 0; i < n / 10; i++)); do keys+=("$key"); done
    if [ "$1" = x ]; then x=$((x + sign * n / 10 * 10)); else y=$((y + sign * n / 10 * 10)); fi
    xdotool keydown shift && xdotool key --delay 15 "${keys[@]}"
    e2e_await "$x $y" 10 pointer_at
    xdotool keyup shift
  fi
  keys=()
  for ((i = 0; i < n % 10; i++)); do keys+=("$key"); done
  [ ${#keys[@]} = 0 ] || xdotool key --delay 15 "${keys[@]}"
}

# keys_to X Y: arrow keys until the pointer is at screen X,Y; fails when it is not.
keys_to() {
  local x y
  read -r x y <<<"$(pointer_at)"
  [ -n "$x" ] || { e2e_fail "pointer position unknown"; return 1; }
  arrows x $(($1 - x))
  e2e_await "$1 $y" 10 pointer_at
  arrows y $(($2 - y))
  e2e_await "$1 $2" 10 pointer_at
}

e2e_case "keyboard only: Print Screen, arrows, Space, Space, Enter, Ctrl+C, Ctrl+S, Enter"
clips_folder
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=keys' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=80' '現在の位置XY=9000-1200'
show_pattern
e2e_start_app
drv wait-window Pelnoro --timeout 60000 >/dev/null || e2e_fail "window \"Pelnoro\" did not appear"
BEFORE="$(e2e_screenshot before)"
# The focus on another program's window: the shutter's key works all the same.
drv key "test pattern" shift >/dev/null || e2e_fail "the test pattern brought forward"
e2e_eq "foreground before Print Screen" '"test pattern"' \
  "$(drv pointer | field pointer | sed -n 's/.* foreground [^ ]* \("[^"]*"\).*/\1/p')"
xdotool key Print
e2e_wait 10 "the frozen screen after Print Screen" frozen_shown &&
  e2e_pass "Print Screen froze the screen ($(frozen_window))"
keys_to "${SEL[0]}" "${SEL[1]}" && e2e_pass "arrows took the pointer to ${SEL[0]},${SEL[1]}"
xdotool key space
keys_to "${SEL[2]}" "${SEL[3]}" && e2e_pass "arrows took the selection's end to ${SEL[2]},${SEL[3]}"
xdotool key space
e2e_note "screenshot: $(e2e_screenshot keyboard-band)"
xdotool key Return
if drv wait-window " Pelnoro" --timeout 20000 >/dev/null; then
  e2e_eq "cut window client size" "$((SEL_W + 30))x$((SEL_H + 30))" \
    "$(drv info " Pelnoro" | field client)"
else
  e2e_fail "Enter made no cut window"
fi

xdotool key ctrl+c
clip="$(mktemp --suffix=.bmp)"
# Read by another program; the frozen screen it held before is larger than the cut.
got=""
for _ in $(seq 50); do
  timeout 20 xclip -selection clipboard -t image/bmp -o >"$clip" 2>/dev/null
  got="$(identify -format '%wx%h' "$clip" 2>/dev/null)"
  [ "$got" = "${SEL_W}x${SEL_H}" ] && break
  sleep 0.2
done
same_pixels "clipboard after Ctrl+C" "$clip"
rm -f "$clip"
e2e_eq "the cut still waits after Ctrl+C" 1 "$(drv count " Pelnoro" | field count)"

xdotool key ctrl+s
e2e_await 0 10 e2e_shown Pelnoro ListBox ""
e2e_note "screenshot: $(e2e_screenshot keyboard-save-panel)"
xdotool key Return
file="$CLIPS/keys00.PNG"
if e2e_wait 30 "keys00.PNG written" test -s "$file"; then
  same_pixels "keys00.PNG" "$file"
fi
e2e_eq "picture window gone after the save" 0 "$(drv count " Pelnoro" | field count)"

# Esc from the frozen screen: back to idle, the shutter usable again.
xdotool key Print
e2e_wait 10 "the frozen screen after Print Screen again" frozen_shown &&
  e2e_pass "Print Screen froze the screen again"
xdotool key Escape
e2e_wait 10 "the frozen screen gone after Esc" frozen_gone && e2e_pass "Esc: the frozen screen gone"
e2e_note "screenshot: $(e2e_screenshot after-escape)"
xdotool key Print
e2e_wait 10 "Print Screen after Esc freezes the screen again" frozen_shown &&
  e2e_pass "Print Screen after Esc froze the screen"
xdotool key Escape
e2e_wait 10 "the frozen screen gone after Esc" frozen_gone
exit_app

e2e_finish
