#!/usr/bin/env bash
# The clickable map from end to end, as a user makes it: two areas marked on the cut,
# one linked to a picture chosen in the link-target dialog (previewed there), one to a
# file that is no picture; 設定終了, Yes, 保存実行. The .html and the image lie in the
# save folder, the .html holds the expected document, the text view showed the same
# lines, and the page works in a real browser (headless Chromium): the picture shows
# at its size and a click in each area leads to its target. Save, clear and exit are
# refused while link mode is on.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

DIALOG=リンクファイル
VIEW=クリッカブルマップ

# drag_on_cut X1 Y1 X2 Y2: a real drag on the cut image, in image pixels.
drag_on_cut() {
  local ox oy
  read -r ox oy <<<"$(drv info " Pelnoro" | field client_origin | tr , ' ')"
  x_drag $((ox + 15 + $1)) $((oy + 15 + $2)) $((ox + 15 + $3)) $((oy + 15 + $4))
}

# choose_file NAME: clicks NAME in the dialog's file list (the list box that shows it).
choose_file() {
  local hwnd
  for hwnd in $(drv children "$DIALOG" | awk '$3 == "ListBox" || $2 ~ /ListBox/ {print $1}' |
                sed 's/^child=//'); do
    e2e_list_click "$hwnd" "$1" 2>/dev/null && return 0
  done
  e2e_fail "no file $1 in the dialog's file list"
  return 1
}

dialog_shown() { drv count "$DIALOG" | field count; }

# link_area X1 Y1 X2 Y2 FILE [SHOT]: marks the area, リンクの設定, chooses FILE, OK.
link_area() {
  drag_on_cut "$1" "$2" "$3" "$4"
  menu_command リンク リンクの設定
  if [ "$(e2e_poll 1 10 dialog_shown)" != 1 ]; then
    e2e_fail "no link-target dialog after リンクの設定"
    return 1
  fi
  choose_file "$5" || return 1
  e2e_eq "target of the area $1,$2,$3,$4" "C:\\clips\\$5" \
    "$(e2e_poll "C:\\clips\\$5" 10 child_text "$DIALOG" Edit)"
  [ -n "${6:-}" ] && e2e_note "screenshot: $(e2e_screenshot "$6")"
  e2e_click_child "$DIALOG" Button OK || e2e_fail "no OK button"
  e2e_eq "dialog hidden after OK" 0 "$(e2e_poll 0 10 dialog_shown)"
}

# refused NAME X Y: clicks a main-window button at client twips X,Y while link mode is on;
# the in-window notice must come up with only Yes usable, and Yes closes it.
refused() {
  drv click Pelnoro $(px "$2" "$3") >/dev/null
  if [ "$(e2e_poll 1 10 e2e_shown Pelnoro Button Yes)" = 1 ]; then
    local no
    no="$(e2e_child Pelnoro Button No)"
    e2e_eq "$1 refused: the notice's No is greyed" 0 "$(drv info "hwnd:${no%% *}" | field enabled)"
    e2e_click_child Pelnoro Button Yes
    e2e_eq "$1 refused: the notice goes with Yes" 0 "$(e2e_poll 0 10 e2e_shown Pelnoro Button Yes)"
  else
    e2e_fail "$1 during link mode: no notice"
  fi
}

e2e_begin link_map

e2e_case "two areas, a picture and a file, saved with their page"
clips_folder
convert -size 400x100 gradient:navy-orange "$CLIPS/photo.png"
printf 'notes\r\n' >"$CLIPS/notes.txt"
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=map' '自動ナンバリング=しない' \
  '保存先=C:\clips\' '解像度=80' '現在の位置XY=9000-1200'
