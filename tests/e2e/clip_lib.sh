# The main window's buttons and the steps of a clip shared by the end-to-end scripts: a
# test picture, the shutter, a drag on the frozen screen, the cut, and pixel comparisons
# with the screen.
# Source after lib.sh.

# Centres of the main window's buttons in client twips; px converts them at the
# prefix's DPI.
SHUTTER=(2715 405)
CUT=(2670 510)
OPEN_SAVE=(2820 1065)
SAVE_RUN=(630 1665)
EXIT=(2820 1365)
DPI=96
CAPTURES=0
px() { echo $(($1 * DPI / 1440)) $(($2 * DPI / 1440)); }
# The rectangle dragged on the frozen screen (screen pixels) and its size.
SEL=(100 560 340 740)
SEL_W=240
SEL_H=180

# The main window's menu list (the only list box on it).
menu_list() {
  drv children Pelnoro | awk '/ ListBox / {sub(/^child=/, "", $1); print $1; exit}'
}

# menu_row_shown LIST SUFFIX: "yes" when a row of the menu ends in SUFFIX.
menu_row_shown() {
  e2e_list_rows "$1" | grep -q "$2\$" && echo yes || echo no
}

# menu_reveal GROUP CAPTION: opens ツール and its group GROUP where they are closed,
# closing the other groups under ツール so that the list need not scroll, until the
# row of the command CAPTION shows, as a user clicks the rows.
menu_reveal() {
  local list row
  list="$(menu_list)"
  if [ "$(menu_row_shown "$list" ＋ツール)" = yes ]; then
    e2e_list_click "$list" ＋ツール
    e2e_await yes 10 menu_row_shown "$list" "$1"
  fi
  while read -r row; do
    [ "$row" = "－$1" ] && continue
    e2e_list_click "$list" "$row"
    e2e_await no 10 menu_row_shown "$list" "$row"
  done < <(e2e_list_rows "$list" | sed -n 's/^ \(－.*\)$/\1/p')
  if [ "$(menu_row_shown "$list" "＋$1")" = yes ]; then
    e2e_list_click "$list" "＋$1"
    e2e_await yes 10 menu_row_shown "$list" "　$2"
  fi
}

# menu_command GROUP CAPTION: shows the command's row (menu_reveal) and clicks it.
menu_command() {
  menu_reveal "$@" || return 1
  e2e_list_click "$(menu_list)" "　$2" || { e2e_fail "no menu row $2"; return 1; }
}

# The save panel's file name and cancel button, client twips (centres).
FILE_NAME=(1140 547)
CANCEL=(1597 1672)

# shown_edit: the text of the main window's shown edit box, if one is shown.
shown_edit() {
  drv children Pelnoro | tr -d '\r' |
    awk '$2 == "Edit" && $4 == "visible=1" {sub(/^.* text=/, ""); print "shown:" $0; exit}'
}

# rename_to FROM TO: in the open save panel, opens the name FROM for editing with a click
# on it, types TO, Enter.
rename_to() {
  local now
  drv click Pelnoro $(px "${FILE_NAME[@]}") >/dev/null
  now="$(e2e_poll "shown:$1" 10 shown_edit)"
  if [ "$now" != "shown:$1" ]; then
    e2e_fail "a click on the file name should open it for editing, got '$now'"
    return 1
  fi
  e2e_click_child Pelnoro Edit "$1"
  drv key Pelnoro end shift+home delete >/dev/null
  drv type Pelnoro "$2" >/dev/null
  drv key Pelnoro enter >/dev/null
  e2e_eq "edit box closed by Enter" "" "$(e2e_poll "" 10 shown_edit)"
}

# show_page ROW CONTROL-CLASS CONTROL-TEXT: opens a settings page from the menu and
# makes sure the page is up by one of its controls.
show_page() {
  local list
  list="$(menu_list)"
  # The group opens on a click on its closed row.
  if [ "$(menu_row_shown "$list" ＋設定)" = yes ]; then
    e2e_list_click "$list" "＋設定"
    e2e_await yes 10 menu_row_shown "$list" "　$1"
  fi
  e2e_list_click "$list" "　$1" || { e2e_fail "no menu row $1"; return 1; }
  if [ "$(e2e_poll 1 10 e2e_shown プロパティ "$2" "$3")" != 1 ]; then
    e2e_fail "page $1: \"$3\" not shown"
    return 1
  fi
}

# toggle_check TEXT WANTED: clicks a check box of the shown page; it must then be WANTED.
toggle_check() {
  e2e_click_child プロパティ Button "$1" || { e2e_fail "no check box $1"; return 1; }
  e2e_eq "check box $1 after its click" "$2" "$(e2e_poll "$2" 10 e2e_checked プロパティ Button "$1")"
}

# choose_option TEXT: clicks an option button of the shown page; it must be the only one
# set in its group afterwards (the others are given after it).
choose_option() {
  local wanted="$1" other
  shift
  e2e_click_child プロパティ Button "$wanted"
  e2e_eq "option $wanted" 1 "$(e2e_poll 1 10 e2e_checked プロパティ Button "$wanted")"
  for other in "$@"; do
    e2e_eq "option $other after choosing $wanted" 0 \
      "$(e2e_poll 0 10 e2e_checked プロパティ Button "$other")"
  done
}

# child_text TITLE CLASS: the text of the first shown child of that class.
child_text() {
  drv children "$1" | tr -d '\r' |
    awk -v cls="$2" '$2 == cls && $4 == "visible=1" {sub(/^.* text=/, ""); print; exit}'
}

