#!/usr/bin/env bash
# Memory of the real program under Wine for a huge picture (run by hand; prints
# figures, asserts nothing): a 12000 x 9000 JPEG (made with ImageMagick) chosen in the
# 画像開く dialog's file list, opened, and saved again as JPEG. Printed: the peak and the
# current resident memory of the program's process (VmHWM and VmRSS of /proc/PID/status)
# at start, once the picture is shown and once its save is complete, the seconds each
# step took, and the size of one 32-bit image of the picture beside them.
# Usage: bench/wine/big_picture.sh [WIDTH HEIGHT] (the Windows build in build/win first).
. "$(dirname "${BASH_SOURCE[0]}")/../../tests/e2e/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../../tests/e2e/clip_lib.sh"
W="${1:-12000}"
H="${2:-9000}"

now_ms() { date +%s%3N; }
mb() { awk -v k="$1" 'BEGIN {printf "%.0f MB", k / 1024}'; }
memory() {  # the peak and current resident memory of the program's process
  local pid
  pid="$(wine_pid pelnoro.exe)"
  [ -n "$pid" ] || { echo "?"; return; }
  echo "peak $(mb "$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")")," \
    "now $(mb "$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")")"
}
cut_window_shown() { drv count " Pelnoro" | field count; }

e2e_begin big_picture
e2e_case "figures"
clips_folder
big="$CLIPS/big.jpg"
nice convert -size "${W}x${H}" gradient:'#d02020'-'#2040c0' -quality 85 "$big"
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=JPEG' 'ファイル名=big' '自動ナンバリング=しない' \
  '保存先=C:\clips\' '解像度=75' '現在の位置XY=9000-1200'
echo "one 32-bit image of ${W}x${H}: $(mb $((W * H * 4 / 1024)))"
e2e_start_app
drv wait-window Pelnoro --timeout 60000 >/dev/null || e2e_fail "no main window"
sleep 2
echo "at start: $(memory)"

drv click Pelnoro $(px "${OPEN_SAVE[@]}") >/dev/null
e2e_await 1 10 dialog_shown
for hwnd in $(drv children "$DIALOG" | awk '$2 == "ListBox" {sub(/^child=/, "", $1); print $1}'); do
  e2e_list_click "$hwnd" big.jpg 2>/dev/null && break
done
t0="$(now_ms)"
e2e_await 'C:\clips\big.jpg' 120 child_text "$DIALOG" Edit
echo "file clicked, preview shown: $((($(now_ms) - t0) / 1000)) s; $(memory)"
t0="$(now_ms)"
e2e_click_child "$DIALOG" Button OK || e2e_fail "no OK button"
e2e_await 1 120 cut_window_shown
echo "opened and shown: $((($(now_ms) - t0) / 1000)) s; $(memory)"
e2e_note "screenshot: $(e2e_screenshot opened)"

drv click Pelnoro $(px "${OPEN_SAVE[@]}") >/dev/null
t0="$(now_ms)"
e2e_await 0 10 e2e_shown Pelnoro ListBox ""
rename_to big.jpg saved.jpg
drv click Pelnoro $(px "${SAVE_RUN[@]}") >/dev/null
e2e_await 0 300 cut_window_shown
echo "saved ($(stat -c %s "$CLIPS/saved.jpg" 2>/dev/null) bytes): $((($(now_ms) - t0) / 1000)) s; $(memory)"
exit_app >/dev/null
E2E_CHECKS=1  # figures only
e2e_finish
