#!/usr/bin/env bash
# Installs what is missing, builds pelnoro.exe and runs it under Wine until it ends.
# Uses the current X display when it answers, else starts an Xvfb (1280x1024x24).
# The program lives in C:\pelnoro of a Wine prefix kept in build/wineprefix-app, so its
# pelnoro.ini and save_log.pel persist from run to run.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh || exit 1

mkdir -p build
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >build/win-configure.log 2>&1 ||
  { tail -n 40 build/win-configure.log; echo "configure failed" >&2; exit 1; }
echo "building pelnoro.exe (Release) ..."
cmake --build build/win --target pelnoro -j2 >build/win-build.log 2>&1 ||
  { tail -n 60 build/win-build.log; echo "build failed (build/win-build.log)" >&2; exit 1; }

. scripts/wine-env.sh

prefix="$PELNORO_WINE_DIR/wineprefix-app"
if [ ! -d "$prefix" ]; then
  made="$(wine_prefix_new)" || exit 1
  mv "$made" "$prefix"
fi
mkdir -p "$prefix/drive_c/pelnoro"

cleanup() {
  if [ -n "${PELNORO_XVFB_PID:-}" ]; then
    # Our Xvfb goes away: so must every Wine process drawing on it.
    WINEPREFIX="$prefix" "$PELNORO_WINESERVER" -k >/dev/null 2>&1 || true
    xvfb_stop
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if x_display_ok; then
  echo "running on display $DISPLAY"
  desktop=""
else
  xvfb_start 1280x1024x24 || exit 1
  desktop="1280x1024"
  cat <<EOF
No usable X display: started Xvfb on $DISPLAY (1280x1024x24); Pelnoro runs in a Wine
desktop window there. To take a screenshot, from another shell:
  DISPLAY=$DISPLAY import -window root shot.png     (or: DISPLAY=$DISPLAY tests/e2e/screenshot.sh shot.png)
Close Pelnoro with its exit button, or press Ctrl-C here.
EOF
fi

if wine_prefix_busy "$prefix"; then
  echo "(Pelnoro's Wine prefix is already in use: this copy joins it)"
else
  wine_prefix_set_desktop "$prefix" "$desktop"
  cp build/win/bin/pelnoro.exe "$prefix/drive_c/pelnoro/pelnoro.exe"
fi

cd "$prefix/drive_c/pelnoro"
WINEPREFIX="$prefix" "$PELNORO_WINE" 'C:\pelnoro\pelnoro.exe'
rc=$?
echo "Pelnoro ended (exit code $rc); its files are in $prefix/drive_c/pelnoro"
exit $rc
