# Shared by the end-to-end scripts: a private Wine prefix and Xvfb per script, the
# program copied into its own folder on drive C:, the driver, and checks.
# Source it; then call e2e_begin NAME.

set -uo pipefail

E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$E2E_DIR/../../scripts/wine-env.sh"

E2E_BIN="${PELNORO_BIN:-$PELNORO_ROOT/build/win/bin}"
E2E_EXE="${PELNORO_EXE:-$E2E_BIN/pelnoro.exe}"
E2E_DRIVER="${PELNORO_DRIVER:-$E2E_BIN/pelnoro-driver.exe}"
E2E_ARTIFACTS="${PELNORO_E2E_ARTIFACTS:-$PELNORO_ROOT/build/e2e-artifacts}"
# The program's folder, as Windows and as Linux see it.
E2E_APP_WIN='C:\pelnoro'
E2E_CHECKS=0
E2E_FAILED=0
E2E_PREFIX=""
E2E_PIDS=()
# Set by the first failed check of a case. The rest of the case is then skipped: the
# driver, xdotool, waits and checks do nothing, so one failure is reported once, with a
# screenshot and the windows as they were, instead of every later step failing after it.
E2E_CASE_FAILED=0

e2e_note() {
  [ "$E2E_CASE_FAILED" = 0 ] || return 0
  echo "  $*"
}

e2e_pass() {
  [ "$E2E_CASE_FAILED" = 0 ] || return 0
  E2E_CHECKS=$((E2E_CHECKS + 1))
  echo "  ok   $*"
}

e2e_fail() {
  [ "$E2E_CASE_FAILED" = 0 ] || return 1
  E2E_CHECKS=$((E2E_CHECKS + 1))
  E2E_FAILED=$((E2E_FAILED + 1))
  echo "  FAIL $*"
  local shot
  shot="$(e2e_screenshot "fail-$E2E_CHECKS" 2>/dev/null)" && echo "       screenshot: $shot"
  if [ -n "$E2E_PREFIX" ]; then
    # A stalled Wine session answers nothing: a short limit keeps the report from eating
    # the script's time, and the Wine processes show where it stands.
    local seen
    echo "       windows then:"
    seen="$(E2E_DRV_LIMIT=20 _drv list 2>&1; E2E_DRV_LIMIT=20 _drv pointer 2>&1)"
    [ -n "$seen" ] || seen="(no answer from the driver within 20 s)"
    sed 's/^/       | /' <<<"$seen"
    if [ -n "${E2E_LAST_PID:-}" ]; then
      if kill -0 "$E2E_LAST_PID" 2>/dev/null; then
        echo "       the program last started (pid $E2E_LAST_PID) still runs"
      else
        wait "$E2E_LAST_PID" 2>/dev/null
        echo "       the program last started (pid $E2E_LAST_PID) has ended, exit code $?"
      fi
    fi
    echo "       Wine processes then:"
    ps -eo pid,stat,etime,args | grep -E '[w]ine|[.]exe' | tail -n 20 | sed 's/^/       | /'
  fi
  E2E_CASE_FAILED=1
  echo "       (the rest of this case is skipped)"
  return 1
}

# e2e_eq WHAT EXPECTED ACTUAL
e2e_eq() {
  [ "$E2E_CASE_FAILED" = 0 ] || return 1
  if [ "$2" = "$3" ]; then
    e2e_pass "$1: $3"
  else
    e2e_fail "$1: expected '$2', got '$3'"
  fi
}

# Runs the driver in the program's prefix; prints its result lines. Nothing once the
# case has failed. Clicks (click, press) go through X, as a user's mouse gives them:
# input injected from another Wine process (SendInput) is now and then lost under load.
drv() {
  [ "$E2E_CASE_FAILED" = 0 ] || return 1
  _desktop_up || return 1
  case "$1" in
    click) _drv_click "${@:2}" ;;
    press) _drv_press "${@:2}" ;;
    *) _drv "$@" ;;
  esac
}

