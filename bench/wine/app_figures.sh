#!/usr/bin/env bash
# Figures of the real program under Wine, in a Wine desktop of 1920 x 1080 (run by hand;
# prints figures, asserts nothing):
#   - start-up time (launch to window shown) and memory at start, beside a trivial Win32
#     program started the same way;
#   - every save of a full-screen cut, from the 保存実行 click to the file complete, in
#     each format and level;
#   - memory after a clip is saved and after one is cleared;
#   - a quarter turn, a mirror and a mosaic of the full-screen cut through the menu, from
#     the click on the menu row to the result painted on the screen (a rectangle of the
#     picture watched until it stays unchanged for half a second).
# Memory is the process's resident anonymous memory (RssAnon of /proc/PID/status): what
# it allocated itself, as Linux sees the Wine process. Usage: bench/wine/app_figures.sh
# (the Windows build in build/win first).
E2E_SCREEN=1920x1080x24
. "$(dirname "${BASH_SOURCE[0]}")/../../tests/e2e/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../../tests/e2e/clip_lib.sh"
TRIVIAL="$E2E_BIN/pelnoro_trivial.exe"
SEL=(0 0 1919 1079)
SEL_W=1919
SEL_H=1079

now_ms() { date +%s%3N; }

# rss_anon EXE-NAME: the resident anonymous memory of that Windows process, and all
# its resident memory, in MB.
rss_anon() {
  local pid
  pid="$(wine_pid "$1")"
  [ -n "$pid" ] || { echo "?"; return; }
  awk '/^RssAnon:/ {a = $2} /^VmRSS:/ {r = $2} END {printf "%.1f MB (VmRSS %.1f)", a / 1024, r / 1024}' \
    "/proc/$pid/status"
}

# started EXE TITLE: launches EXE from C:\pelnoro and prints the ms until TITLE shows.
started() {
  local t0
  t0="$(now_ms)"
  (cd "$E2E_APP" && WINEPREFIX="$E2E_PREFIX" exec "$PELNORO_WINE" "$1" </dev/null >/dev/null 2>&1) &
  E2E_LAST_PID=$!
  E2E_PIDS+=("$!")
  drv wait-window "$2" --timeout 60000 >/dev/null
  echo $(($(now_ms) - t0))
}

# settle: lets the process finish what it does after a change.
settle() { sleep 2; }

e2e_begin app_figures
e2e_case "figures"
clips_folder
# A busy picture over the whole screen: what is cut and saved.
(WINEPREFIX="$E2E_PREFIX" exec "$PELNORO_WINE" "$E2E_DRIVER" pattern 0 0 1920 1080 >/dev/null 2>&1) &
E2E_PIDS+=("$!")
drv wait-window "test pattern" --timeout 60000 >/dev/null
cp "$TRIVIAL" "$E2E_APP/trivial.exe"
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=bench' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=75' '現在の位置XY=19000-9000'

# Start-up, a trivial program first (its prefix warm), then the program, three times each.
started 'C:\pelnoro\trivial.exe' Trivial >/dev/null
settle
echo "trivial Win32 program: RssAnon $(rss_anon trivial.exe)"
drv close Trivial >/dev/null; sleep 1
for i in 1 2 3; do echo "trivial start-up: $(started 'C:\pelnoro\trivial.exe' Trivial) ms"
  drv close Trivial >/dev/null; sleep 1; done
for i in 1 2 3; do
  echo "Pelnoro start-up: $(started 'C:\pelnoro\pelnoro.exe' Pelnoro) ms"
  settle
  [ "$i" = 1 ] && echo "Pelnoro at start: RssAnon $(rss_anon pelnoro.exe)"
  [ "$i" = 3 ] && break
  drv click Pelnoro $(px "${EXIT[@]}") >/dev/null; sleep 2
done

read -r ox oy <<<"$(drv info Pelnoro | field client_origin | tr , ' ')"
save_click() { echo $((ox + $(px "${SAVE_RUN[@]}" | cut -d' ' -f1))) $((oy + $(px "${SAVE_RUN[@]}" | cut -d' ' -f2))); }

