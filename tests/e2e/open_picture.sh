#!/usr/bin/env bash
# Opening picture files in place of a cut, as a user does: a cut saved as PNG is opened
# again from the save folder, turned and saved as JPEG; a large JPEG whose orientation
# tag says "rotate 90" opens upright in a window that stays on the screen and saves all
# its pixels; a damaged PNG gets the error message and leaves the program idle.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

cut_window_shown() { drv count " Pelnoro" | field count; }

# save_as NAME FILE: opens the save panel, renames the picture NAME-as-shown to the
# basename of FILE, saves, and waits for FILE (a Linux path).
save_as() {
  drv click Pelnoro $(px "${OPEN_SAVE[@]}") >/dev/null
  e2e_await 0 10 e2e_shown Pelnoro ListBox ""
  rename_to "$1" "$(basename "$2")"
  drv click Pelnoro $(px "${SAVE_RUN[@]}") >/dev/null
  e2e_wait 30 "$(basename "$2") written" test -s "$2"
}

e2e_begin open_picture

e2e_case "a saved cut opened, turned and saved as JPEG; a tall JPEG upright; a damaged PNG"
clips_folder
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=PNG' 'ファイル名=shot' '自動ナンバリング=する' \
  '保存先=C:\clips\' '解像度=90' '現在の位置XY=9000-1200'
# A 3000 x 2000 picture, red on the left and blue on the right, stored with the tag
# "rotate 90 clockwise to show": shown upright it is 2000 x 3000, red at the top.
convert -size 1500x2000 xc:'#d02020' -size 1500x2000 xc:'#2040c0' +append -quality 92 \
  "$CLIPS/tall-untagged.jpg"
# The orientation tag: an Exif segment (big-endian TIFF, one entry 0x0112 = 6) after SOI.
python3 - "$CLIPS/tall-untagged.jpg" "$CLIPS/tall.jpg" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
tiff = (b"MM\x00\x2a" + struct.pack(">IH", 8, 1) + struct.pack(">HHIHH", 0x0112, 3, 1, 6, 0)
        + struct.pack(">I", 0))
app1 = b"Exif\x00\x00" + tiff
open(sys.argv[2], "wb").write(data[:2] + b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1
                              + data[2:])
PY
rm -f "$CLIPS/tall-untagged.jpg"
# The cut is taken from a soft, photo-like picture: a lossy JPEG stays close to it.
e2e_driver_window smooth-picture $((SEL[0] - 40)) $((SEL[1] - 40)) $((SEL_W + 80)) $((SEL_H + 80))
drv wait-window "smooth picture" --timeout 60000 >/dev/null || e2e_fail "no smooth picture"
e2e_start_app
drv wait-window Pelnoro --timeout 60000 >/dev/null || e2e_fail "no main window"
if shutter_drag_cut && drv wait-window " Pelnoro" --timeout 20000 >/dev/null; then
  if save_through_panel "$CLIPS/shot00.PNG"; then
    e2e_await 0 10 cut_window_shown
    open_file shot00.PNG open-dialog
    if [ "$(e2e_poll 1 10 cut_window_shown)" = 1 ]; then
      e2e_pass "the saved cut opens in the picture window"
      e2e_note "screenshot: $(e2e_screenshot opened-picture)"
      e2e_eq "the picture window: 40 x 50 pixels larger than the picture" 280x230 \
        "$(drv info " Pelnoro" | field size)"
      menu_command 回転 "90°"
      if save_as shot00.PNG "$CLIPS/turned.jpg"; then
        ref="$(mktemp --suffix=.png)"
        convert "$CLIPS/shot00.PNG" -rotate 90 "$ref"
        e2e_eq "turned.jpg is a JPEG of the turned picture's size" "JPEG 180x240" \
          "$(identify -format '%m %wx%h' "$CLIPS/turned.jpg")"
        psnr="$(compare -metric PSNR "$CLIPS/turned.jpg" "$ref" null: 2>&1 | cut -d' ' -f1)"
        e2e_eq "turned.jpg against an independent turn of the PNG: PSNR above 30 dB" yes \
          "$(awk -v p="$psnr" 'BEGIN {print (p == "inf" || p > 30) ? "yes" : "no (" p ")"}')"
        rm -f "$ref"
      else
        e2e_fail "turned.jpg was not written"
      fi
    else
      e2e_fail "no picture window after opening shot00.PNG"
    fi
  else
    e2e_fail "shot00.PNG was not written"
  fi

  # The tall JPEG.
  e2e_await 0 10 cut_window_shown
  open_file tall.jpg
  if [ "$(e2e_poll 1 20 cut_window_shown)" = 1 ]; then
    read -r l t r b <<<"$(drv info " Pelnoro" | field rect | tr , ' ')"
    e2e_eq "the picture window stays on the 1280 x 1024 screen" yes \
      "$([ "$l" -ge 0 ] && [ "$t" -ge 0 ] && [ "$r" -le 1280 ] && [ "$b" -le 1024 ] && echo yes ||
         echo "no ($l,$t,$r,$b)")"
    e2e_note "screenshot: $(e2e_screenshot opened-tall-picture)"
    if save_as tall.jpg "$CLIPS/upright.png"; then
      e2e_eq "upright.png holds every pixel, upright" "PNG 2000x3000" \
        "$(identify -format '%m %wx%h' "$CLIPS/upright.png")"
      e2e_eq "red at the top, blue at the bottom" "red blue" \
        "$(convert "$CLIPS/upright.png" -format \
          '%[fx:p{1000,100}.r > 0.6 && p{1000,100}.b < 0.3 ? 1 : 0] %[fx:p{1000,2900}.b > 0.6 && p{1000,2900}.r < 0.3 ? 1 : 0]' \
          info: | sed 's/^1/red/; s/ 1$/ blue/')"
    else
      e2e_fail "upright.png was not written"
    fi
  else
    e2e_fail "no picture window after opening tall.jpg"
  fi

  # A damaged PNG: the message, and nothing opened.
  head -c 3000 "$CLIPS/shot00.PNG" >"$CLIPS/broken.png"
  e2e_await 0 10 cut_window_shown
  open_file broken.png
  box="$(drv msgbox --timeout 10000)"
  e2e_eq "error message title" "ｴﾗｰ" "$(field title <<<"$box")"
  e2e_eq "error message text" "ｴﾗｰ番号  481Pelnoro でｴﾗｰが発生しました。\\r画像ファイルとして読み込めません。" \
    "$(field text <<<"$box")"
  e2e_note "screenshot: $(e2e_screenshot damaged-picture-message)"
  drv press OK >/dev/null
  e2e_eq "no picture window after the damaged file" 0 "$(e2e_poll 0 10 cut_window_shown)"
  e2e_click_child "$DIALOG" Button Cancel
  e2e_eq "the dialog closes with Cancel" 0 "$(e2e_poll 0 10 dialog_shown)"
  exit_app
fi

e2e_finish