# _x_click_at X Y: a quick click of the left button at screen X,Y through X (a long press
# would repeat a spin button), waited for until the program has handled it. The driver
# watches the button from before the click, so however short the click is it is seen.
_x_click_at() {
  command xdotool mousemove "$1" "$2"
  _drv wait-input "$1" "$2" up >/dev/null || return 1
  local watch pid rc
  watch="$(mktemp)"
  _drv await-click "$1" "$2" >"$watch" &
  pid=$!
  until grep -q '^ready=' "$watch"; do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      echo "the click watch at $1,$2 ended before it was ready (driver exit $?)" >&2
      rm -f "$watch"
      return 1
    fi
    sleep 0.02
  done
  command xdotool click 1
  wait "$pid"
  rc=$?
  rm -f "$watch"
  [ $rc = 0 ] || echo "the click at $1,$2 was not seen through (driver exit $rc)" >&2
  return $rc
}

# _drv_click TITLE X Y [OPTIONS]: as the driver's click (the point must be over the
# window unless --force), but through X. A window that is going away may still cover
# the point for a moment: the point is waited for, up to 10 s.
_drv_click() {
  local arg at="" rc deadline=$((SECONDS + 10))
  for arg in "$@"; do
    [ "$arg" = --right ] && { _drv click "$@"; return; }
  done
  while :; do
    at="$(_drv locate "$@" | field point; exit "${PIPESTATUS[0]}")"
    rc=$?
    [ -n "$at" ] || [ $SECONDS -ge $deadline ] && break
    sleep 0.2
  done
  [ -n "$at" ] || { echo "no point to click on \"$1\" at $2,$3 (driver exit $rc)" >&2; return 1; }
  _x_click_at "${at%,*}" "${at#*,}" || return 1
  echo "clicked=$at"
}

# _drv_press ARGS...: as the driver's press of a message-box button, the click through X.
_drv_press() {
  local out at
  out="$(_drv press "$@" --locate)" || return 1
  at="$(field point <<<"$out")"
  [ -n "$at" ] || { printf '%s\n' "$out"; return 0; }  # pressed by BM_CLICK: covered
  _x_click_at "${at%,*}" "${at#*,}" || return 1
  echo "pressed=$(field button <<<"$out")"
}
_drv() {
  local start rc err starts=0
  while :; do
    start=$SECONDS
    # Its stderr is kept to see whether it said anything; its stdout goes where it went.
    { err="$(WINEPREFIX="$E2E_PREFIX" timeout --kill-after=5 "${E2E_DRV_LIMIT:-120}" \
      "$PELNORO_WINE" "$E2E_DRIVER" "$@" 2>&1 >&3 3>&-)"; } 3>&1
    rc=$?
    starts=$((starts + 1))
    # Exit 1 at once with nothing said is Wine's failed start of the driver (the driver
    # never exits 1): it did not run, so it is started again, and the log says so.
    [ $rc = 1 ] && [ -z "$err" ] && [ $((SECONDS - start)) -le 2 ] && [ $starts -lt 3 ] || break
    echo "  (Wine ended the driver ($1) at its start, exit 1 with nothing said: started again)" >&2
  done
  [ -z "$err" ] || printf '%s\n' "$err" >&2
  # The driver says why it failed. One stopped at the limit, or ended by Wine or the C
  # runtime, says nothing: its exit and time say here what became of it.
  if [ $rc != 0 ] && [ -z "$err" ]; then
    case $rc in
      124 | 137)
        echo "the driver ($1) did not end within ${E2E_DRV_LIMIT:-120} s and was stopped;" \
          "the Windows processes then:" >&2
        ps -eo pid,etimes,stat,args | grep -E '[.]exe|[w]ineserver' >&2
        ;;
      *) echo "the driver ($1) ended with exit code $rc after $((SECONDS - start)) s, saying nothing" >&2 ;;
    esac
  fi
  return $rc
}

# Real X input, as a user's mouse gives it; nothing once the case has failed.
xdotool() {
  [ "$E2E_CASE_FAILED" = 0 ] || return 1
  command xdotool "$@"
}

# x_drag X1 Y1 X2 Y2 [STEPS]: a real X drag with the left button from one screen point
# to another, in STEPS moves (8). Each end waits until the program has the input, so
# whatever the driver does next comes after it.
x_drag() {
  local i steps="${5:-8}"
  xdotool mousemove "$1" "$2" || return 1
  drv wait-input "$1" "$2" up >/dev/null || { e2e_fail "the pointer did not reach $1,$2"; return 1; }
  xdotool mousedown 1
  drv wait-input "$1" "$2" down >/dev/null || { e2e_fail "the press at $1,$2 did not arrive"; return 1; }
  for ((i = 1; i <= steps; i++)); do
    xdotool mousemove $(($1 + ($3 - $1) * i / steps)) $(($2 + ($4 - $2) * i / steps))
  done
  xdotool mouseup 1
  drv wait-input "$3" "$4" up >/dev/null || { e2e_fail "the release at $3,$4 did not arrive"; return 1; }
}

