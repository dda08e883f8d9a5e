# Wine and display environment shared by the run and test scripts. Source it:
#   . scripts/wine-env.sh
# Nothing here prints unless something goes wrong (or PELNORO_VERBOSE=1).

PELNORO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PELNORO_WINE_DIR="${PELNORO_WINE_DIR:-$PELNORO_ROOT/build}"

# PELNORO_WINEDEBUG=+debugstr (say) shows what the programs tell the debugger.
export WINEDEBUG="${PELNORO_WINEDEBUG:--all}"
# No Mono/Gecko installers, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
# Code page 932, Japanese message-box buttons and captions.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
unset WINEPREFIX

# Debian's `wine` wrapper nags about wine32 unless WINEDEBUG says -all; call the
# 64-bit loader directly when it is there.
if [ -x /usr/lib/wine/wine64 ]; then
  PELNORO_WINE=/usr/lib/wine/wine64
  export WINELOADER=/usr/lib/wine/wine64
else
  PELNORO_WINE="$(command -v wine64 || command -v wine || echo wine)"
fi
if [ -x /usr/lib/wine/wineserver64 ]; then
  PELNORO_WINESERVER=/usr/lib/wine/wineserver64
  export WINESERVER=/usr/lib/wine/wineserver64
else
  PELNORO_WINESERVER="$(command -v wineserver || echo wineserver)"
fi

# Japanese face names the program and Windows dialogs ask for, and the installed
# family that draws them.
PELNORO_FONT_SUBSTITUTES=(
  "ＭＳ ゴシック=IPAGothic"
  "MS Gothic=IPAGothic"
  "ＭＳ Ｐゴシック=IPAPGothic"
  "MS PGothic=IPAPGothic"
  "ＭＳ 明朝=IPAGothic"
  "MS Mincho=IPAGothic"
  "ＭＳ Ｐ明朝=IPAPGothic"
  "MS PMincho=IPAPGothic"
  "MS UI Gothic=IPAPGothic"
  "Meiryo=IPAPGothic"
  "メイリオ=IPAPGothic"
  "Meiryo UI=IPAPGothic"
  "Yu Gothic=IPAPGothic"
  "游ゴシック=IPAPGothic"
  "Yu Gothic UI=IPAPGothic"
)

pelnoro_log() { [ "${PELNORO_VERBOSE:-0}" = 1 ] && echo "wine-env: $*" >&2; return 0; }
pelnoro_die() { echo "wine-env: $*" >&2; return 1; }

# Runs a command with a time limit; the whole process group goes on expiry.
pelnoro_timeout() { timeout --kill-after=10 "$@"; }

# ---------------------------------------------------------------- prefixes

# Path of the template prefix for a DPI (96 is the plain one).
wine_template_path() {
  local dpi="${1:-96}"
  if [ "$dpi" = 96 ]; then
    echo "$PELNORO_WINE_DIR/wineprefix-template"
  else
    echo "$PELNORO_WINE_DIR/wineprefix-template-${dpi}dpi"
  fi
}

# Writes a UTF-16LE .reg file (regedit reads Japanese value names only reliably so).
_wine_write_reg() {
  local out="$1"; shift
  { printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    local line
    for line in "$@"; do printf '%s\r\n' "$line"; done
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$out"
}

_wine_font_reg_lines() {
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]'
  local pair
  for pair in "${PELNORO_FONT_SUBSTITUTES[@]}"; do
    printf '"%s"="%s"\n' "${pair%%=*}" "${pair#*=}"
  done
}

# Checks that every substitute landed in the prefix's registry under its exact name.
# regedit exports UTF-16LE; compare as UTF-8.
_wine_verify_fonts() {
  local prefix="$1" tmp
  tmp="$(mktemp)"
  WINEPREFIX="$prefix" pelnoro_timeout 60 "$PELNORO_WINE" regedit /E 'Z:'"${tmp//\//\\}" \
    'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' || true
  local text missing=0 pair
  text="$(iconv -f UTF-16LE -t UTF-8 "$tmp" 2>/dev/null | tr -d '\r')"
  rm -f "$tmp"
  for pair in "${PELNORO_FONT_SUBSTITUTES[@]}"; do
    if ! grep -qxF "\"${pair%%=*}\"=\"${pair#*=}\"" <<<"$text"; then
      echo "wine-env: font substitute missing in prefix: ${pair%%=*}" >&2
      missing=1
    fi
  done
  return $missing
}

