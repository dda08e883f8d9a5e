#!/usr/bin/env bash
# Runs a Windows program under Wine in a fresh prefix and returns its exit code.
# CTest uses it as the emulator for every test built for Windows.
#
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
#
# Uses $DISPLAY when it answers, else a private Xvfb for the run, with the program in a
# Wine desktop window (1280x1024) that stands in for a window manager.
# PELNORO_WINE_DPI=144   run in a 144-DPI prefix
# PELNORO_XVFB_GEOMETRY=1920x1080x24  size of the private Xvfb (default 1280x1024x24)
# PELNORO_RUN_TIMEOUT=S  end the program after S seconds (default 900)
# PELNORO_KEEP_PREFIX=1  keep the prefix afterwards and print its path
set -uo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 PROGRAM.exe [ARGS...]" >&2
  exit 2
fi

. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

prefix=""
cleanup() {
  # Wine first, then its display: Wine processes complain when X goes away under them.
  if [ "${PELNORO_KEEP_PREFIX:-0}" = 1 ] && [ -n "$prefix" ]; then
    WINEPREFIX="$prefix" "$PELNORO_WINESERVER" -k >/dev/null 2>&1 || true
    echo "wine-run: prefix kept at $prefix" >&2
  else
    wine_prefix_drop "$prefix"
  fi
  xvfb_stop
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

prefix="$(wine_prefix_new "${PELNORO_WINE_DPI:-96}")" || { echo "wine-run: no Wine prefix" >&2; exit 125; }
display_ensure "${PELNORO_XVFB_GEOMETRY:-1280x1024x24}" || { echo "wine-run: no X display" >&2; exit 125; }
# On our own Xvfb there is no window manager: let Wine's desktop window stand in.
[ -n "${PELNORO_XVFB_PID:-}" ] && wine_prefix_set_desktop "$prefix" "$PELNORO_XVFB_SIZE"

# Not exec: the prefix and the display must be cleaned up after the program.
WINEPREFIX="$prefix" timeout --kill-after=10 "${PELNORO_RUN_TIMEOUT:-900}" \
  "$PELNORO_WINE" "$@" </dev/null
rc=$?
[ $rc = 124 ] && echo "wine-run: $1 timed out" >&2
exit $rc
