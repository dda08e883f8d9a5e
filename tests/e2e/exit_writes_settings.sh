#!/usr/bin/env bash
# The exit button writes pelnoro.ini and save_log.pel beside the program, byte for byte:
# Shift_JIS, CR LF, the seven settings lines in their fixed order.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

COMMENT='※このファイルを人為的に再編集した場合の動作は保証されません。'
# Label終了 is 2400,1260 855x225 twips on the main window; at 96 DPI (15 twips a
# pixel) that is client pixels (160,84)-(217,99).
EXIT_X=188
EXIT_Y=91

# start_and_exit LEFT TOP: starts the program, checks its window stands at LEFT,TOP
# (pixels) with the design size and topmost, clicks the exit label and waits for the end.
start_and_exit() {
  local want_left="$1" want_top="$2" info
  e2e_start_app
  local pid=$E2E_LAST_PID
  if ! drv wait-window Pelnoro --timeout 60000 >/dev/null; then
    e2e_fail "window \"Pelnoro\" did not appear"
    drv list | sed 's/^/      | /'
    return 1
  fi
  info="$(drv info Pelnoro)"
  e2e_eq "outer size at 96 DPI" 230x174 "$(field size <<<"$info")"
  e2e_eq "topmost" 1 "$(field topmost <<<"$info")"
  e2e_eq "outer left,top" "$want_left,$want_top" "$(field rect <<<"$info" | cut -d, -f1,2)"
  [ "${SHOT:-}" ] && e2e_note "screenshot: $(e2e_screenshot "$SHOT")"
  if ! drv click Pelnoro $EXIT_X $EXIT_Y >/dev/null; then
    e2e_fail "could not click the exit label at client $EXIT_X,$EXIT_Y"
    return 1
  fi
  if e2e_wait_exit "$pid" 30; then
    e2e_eq "program ended after the exit click, exit code" 0 "$E2E_RC"
  else
    e2e_fail "program still runs 30 s after the exit click"
    drv list | sed 's/^/      | /'
    return 1
  fi
}

# check_file NAME EXPECTED-LINES...: the file beside the program holds exactly these
# lines in code page 932, each ended by CR LF.
check_file() {
  local name="$1"; shift
  local expected actual="$E2E_APP/$name"
  expected="$(mktemp)"
  write_cp932_lines "$expected" "$@"
  if [ ! -f "$actual" ]; then
    e2e_fail "$name was not written"
  elif cmp -s "$expected" "$actual"; then
    e2e_pass "$name is byte for byte as expected ($# lines, $(stat -c %s "$actual") bytes)"
  else
    e2e_fail "$name differs; expected:"
    show_cp932 "$expected"
    echo "      written:"
    show_cp932 "$actual"
    echo "      written bytes:"
    od -An -tx1 "$actual" | head -n 20 | sed 's/^/      |/'
  fi
  rm -f "$expected"
}

e2e_begin exit_writes_settings

# Fifteen rows of one space: the history a start without save log begins with, less
# its empty first row.
SPACES=(' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ' ')

e2e_case "no settings file; C:\\ holds no ordinary file, so the save folder is dropped"
stray="$(find "$E2E_PREFIX/drive_c" -maxdepth 1 -type f | head -n1)"
e2e_eq "ordinary files at the root of C:" "" "$stray"
SHOT=main-window-96dpi start_and_exit 80 80 &&
  check_file pelnoro.ini '画像形式=BMP' 'ファイル名=TEST' '自動ナンバリング=する' '保存先=' \
    '解像度=50' '現在の位置XY=1200-1200' "$COMMENT" &&
  check_file save_log.pel "${SPACES[@]}"

e2e_case "no settings file; C:\\ holds a file, so the default save folder C:\\ stays"
echo "x" >"$E2E_PREFIX/drive_c/readme.txt"
start_and_exit 80 80 &&
  check_file pelnoro.ini '画像形式=BMP' 'ファイル名=TEST' '自動ナンバリング=する' '保存先=C:\' \
    '解像度=50' '現在の位置XY=1200-1200' "$COMMENT" &&
  check_file save_log.pel 'C:\' "${SPACES[@]}"

e2e_case "given settings and save log are written back unchanged"
mkdir -p "$E2E_PREFIX/drive_c/tmp"
echo "x" >"$E2E_PREFIX/drive_c/tmp/keep.txt"
INI=('画像形式=PNG' 'ファイル名=shot' '自動ナンバリング=しない' '保存先=C:\tmp\' '解像度=80'
  '現在の位置XY=1500-900' "$COMMENT")
LOG=('C:\tmp\' 'D:\写真\' ' ' 'C:\')
write_cp932_lines "$E2E_APP/pelnoro.ini" "${INI[@]}"
write_cp932_lines "$E2E_APP/save_log.pel" "${LOG[@]}"
# 1500,900 twips = 100,60 pixels.
start_and_exit 100 60 &&
  check_file pelnoro.ini "${INI[@]}" &&
  check_file save_log.pel "${LOG[@]}"

e2e_finish