# Builds a template prefix from scratch in DIR (not yet existing).
_wine_build_template() {
  local dir="$1" dpi="$2"
  mkdir -p "$dir"
  export WINEPREFIX="$dir"
  pelnoro_log "creating Wine prefix $dir (dpi $dpi)"
  # wineboot wants a display only for its progress window; none is needed.
  DISPLAY= pelnoro_timeout 300 "$PELNORO_WINE" wineboot -i >/dev/null 2>&1 \
    || { unset WINEPREFIX; pelnoro_die "wineboot -i failed"; return 1; }
  pelnoro_timeout 120 "$PELNORO_WINESERVER" -w || true

  # Wine's own fonts (Tahoma, Marlett for the caption buttons ...).
  local fonts="$dir/drive_c/windows/Fonts" f
  mkdir -p "$fonts"
  for f in /usr/share/wine/fonts/*; do
    [ -e "$f" ] || continue
    ln -sf "$f" "$fonts/$(basename "$f")"
  done

  local reg lines=()
  mapfile -t lines < <(_wine_font_reg_lines)
  lines+=('' '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000')
  if [ "$dpi" != 96 ]; then
    local hex
    hex="$(printf '%08x' "$dpi")"
    lines+=('' '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$hex")
    lines+=('' '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]'
            "\"LogPixels\"=dword:$hex")
  fi
  reg="$dir/drive_c/pelnoro-setup.reg"
  _wine_write_reg "$reg" "${lines[@]}"
  DISPLAY= pelnoro_timeout 120 "$PELNORO_WINE" regedit /S 'C:\pelnoro-setup.reg' >/dev/null 2>&1 || true
  rm -f "$reg"
  pelnoro_timeout 120 "$PELNORO_WINESERVER" -w || true
  if ! _wine_verify_fonts "$dir"; then
    pelnoro_timeout 60 "$PELNORO_WINESERVER" -k 2>/dev/null || true
    unset WINEPREFIX
    return 1
  fi
  pelnoro_timeout 120 "$PELNORO_WINESERVER" -w || true
  unset WINEPREFIX
}

# What a template was made from: Wine's version and the recipe. A change rebuilds it.
_wine_template_stamp() {
  { "$PELNORO_WINE" --version 2>/dev/null
    printf '%s\n' "${PELNORO_FONT_SUBSTITUTES[@]}"
    declare -f _wine_build_template _wine_write_reg _wine_font_reg_lines
  } | md5sum | cut -c1-32
}

# Makes sure the template prefix for a DPI exists; safe when several runs start at once.
wine_template_ensure() {
  local dpi="${1:-96}" tpl stamp
  tpl="$(wine_template_path "$dpi")"
  stamp="$(_wine_template_stamp)"
  [ "$(cat "$tpl/.pelnoro-ready" 2>/dev/null)" = "$stamp" ] && return 0
  mkdir -p "$PELNORO_WINE_DIR"
  (
    flock -w 600 9 || { pelnoro_die "timed out waiting for the prefix lock"; exit 1; }
    [ "$(cat "$tpl/.pelnoro-ready" 2>/dev/null)" = "$stamp" ] && exit 0
    rm -rf "$tpl" "$tpl.new"
    _wine_build_template "$tpl.new" "$dpi" || { rm -rf "$tpl.new"; exit 1; }
    echo "$stamp" >"$tpl.new/.pelnoro-ready"
    mv "$tpl.new" "$tpl"
  ) 9>"$PELNORO_WINE_DIR/.wineprefix.lock"
}

# Makes a fresh prefix from the template and prints its path: runs never share state.
# The ~700 MB of Wine's own DLLs are hard links (nothing writes to them); registry,
# user folders and everything else are real copies.
wine_prefix_new() {
  local dpi="${1:-96}" tpl dir
  wine_template_ensure "$dpi" || return 1
  tpl="$(wine_template_path "$dpi")"
  mkdir -p "$PELNORO_WINE_DIR/wineprefix-runs"
  dir="$(mktemp -d "$PELNORO_WINE_DIR/wineprefix-runs/run.XXXXXX")" || return 1
  if cp -al "$tpl/." "$dir/" 2>/dev/null; then
    find "$dir" \( -path "$dir/drive_c/windows/*/*" -prune \) -o -type f -links +1 -print0 |
      while IFS= read -r -d '' f; do
        cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"
      done
  else
    rm -rf "$dir" && mkdir -p "$dir" && cp -a "$tpl/." "$dir/" || { rm -rf "$dir"; return 1; }
  fi
  rm -f "$dir/.pelnoro-ready"
  echo "$dir"
}

