#!/bin/sh
# Builds the benchmark corpus (binary PPM, 8-bit) in $1 (default bench/corpus):
# screenshots of X programs under Xvfb, rendered text, a synthetic photo-like picture and
# screenshots of the program's own windows.
# Needs: xvfb, x11-utils (xdpyinfo), x11-xserver-utils (xsetroot), xterm, x11-apps,
# imagemagick, fonts-dejavu; bench/run.py also needs libjpeg-turbo-progs and pngcheck.
set -eu
out=${1:-$(dirname "$0")/corpus}
mkdir -p "$out"
out=$(cd "$out" && pwd)
convert=/usr/bin/convert
display=:97
# Use an unused display number; the lock file tells.
while [ -e /tmp/.X${display#:}-lock ]; do display=:$(( ${display#:} + 1 )); done

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pids=""
cleanup() { for p in $pids; do kill "$p" 2>/dev/null || true; done; kill "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT
export DISPLAY=$display
for i in 1 2 3 4 5 6 7 8 9 10; do xdpyinfo >/dev/null 2>&1 && break; sleep 0.3; done

start() { "$@" >/dev/null 2>&1 & pids="$pids $!"; }
shot() { import -window root -depth 8 "ppm:$out/$1.ppm"; }

# A desktop of X programs: terminals full of text, clocks, logos, a calculator.
xsetroot -solid '#3a6ea5' 2>/dev/null || true
start xterm -geometry 100x40+10+10 -fa 'DejaVu Sans Mono' -fs 10 -e sh -c 'ls -l /usr/bin | head -60; sleep 60'
start xterm -geometry 80x30+900+20 -bg black -fg green -e sh -c 'dmesg 2>/dev/null | head -40 || cat /etc/services | head -40; cat /etc/services | head -30; sleep 60'
start xclock -geometry 300x300+1500+600 -update 1
start xlogo -geometry 200x200+1100+700
start xeyes -geometry 250x150+700+800
start xcalc -geometry +200+650
sleep 2
shot desktop-1920x1080

# One terminal with anti-aliased text, cropped to the window as a user would cut it.
for p in $pids; do kill "$p" 2>/dev/null || true; done
pids=""
sleep 0.5
start xterm -geometry 120x45+0+0 -fa 'DejaVu Sans Mono' -fs 11 -e sh -c 'man -P cat ls 2>/dev/null | head -80 || cat /etc/services | head -80; sleep 60'
sleep 2
import -window root -crop 1100x800+0+0 -depth 8 "ppm:$out/terminal-aa-1100x800.ppm"

for p in $pids; do kill "$p" 2>/dev/null || true; done
pids=""
start xterm -geometry 90x35+0+0 -fn fixed -e sh -c 'cat /etc/services | head -60; sleep 60'
start xedit -geometry 700x500+560+0 /etc/services
sleep 2
import -window root -crop 1280x720+0+0 -depth 8 "ppm:$out/xterm-xedit-1280x720.ppm"

# Rendered document text (black on white, anti-aliased) and a synthetic photo.
text=$(head -n 48 /usr/share/common-licenses/GPL-3 | tr -d '%\\')
$convert -size 1200x900 xc:white -font DejaVu-Serif -pointsize 16 -fill black \
  -annotate +20+24 "$text" -depth 8 "ppm:$out/text-1200x900.ppm"
$convert -seed 4 -size 1920x1080 plasma:tan-steelblue -blur 0x1 -attenuate 0.3 \
  +noise Gaussian -depth 8 "ppm:$out/photo-1920x1080.ppm"
# The program's own windows under Wine, as the end-to-end runs saw them: a dialog, its
# widgets, and whole 1280x1024 screens with several windows open.
shots=$(dirname "$0")/../docs/guide/guide-images
for s in property-box-page-1:dialog-370x490 folder-chooser:widgets-380x420 \
         open-dialog:windows-1280x1024 link-mode-text-view:windows-text-1280x1024; do
  $convert "$shots/${s%%:*}.png" -alpha off -depth 8 "ppm:$out/${s#*:}.ppm"
done
ls -l "$out"
