#!/usr/bin/env bash
# Saves the whole X screen (the Xvfb the program runs in) as a PNG.
#   DISPLAY=:N tests/e2e/screenshot.sh OUT.png
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: DISPLAY=:N $0 OUT.png" >&2
  exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "screenshot: DISPLAY is not set (scripts/run-pelnoro.sh prints the one it uses)" >&2
  exit 2
fi
timeout 30 import -window root "$1"
echo "$1"