# e2e_wait SECONDS WHAT COMMAND...: runs COMMAND until it succeeds; fails the check WHAT
# when it has not within SECONDS.
e2e_wait() {
  local limit="$1" deadline=$((SECONDS + $1)) what="$2"
  shift 2
  [ "$E2E_CASE_FAILED" = 0 ] || return 1
  until "$@" >/dev/null 2>&1; do
    if [ $SECONDS -ge $deadline ]; then
      e2e_fail "$what (not within $limit s)"
      return 1
    fi
    sleep 0.1
  done
}

# wine_pids EXE-NAME: the Linux pids of that Windows program in this case's prefix: the
# processes named after the exe, not the launcher that started one nor copies in another
# prefix.
wine_pids() {
  local pid
  for pid in $(pgrep -x "$1"); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$E2E_PREFIX"; then
      echo "$pid"
    fi
  done
}

# Value of KEY from driver output given on stdin.
field() { sed -n "s/^$1=//p" | head -n1 | tr -d '\r'; }

e2e_screenshot() {
  local name="$1"
  [ "$E2E_CASE_FAILED" = 0 ] || return 1
  mkdir -p "$E2E_ARTIFACTS"
  local out="$E2E_ARTIFACTS/$E2E_NAME-$name.png"
  timeout 30 import -window root "$out" 2>/dev/null && echo "$out"
}

e2e_cleanup() {
  local pid
  wine_prefix_drop "$E2E_PREFIX"
  for pid in "${E2E_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  E2E_PIDS=()
  E2E_PREFIX=""
  xvfb_stop
}

# e2e_begin NAME: checks the programs exist, makes a prefix, starts Xvfb.
e2e_begin() {
  E2E_NAME="$1"
  echo "== $E2E_NAME"
  local f
  for f in "$E2E_EXE" "$E2E_DRIVER"; do
    if [ ! -f "$f" ]; then
      echo "  FAIL missing $f (build the Windows target first)"
      exit 1
    fi
  done
  trap e2e_cleanup EXIT
  trap 'exit 143' TERM INT
  # A private server: nothing else can take the focus or cover the program.
  unset DISPLAY
  xvfb_start "${E2E_SCREEN:-1280x1024x24}" || { echo "  FAIL no Xvfb"; exit 1; }
}

# e2e_case TITLE [DPI]: a fresh prefix (96 DPI unless given) with the program copied
# into C:\pelnoro.
e2e_case() {
  echo "-- $1"
  E2E_CASE_FAILED=0
  if [ -n "$E2E_PREFIX" ]; then
    wine_prefix_drop "$E2E_PREFIX"
    E2E_PREFIX=""
  fi
  E2E_PREFIX="$(wine_prefix_new "${2:-96}")" || { e2e_fail "no Wine prefix"; return 1; }
  wine_prefix_set_desktop "$E2E_PREFIX" "$PELNORO_XVFB_SIZE"
  E2E_APP="$E2E_PREFIX/drive_c/pelnoro"
  mkdir -p "$E2E_APP"
  cp "$E2E_EXE" "$E2E_APP/pelnoro.exe"
}

# _desktop_up: the prefix's desktop, made once per case and then held by a driver that
# only waits. Wine starts a prefix's desktop for the first program that asks for one and
# gives up on it after 10 s, which a loaded machine can take: that program then gets no
# windows at all. The desktop also ends with the last program. Windows has its desktop
# before any program starts, and keeps it; so the scripts make it first and keep it.
_desktop_up() {
  [ "${E2E_DESKTOP_OF:-}" = "$E2E_PREFIX" ] && return 0
  local out pid tries=0 deadline=$((SECONDS + 120))
  out="$(mktemp)"
  while :; do
    tries=$((tries + 1))
    WINEPREFIX="$E2E_PREFIX" "$PELNORO_WINE" "$E2E_DRIVER" desktop --hold >"$out" 2>&1 &
    pid=$!
    while kill -0 "$pid" 2>/dev/null && ! grep -q '^desktop=ready' "$out" &&
      [ $SECONDS -lt $deadline ]; do
      sleep 0.05
    done
    grep -q '^desktop=ready' "$out" && break
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    if [ $SECONDS -ge $deadline ]; then
      rm -f "$out"
      e2e_fail "the prefix's desktop did not come up within 120 s ($tries tries)"
      return 1
    fi
  done
  rm -f "$out"
  E2E_PIDS+=("$pid")
  E2E_DESKTOP_OF="$E2E_PREFIX"
  [ $tries = 1 ] || e2e_note "the prefix's desktop came up at try $tries"
}