if start_capture && drv wait-window " Pelnoro" --timeout 20000 >/dev/null; then
  # The document goes to a file too: the map page of the property box.
  list="$(menu_list)"
  e2e_list_click "$list" ＋設定
  e2e_await yes 10 menu_row_shown "$list" "　クリッカブルマップ"
  e2e_list_click "$list" "　クリッカブルマップ"
  e2e_await 1 10 e2e_shown プロパティ Button HTMLファイルを作成
  e2e_click_child プロパティ Button HTMLファイルを作成
  e2e_eq "HTMLファイルを作成 ticked" 1 "$(e2e_poll 1 10 e2e_checked プロパティ Button HTMLファイルを作成)"
  e2e_list_click "$list" －設定

  link_area 12 30 140 96 photo.png link-dialog-preview
  e2e_eq "the text view is shown" 1 "$(drv count "$VIEW" | field count)"
  e2e_note "screenshot: $(e2e_screenshot link-mode)"
  link_area 150 10 230 60 notes.txt

  # While link mode is on, save, clear and exit are refused and change nothing.
  drv click Pelnoro $(px "${OPEN_SAVE[@]}") >/dev/null
  e2e_await 0 10 e2e_shown Pelnoro ListBox ""
  refused 保存実行 "${SAVE_RUN[@]}"
  e2e_eq "no image saved during link mode" missing "$([ -e "$CLIPS/map.PNG" ] && echo there || echo missing)"
  drv click Pelnoro $(px 1410 1665) >/dev/null  # キャンセル
  e2e_await 1 10 e2e_shown Pelnoro ListBox ""
  refused クリア 2820 1665
  e2e_eq "the cut window stays after クリア" 1 "$(drv count " Pelnoro" | field count)"
  refused 終了 "${EXIT[@]}"
  e2e_eq "the program still runs after 終了" 1 "$(drv count Pelnoro | field count)"

  menu_command リンク 設定終了
  e2e_await 1 10 e2e_shown Pelnoro Button No
  e2e_note "screenshot: $(e2e_screenshot finish-question)"
  e2e_click_child Pelnoro Button Yes
  view_text="$(drv text "$(drv children "$VIEW" | awk '$2 == "Edit" {sub(/^child=/, "", $1); print "hwnd:" $1; exit}')")"
  # The save panel is open: save.
  e2e_await 0 10 e2e_shown Pelnoro ListBox ""
  drv click Pelnoro $(px "${SAVE_RUN[@]}") >/dev/null
  e2e_wait 30 "map.PNG written" test -s "$CLIPS/map.PNG"
  e2e_eq "the image beside the page" 240x180 "$(identify -format '%wx%h' "$CLIPS/map.PNG" 2>/dev/null)"
  if [ -s "$CLIPS/map.html" ]; then
    cp "$CLIPS/map.html" "$E2E_ARTIFACTS/$E2E_NAME-map.html"
    name="$(iconv -f CP932 -t UTF-8 "$CLIPS/map.html" | sed -n 's/.*usemap="#\(lm[0-9_]*\)".*/\1/p')"
    e2e_eq "the map's name: lm, date and time" 1 "$([[ "$name" =~ ^lm[0-9]{6}_[0-9]{6}$ ]] && echo 1)"
    expected="$(mktemp)"
    printf '%s\r\n' '<html><p>' \
      "<img src=\"map.PNG\" width=\"240\" height=\"180\" border=\"0\" usemap=\"#$name\">" \
      "<map name=\"$name\">" \
      '<SCRIPT language="JavaScript">' '<!--' \
      'function Openphoto(){win=window.open("file:///C:/clips/photo.png","new","width=424,height=124");}' \
      '// -->' '</SCRIPT>' \
      '<area shape="rect" coords="12,30,140,96" href="javascript:void(0)" onClick="Openphoto()">' \
      '<area shape="rect" coords="150,10,230,60" href="file:///C:/clips/notes.txt">' \
      '</map>' '</p></html>' >"$expected"
    if cmp -s "$expected" "$CLIPS/map.html"; then
      e2e_pass "map.html holds the expected document, byte for byte"
    else
      e2e_fail "map.html differs from the expected document"
      diff <(tr -d '\r' <"$expected") <(tr -d '\r' <"$CLIPS/map.html") | sed 's/^/      /'
    fi
    e2e_eq "the text view showed the same lines, the last without a line end" \
      "$(head -c -2 "$expected" | iconv -f CP932 -t UTF-8)" "$view_text"
    rm -f "$expected"
    page="$(python3 "$E2E_DIR/map_page_check.py" "$CLIPS/map.html" 2>&1)"
    echo "$page" | sed 's/^/      | /'
    e2e_eq "in the browser: the picture at its size" "image=240x180 shown=240x180 loaded=1" \
      "$(sed -n 1p <<<"$page")"
    e2e_eq "in the browser: the picture's area opens a window on the picture" \
      "area=12,30,140,96 -> window file:///C:/clips/photo.png" "$(sed -n 2p <<<"$page")"
    e2e_eq "in the browser: the file's area leads to the file" \
      "area=150,10,230,60 -> file:///C:/clips/notes.txt" "$(sed -n 3p <<<"$page")"
  else
    e2e_fail "no map.html in the save folder"
  fi
  e2e_eq "the text view is emptied and hidden by the save" 0 "$(drv count "$VIEW" | field count)"
  exit_app
fi

e2e_finish
