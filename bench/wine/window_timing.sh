#!/usr/bin/env bash
# Shows that our sessions move and hide windows as fast as Windows does: runs
# window_timing.exe on a bare Xvfb (no window manager: Wine waits 2 s each time) and in
# the Wine desktop the run command and the test scripts use. Prints figures only.
# Usage: bench/wine/window_timing.sh (the Windows build in build/win first).
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
exe="$PELNORO_ROOT/build/win/bin/pelnoro_window_timing.exe"
[ -f "$exe" ] || { echo "build $exe first (cmake --build build/win)" >&2; exit 1; }
unset DISPLAY
for kind in "bare Xvfb, no window manager" "Wine desktop (our sessions)"; do
  xvfb_start 1280x1024x24 || exit 1
  prefix="$(wine_prefix_new)" || exit 1
  case $kind in
    Wine*) wine_prefix_set_desktop "$prefix" "$PELNORO_XVFB_SIZE" ;;
    *) wine_prefix_set_desktop "$prefix" ;;
  esac
  echo "== $kind"
  WINEPREFIX="$prefix" pelnoro_timeout 300 "$PELNORO_WINE" "$exe"
  wine_prefix_drop "$prefix"
  xvfb_stop
done