# timed_save NAME: 保存, then the 保存実行 click by X (no Wine process in between) and
# the ms until NAME (in C:\clips) is complete.
timed_save() {
  local file="$CLIPS/$1" t0
  drv click Pelnoro $(px "${OPEN_SAVE[@]}") >/dev/null
  e2e_poll 0 10 e2e_shown Pelnoro ListBox "" >/dev/null
  read -r x y <<<"$(save_click)"
  t0="$(now_ms)"
  xdotool mousemove "$x" "$y" click 1
  while [ ! -s "$file" ]; do
    [ $(($(now_ms) - t0)) -gt 60000 ] && { echo "no file after 60 s"; return; }
    sleep 0.01
  done
  echo $(($(now_ms) - t0))
}

declare -A numbers=()
clip_and_save() {  # WHAT EXT
  shutter_drag_cut >/dev/null && drv wait-window " Pelnoro" --timeout 20000 >/dev/null
  local name n="${numbers[$2]:-0}"
  name="bench$(printf '%02d' "$n")$2"
  numbers[$2]=$((n + 1))
  echo "save ${SEL_W}x${SEL_H}, $1: $(timed_save "$name") ms ($(stat -c %s "$CLIPS/$name") bytes)"
}

show_page 画像 Button 通常圧縮 >/dev/null
clip_and_save "PNG normal" .PNG
settle
echo "after a clip saved: RssAnon $(rss_anon pelnoro.exe)"
show_page 画像 Button 低圧縮率 >/dev/null; choose_option 低圧縮率 >/dev/null
clip_and_save "PNG low" .PNG
show_page 画像 Button 最高圧縮 >/dev/null; choose_option 最高圧縮 >/dev/null
clip_and_save "PNG highest" .PNG
show_page 動作 Button JPEG >/dev/null; choose_option JPEG >/dev/null
clip_and_save "JPEG q75 baseline" .JPG
show_page 画像 Button プログレッシブタイプで保存する >/dev/null
toggle_check プログレッシブタイプで保存する 1 >/dev/null
clip_and_save "JPEG q75 progressive" .JPG
show_page 動作 Button BMP >/dev/null; choose_option BMP >/dev/null
clip_and_save "BMP" .BMP
settle
echo "after six clips saved: RssAnon $(rss_anon pelnoro.exe)"
shutter_drag_cut >/dev/null && drv wait-window " Pelnoro" --timeout 20000 >/dev/null
settle
echo "a full-screen cut waiting: RssAnon $(rss_anon pelnoro.exe)"

# timed_command GROUP CAPTION X Y: the ms from the click on the command's row to its
# result painted in the 256 x 256 rectangle of the screen at X, Y.
timed_command() {
  local list at
  menu_reveal "$1" "$2" >/dev/null
  list="$(menu_list)"
  at="$(e2e_list_point "$list" "　$2")"
  # shellcheck disable=SC2086
  drv click-watch "hwnd:$list" $at --watch "$3,$4,256,256" | field painted_ms
}
echo "90° of the ${SEL_W}x${SEL_H} cut, click to painted: $(timed_command 回転 "90°" 300 300) ms"
echo "左右 of the turned cut, click to painted: $(timed_command 回転 左右 300 300) ms"
echo "90° back, click to painted: $(timed_command 回転 "90°" 300 300) ms"
read -r cx cy <<<"$(drv info " Pelnoro" | field client_origin | tr , ' ')"
x_drag $((cx + 15 + 100)) $((cy + 15 + 100)) $((cx + 15 + 1000)) $((cy + 15 + 800)) >/dev/null
echo "mosaic of 900x700 pixels of the cut, click to painted: $(timed_command モザイク モザイクを掛ける \
  $((cx + 15 + 300)) $((cy + 15 + 300))) ms"
drv click Pelnoro $(px 2820 1665) >/dev/null  # クリア
settle
echo "after a clip cleared: RssAnon $(rss_anon pelnoro.exe)"
exit_app >/dev/null
E2E_CHECKS=1  # figures only
e2e_finish