# Ends every Wine process of a prefix and removes the prefix.
wine_prefix_drop() {
  local dir="$1"
  [ -n "$dir" ] && [ -d "$dir" ] || return 0
  WINEPREFIX="$dir" pelnoro_timeout 30 "$PELNORO_WINESERVER" -k >/dev/null 2>&1 || true
  WINEPREFIX="$dir" pelnoro_timeout 30 "$PELNORO_WINESERVER" -w >/dev/null 2>&1 || true
  rm -rf "$dir"
}

# True while a wineserver runs for the prefix (its registry is then in memory).
wine_prefix_busy() {
  ! WINEPREFIX="$1" timeout 2 "$PELNORO_WINESERVER" -w >/dev/null 2>&1
}

# Runs every window of a prefix inside one Wine desktop window of the given size, as on
# Windows: Wine then draws captions and frames itself and keeps topmost windows on top,
# which it cannot do on a bare X server without a window manager. With no size, windows
# go back to the X server's own. Call while no Wine process of the prefix runs.
wine_prefix_set_desktop() {
  local dir="$1" size="${2:-}" now
  now="$(date +%s)"
  # Drop earlier settings (ours, or Wine's own rewrite of them) first.
  awk '/^\[/ { skip = ($1 == "[Software\\\\Wine\\\\Explorer]" ||
                       $1 == "[Software\\\\Wine\\\\Explorer\\\\Desktops]") }
       !skip' "$dir/user.reg" >"$dir/user.reg.new" && mv "$dir/user.reg.new" "$dir/user.reg"
  [ -n "$size" ] || return 0
  printf '\n[Software\\\\Wine\\\\Explorer] %s\n"Desktop"="Default"\n' "$now" >>"$dir/user.reg"
  printf '\n[Software\\\\Wine\\\\Explorer\\\\Desktops] %s\n"Default"="%s"\n' "$now" "$size" \
    >>"$dir/user.reg"
}

# Sets the DPI of an existing prefix (takes effect for processes started later).
wine_prefix_set_dpi() {
  local dir="$1" dpi="$2" hex reg
  hex="$(printf '%08x' "$dpi")"
  reg="$dir/drive_c/pelnoro-dpi.reg"
  _wine_write_reg "$reg" '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$hex" '' \
    '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]' \
    "\"LogPixels\"=dword:$hex"
  WINEPREFIX="$dir" DISPLAY= pelnoro_timeout 120 "$PELNORO_WINE" regedit /S 'C:\pelnoro-dpi.reg' >/dev/null 2>&1
  local rc=$?
  rm -f "$reg"
  WINEPREFIX="$dir" pelnoro_timeout 60 "$PELNORO_WINESERVER" -w || true
  return $rc
}

# ---------------------------------------------------------------- displays

# True when $DISPLAY names an X server that answers.
x_display_ok() {
  [ -n "${DISPLAY:-}" ] || return 1
  pelnoro_timeout 5 xdpyinfo >/dev/null 2>&1
}

# Starts a private Xvfb on a free display number and exports DISPLAY.
# Sets PELNORO_XVFB_PID; stop it with xvfb_stop.
xvfb_start() {
  local geometry="${1:-1280x1024x24}" dpi="${2:-96}" numfile i n=""
  numfile="$(mktemp)"
  # -displayfd lets the server pick a free number itself: no races between runs.
  Xvfb -displayfd 3 -screen 0 "$geometry" -dpi "$dpi" -nolisten tcp -noreset \
    3>"$numfile" >/dev/null 2>&1 &
  PELNORO_XVFB_PID=$!
  for ((i = 0; i < 200; i++)); do
    n="$(tr -dc '0-9' <"$numfile")"
    [ -n "$n" ] && break
    kill -0 "$PELNORO_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$numfile"
  if [ -z "$n" ]; then
    kill "$PELNORO_XVFB_PID" 2>/dev/null
    unset PELNORO_XVFB_PID
    pelnoro_die "Xvfb did not start"
    return 1
  fi
  export DISPLAY=":$n"
  PELNORO_XVFB_SIZE="${geometry%x*}"
  for ((i = 0; i < 100; i++)); do
    x_display_ok && return 0
    sleep 0.05
  done
  pelnoro_die "Xvfb on $DISPLAY does not answer"
}

xvfb_stop() {
  if [ -n "${PELNORO_XVFB_PID:-}" ]; then
    kill "$PELNORO_XVFB_PID" 2>/dev/null || true
    wait "$PELNORO_XVFB_PID" 2>/dev/null || true
    unset PELNORO_XVFB_PID
  fi
}

# Uses the current display when it works, else starts a private Xvfb.
# Prints nothing; PELNORO_XVFB_PID is set only when a server was started here.
display_ensure() {
  x_display_ok && return 0
  xvfb_start "$@"
}