# frozen_window: the handle of the full-screen picture window (it has no title).
frozen_window() {
  local size="${PELNORO_XVFB_SIZE:-1280x1024}"
  drv list | awk -v r="rect=0,0,${size%x*},${size#*x}" 'index($0, r) && /title=$/ {print $1}' |
    sed 's/^window=//' | head -n1
}

# show_pattern: a test picture under the rectangle, so that the cut has structure to
# compare (a plain desktop would match even a cut taken from the wrong place).
show_pattern() {
  e2e_driver_window pattern $((SEL[0] - 40)) $((SEL[1] - 40)) $((SEL_W + 80)) $((SEL_H + 80))
  drv wait-window "test pattern" --timeout 60000 >/dev/null || e2e_fail "no test pattern window"
}

frozen_shown() { [ -n "$(frozen_window)" ]; }

# shutter_drag_cut: the shutter, a real X drag over SEL on the frozen screen, the cut.
shutter_drag_cut() {
  drv click Pelnoro $(px "${SHUTTER[@]}") >/dev/null || { e2e_fail "shutter click"; return 1; }
  e2e_wait 10 "the frozen screen after the shutter" frozen_shown || return 1
  e2e_pass "the frozen screen covers the screen ($(frozen_window))"
  # A real X drag: input injected from another Wine process lifts the frozen
  # screen over the loupe under Wine's desktop, which a user's mouse does not.
  x_drag "${SEL[0]}" "${SEL[1]}" "${SEL[2]}" "${SEL[3]}" || return 1
  local info
  info="$(drv info Pelnoro)"
  e2e_eq "main window still topmost over the frozen screen" 1 "$(field topmost <<<"$info")"
  e2e_eq "loupe shown" 1 "$(drv info Loupe | field visible)"
  CAPTURES=$((CAPTURES + 1))
  e2e_note "screenshot: $(e2e_screenshot "capture-with-band-$CAPTURES")"
  drv click Pelnoro $(px "${CUT[@]}") >/dev/null || { e2e_fail "cut click"; return 1; }
}

# start_capture: the test pattern, the program, a reference picture of the screen in
# BEFORE, then shutter_drag_cut.
start_capture() {
  show_pattern
  e2e_start_app
  if ! drv wait-window Pelnoro --timeout 60000 >/dev/null; then
    e2e_fail "window \"Pelnoro\" did not appear"
    return 1
  fi
  # A reference picture of the screen before anything of ours covers the area.
  BEFORE="$(e2e_screenshot before)"
  shutter_drag_cut
}

# clips_folder: C:\clips\ in the prefix, holding one ordinary file (a save folder
# without files is forgotten at the start); its Linux path goes to CLIPS.
clips_folder() {
  CLIPS="$E2E_PREFIX/drive_c/clips"
  mkdir -p "$CLIPS"
  echo x >"$CLIPS/keep.txt"
}

# save_through_panel FILE [SHOT]: 保存, then 保存実行 (with a screenshot SHOT of the
# open panel when named); waits for FILE, a Linux path, and fails the case when it is
# not written.
save_through_panel() {
  drv click Pelnoro $(px "${OPEN_SAVE[@]}") >/dev/null || { e2e_fail "保存 click"; return 1; }
  # The save panel takes the menu's place.
  e2e_await 0 10 e2e_shown Pelnoro ListBox ""
  [ -n "${2:-}" ] && e2e_note "screenshot: $(e2e_screenshot "$2")"
  drv click Pelnoro $(px "${SAVE_RUN[@]}") >/dev/null || { e2e_fail "保存実行 click"; return 1; }
  e2e_wait 30 "$(basename "$1") written" test -s "$1"
}

# same_pixels WHAT FILE: FILE holds exactly the selected rectangle of the reference.
same_pixels() {
  local ref diff
  ref="$(mktemp --suffix=.png)"
  convert "$BEFORE" -crop "${SEL_W}x${SEL_H}+${SEL[0]}+${SEL[1]}" +repage "$ref"
  e2e_eq "$1 size" "${SEL_W}x${SEL_H}" "$(identify -format '%wx%h' "$2" 2>/dev/null)"
  diff="$(compare -metric AE "$2" "$ref" null: 2>&1)"
  e2e_eq "$1 pixels differing from the screen" 0 "$diff"
  rm -f "$ref"
}

exit_app() {
  local pid=$E2E_LAST_PID
  drv click Pelnoro $(px "${EXIT[@]}") >/dev/null
  e2e_wait_exit "$pid" 30 || e2e_fail "program still runs after the exit click"
}

# The link-target dialog, in its open role after 画像開く.
DIALOG=リンクファイル
dialog_shown() { drv count "$DIALOG" | field count; }

# open_file NAME [SHOT]: 画像開く, NAME clicked in the dialog's file list, OK.
open_file() {
  local hwnd
  drv click Pelnoro $(px "${OPEN_SAVE[@]}") >/dev/null
  if [ "$(e2e_poll 1 10 dialog_shown)" != 1 ]; then
    e2e_fail "no dialog after 画像開く"
    return 1
  fi
  for hwnd in $(drv children "$DIALOG" | awk '$2 == "ListBox" {sub(/^child=/, "", $1); print $1}'); do
    e2e_list_click "$hwnd" "$1" 2>/dev/null && break
  done
  [ -n "${2:-}" ] && e2e_note "screenshot: $(e2e_screenshot "$2")"
  e2e_click_child "$DIALOG" Button OK || e2e_fail "no OK button"
}