# e2e_driver_window ARGS...: a window of the driver (a test picture), in the background
# until the case ends.
e2e_driver_window() {
  [ "$E2E_CASE_FAILED" = 0 ] || return 1
  _desktop_up || return 1
  (WINEPREFIX="$E2E_PREFIX" exec "$PELNORO_WINE" "$E2E_DRIVER" "$@" >/dev/null 2>&1) &
  E2E_PIDS+=("$!")
}

# Starts the program in the background; its Linux pid goes to E2E_LAST_PID.
e2e_start_app() {
  [ "$E2E_CASE_FAILED" = 0 ] || return 1
  _desktop_up || return 1
  (cd "$E2E_APP" && WINEPREFIX="$E2E_PREFIX" exec "$PELNORO_WINE" "$E2E_APP_WIN\\pelnoro.exe" \
    </dev/null >>"$E2E_ARTIFACTS/$E2E_NAME.log" 2>&1) &
  E2E_LAST_PID=$!
  E2E_PIDS+=("$E2E_LAST_PID")
}

# e2e_wait_exit PID SECONDS: waits for a started program; its exit code goes to E2E_RC.
# Returns 1 (and leaves it running) when it does not end in time.
e2e_wait_exit() {
  local pid="$1" deadline=$((SECONDS + $2))
  [ "$E2E_CASE_FAILED" = 0 ] || return 1
  while kill -0 "$pid" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then
      E2E_RC=""
      return 1
    fi
    sleep 0.1
  done
  wait "$pid"
  E2E_RC=$?
  return 0
}

# Writes UTF-8 text lines as a Shift_JIS (code page 932) file with CR LF line ends.
write_cp932_lines() {
  local out="$1"; shift
  printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 >"$out"
}

# Shows a file as it reads in UTF-8, CR LF marked, for failure reports.
show_cp932() {
  iconv -f CP932 -t UTF-8 "$1" 2>&1 | sed -e 's/\r$/<CR>/' -e 's/^/      | /'
}

# e2e_finish: prints the tally and exits 0 only when every check passed.
e2e_finish() {
  mkdir -p "$E2E_ARTIFACTS"
  if [ "$E2E_CHECKS" = 0 ]; then
    echo "  FAIL no check ran"
    exit 1
  fi
  echo "$E2E_NAME: $((E2E_CHECKS - E2E_FAILED)) of $E2E_CHECKS checks passed"
  [ "$E2E_FAILED" = 0 ]
  exit $?
}

mkdir -p "$E2E_ARTIFACTS"

# e2e_child TITLE CLASS TEXT: "HWND WIDTH HEIGHT VISIBLE" of the child window of TITLE
# with this class and exactly this text, a shown one before a hidden one; nothing and
# status 1 when there is none.
e2e_child() {
  local line this hit="" re='^child=([^ ]+) ([^ ]+) id=[^ ]+ visible=([01]) '
  re+='rect=(-?[0-9]+),(-?[0-9]+),(-?[0-9]+),(-?[0-9]+) text=(.*)$'
  while IFS= read -r line; do
    line="${line%$'\r'}"
    [[ "$line" =~ $re ]] || continue
    [ "${BASH_REMATCH[2]}" = "$2" ] && [ "${BASH_REMATCH[8]}" = "$3" ] || continue
    this="${BASH_REMATCH[1]} $((BASH_REMATCH[6] - BASH_REMATCH[4]))"
    this+=" $((BASH_REMATCH[7] - BASH_REMATCH[5])) ${BASH_REMATCH[3]}"
    if [ "${BASH_REMATCH[3]}" = 1 ]; then
      echo "$this"
      return 0
    fi
    [ -n "$hit" ] || hit="$this"
  done < <(drv children "$1")
  [ -n "$hit" ] && echo "$hit"
}

# e2e_click_child TITLE CLASS TEXT: clicks the middle of that child, as a user would.
e2e_click_child() {
  local found hwnd w h
  found="$(e2e_child "$@")" || { echo "no $2 \"$3\" in \"$1\"" >&2; return 1; }
  read -r hwnd w h _ <<<"$found"
  drv click "hwnd:$hwnd" $((w / 2)) $((h / 2)) >/dev/null
}

# e2e_checked TITLE CLASS TEXT: check state (0 or 1) of a check box or option button.
e2e_checked() {
  local found
  found="$(e2e_child "$@")" || return 1
  drv checked "hwnd:${found%% *}" | field checked
}

# e2e_list_point LIST-HWND SUFFIX: "X Y", the middle of the first shown row of the list
# box whose text ends in SUFFIX, in the list's client pixels.
e2e_list_point() {
  local line re='^item=([0-9]+) ([0-9]+),([0-9]+),([0-9]+),([0-9]+) (.*)$'
  while IFS= read -r line; do
    line="${line%$'\r'}"
    [[ "$line" =~ $re ]] || continue
    [[ "${BASH_REMATCH[6]}" == *"$2" ]] || continue
    [ "${BASH_REMATCH[4]}" -gt "${BASH_REMATCH[2]}" ] || continue  # scrolled out of view
    echo $(((BASH_REMATCH[2] + BASH_REMATCH[4]) / 2)) $(((BASH_REMATCH[3] + BASH_REMATCH[5]) / 2))
    return
  done < <(drv items "hwnd:$1")
  echo "no row ending in \"$2\" shown in list $1" >&2
  return 1
}

# e2e_list_click LIST-HWND SUFFIX: clicks that row once it is shown (the program may still
# be laying the list out after the last command, 10 s at most).
e2e_list_click() {
  local at deadline=$((SECONDS + 10))
  until at="$(e2e_list_point "$@" 2>/dev/null)"; do
    if [ "$E2E_CASE_FAILED" != 0 ] || [ $SECONDS -ge $deadline ]; then
      e2e_list_point "$@" >/dev/null
      return 1
    fi
    sleep 0.1
  done
  # shellcheck disable=SC2086
  drv click "hwnd:$1" $at >/dev/null || { echo "the click on row \"$2\" at $at failed" >&2; return 1; }
}

# e2e_list_rows LIST-HWND: the rows' texts, one a line.
e2e_list_rows() {
  drv items "hwnd:$1" | sed -n 's/^item=[0-9]* [0-9,]* //p' | tr -d '\r'
}

# bytes_at FILE OFFSET COUNT: the bytes there as unsigned decimals, one a line.
bytes_at() {
  od -An -v -tu1 -j "$2" -N "$3" "$1" | tr -s ' ' '\n' | sed '/^$/d'
}

# e2e_poll EXPECTED SECONDS COMMAND...: runs COMMAND until it prints EXPECTED or SECONDS
# have passed, and prints what it printed last. The program answers input in its own
# time; a check on the state after a click waits for it this way.
e2e_poll() {
  local want="$1" deadline=$((SECONDS + $2)) out
  shift 2
  [ "$E2E_CASE_FAILED" = 0 ] || return 1
  while :; do
    out="$("$@" 2>/dev/null)"
    [ "$out" = "$want" ] || [ $SECONDS -ge $deadline ] && break
    sleep 0.1
  done
  printf '%s\n' "$out"
}

# e2e_await EXPECTED SECONDS COMMAND...: waits until COMMAND prints EXPECTED, as
# e2e_poll does; fails the case, naming the command, when it has not within SECONDS.
e2e_await() {
  local out
  out="$(e2e_poll "$@")" || return 1
  [ "$out" = "$1" ] && return 0
  e2e_fail "${*:3}: expected '$1' within $2 s, got '$out'"
}

# e2e_shown TITLE CLASS TEXT: 1 when that child is shown, 0 when hidden, "missing".
e2e_shown() {
  local found
  found="$(e2e_child "$@")" || { echo missing; return; }
  echo "${found##* }"
}
