#!/usr/bin/env bash
# One session of clips saved in every file format, the options changed between clips
# in the property box as a user does: JPEG at quality 50 and 90, baseline and
# progressive; PNG at the normal, low and highest compression; BMP. Each file must
# land under the next free number for its name and extension, and hold the selected
# pixels (exactly for PNG and BMP, closely for JPEG) in the chosen encoding.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

# Two pictures to cut from, clear of the main window (600,80 230x174) and of the
# property box docked under it (484,254 346x293). The lossless formats are cut from
# the busy pattern, where every pixel counts; JPEG from the soft picture, which a
# lossy encoder keeps close while a misplaced cut is far off.
PATTERN=(60 520 320 260)
SMOOTH=(420 580 320 260)
SEL_PATTERN=(100 560 340 740)
SEL_SMOOTH=(460 620 700 800)

CLIPS_WIN='C:\clips\'
CLIPS=""  # the folder as Linux sees it, once the prefix exists

# show_picture KIND X Y W H: a driver window with a test picture, until the case ends.
show_picture() {
  local kind="$1" title="test pattern"
  shift
  [ "$kind" = smooth-picture ] && title="smooth picture"
  e2e_driver_window "$kind" "$@"
  drv wait-window "$title" --timeout 60000 >/dev/null || e2e_fail "no \"$title\" window"
}

# property_value KEY: the value the property list page shows for KEY.
property_value() {
  show_page プロパティリスト ListBox "" || return 1
  local list
  list="$(e2e_child プロパティ ListBox "" | cut -d' ' -f1)"
  e2e_list_rows "$list" | sed -n "s/^$1=//p" | head -n1
}

# clip SELECTION-ARRAY-NAME EXPECTED-FILE: shutter, drag, cut, 保存, 保存実行. Leaves
# the screen picture taken before the shutter in BEFORE and the selection in SEL.
clip() {
  local -n sel_ref="$1"
  local expected="$2"
  SEL=("${sel_ref[@]}")
  local files_before
  files_before="$(ls "$CLIPS")"
  BEFORE="$(e2e_screenshot "before-${expected/./-}")"
  shutter_drag_cut || return 1
  drv wait-window " Pelnoro" --timeout 20000 >/dev/null || { e2e_fail "no cut window"; return 1; }
  local file="$CLIPS/$expected"
  save_through_panel "$file"
  drv wait-gone " Pelnoro" --timeout 20000 >/dev/null ||
    e2e_fail "cut window still there after 保存実行"
  local added
  added="$(comm -13 <(echo "$files_before") <(ls "$CLIPS") | paste -sd' ')"
  e2e_eq "new file in $CLIPS_WIN" "$expected" "$added"
  [ -s "$file" ]
}

# reference: the selected rectangle of the screen before the shutter, as PNG.
reference() {
  REF="$(mktemp --suffix=.png)"
  convert "$BEFORE" -crop "${SEL_W}x${SEL_H}+${SEL[0]}+${SEL[1]}" +repage "$REF"
}

same_pixels() {
  local name="$1" diff
  reference
  e2e_eq "$name size" "${SEL_W}x${SEL_H}" "$(identify -format '%wx%h' "$CLIPS/$name" 2>/dev/null)"
  diff="$(compare -metric AE "$CLIPS/$name" "$REF" null: 2>&1)"
  e2e_eq "$name pixels differing from the screen" 0 "$diff"
  rm -f "$REF"
}

# jpeg_frame FILE: the kind of frame header, found by walking the segments from the
# start of the file: "SOF0 baseline", "SOF2 progressive", or what else is there.
jpeg_frame() {
  local f="$1" off=2 size b
  size="$(stat -c %s "$f")"
  b=($(bytes_at "$f" 0 2))
  [ "${b[*]}" = "255 216" ] || { echo "no-SOI"; return; }
  while [ "$off" -lt "$size" ]; do
    b=($(bytes_at "$f" "$off" 4))
    [ "${b[0]}" = 255 ] || { echo "no-marker-at-$off"; return; }
    case "${b[1]}" in
      196 | 200 | 204) ;;  # DHT, JPG, DAC: not frames
      192) echo "SOF0 baseline"; return ;;
      194) echo "SOF2 progressive"; return ;;
      19[2-9] | 20[0-7]) echo "SOF$((b[1] - 192))"; return ;;
      218) echo "no-frame-before-scan"; return ;;
    esac
    off=$((off + 2 + b[2] * 256 + b[3]))
  done
  echo "no-frame"
}

# check_jpeg NAME QUALITY PROGRESSIVE(0|1): size, closeness to the screen, the quality
# the tables were made for, and the frame type. Leaves the PSNR in PSNR.
check_jpeg() {
  local name="$1" file="$CLIPS/$1"
  reference
  e2e_eq "$name size" "${SEL_W}x${SEL_H}" "$(identify -format '%wx%h' "$file" 2>/dev/null)"
  PSNR="$(compare -metric PSNR "$file" "$REF" null: 2>&1)"
  if awk -v p="$PSNR" 'BEGIN { exit !(p + 0 > 30) }'; then
    e2e_pass "$name PSNR against the screen $PSNR dB (> 30)"
  else
    e2e_fail "$name PSNR against the screen '$PSNR' dB, want > 30"
  fi
  e2e_eq "$name quality estimated from its tables" "$2" "$(identify -format '%Q' "$file")"
  local interlace
  interlace="$(identify -format '%[interlace]' "$file")"
  if [ "$3" = 1 ]; then
    e2e_eq "$name frame header" "SOF2 progressive" "$(jpeg_frame "$file")"
    e2e_eq "$name interlace as ImageMagick reads it" JPEG "$interlace"
  else
    e2e_eq "$name frame header" "SOF0 baseline" "$(jpeg_frame "$file")"
    e2e_eq "$name interlace as ImageMagick reads it" None "$interlace"
  fi
  rm -f "$REF"
}

# png_flevel FILE: the compression level the deflate stream of the first IDAT declares
# (0 fastest, 1 fast, 2 default, 3 maximum).
png_flevel() {
  local f="$1" off=8 size b len
  size="$(stat -c %s "$f")"
  while [ "$off" -lt "$size" ]; do
    b=($(bytes_at "$f" "$off" 10))
    len=$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))
    if [ "${b[*]:4:4}" = "73 68 65 84" ]; then
      echo $((b[9] >> 6))
      return
    fi
    off=$((off + 12 + len))
  done
  echo "no-IDAT"
}

check_png() {
  same_pixels "$1"
  e2e_eq "$1 deflate level field" "$2" "$(png_flevel "$CLIPS/$1")"
}

e2e_begin save_formats

e2e_case "one session: JPEG 50/90 baseline and progressive, PNG three levels, BMP"
CLIPS="$E2E_PREFIX/drive_c/clips"
mkdir -p "$CLIPS"
# A file from an earlier session: the BMP numbering must go past it and leave it alone.
printf 'old' >"$CLIPS/TEST00.BMP"
write_cp932_lines "$E2E_APP/pelnoro.ini" '画像形式=JPEG' 'ファイル名=TEST' '自動ナンバリング=する' \
  "保存先=$CLIPS_WIN" '解像度=50' '現在の位置XY=9000-1200'
show_picture pattern "${PATTERN[@]}"
show_picture smooth-picture "${SMOOTH[@]}"
e2e_start_app
pid=$E2E_LAST_PID
if ! drv wait-window Pelnoro --timeout 60000 >/dev/null; then
  e2e_fail "window \"Pelnoro\" did not appear"
  e2e_finish
fi

echo "   JPEG quality 50, baseline"
show_page 画像 Button プログレッシブタイプで保存する
# Progressive is no setting of the file: a session starts without it.
e2e_eq "progressive box at the start" 0 "$(e2e_checked プロパティ Button プログレッシブタイプで保存する)"
PSNR=""
clip SEL_SMOOTH TEST00.JPG && check_jpeg TEST00.JPG 50 0
psnr_50=$PSNR

echo "   JPEG quality 50, progressive"
show_page 画像 Button プログレッシブタイプで保存する
toggle_check プログレッシブタイプで保存する 1
if clip SEL_SMOOTH TEST01.JPG; then
  check_jpeg TEST01.JPG 50 1
  # A progressive file carries the same coefficients in other scans.
  e2e_eq "TEST01.JPG decodes to the same pixels as TEST00.JPG" 0 \
    "$(compare -metric AE "$CLIPS/TEST01.JPG" "$CLIPS/TEST00.JPG" null: 2>&1)"
fi

echo "   JPEG quality 90 (forty clicks up on the spinner), baseline"
show_page 画像 Button プログレッシブタイプで保存する
spin="$(e2e_child プロパティ ScrollBar "")"
read -r spin_hwnd spin_w _ <<<"$spin"
for _ in $(seq 40); do
  drv click "hwnd:$spin_hwnd" $((spin_w / 2)) 3 >/dev/null
done
e2e_eq "quality in the property list after the spinner" 90 "$(property_value 解像度)"
show_page 画像 Button プログレッシブタイプで保存する
toggle_check プログレッシブタイプで保存する 0
PSNR=""
clip SEL_SMOOTH TEST02.JPG && check_jpeg TEST02.JPG 90 0
psnr_90=$PSNR
if awk -v a="$psnr_90" -v b="$psnr_50" 'BEGIN { exit !(a + 0 > b + 2) }'; then
  e2e_pass "quality 90 is closer to the screen than 50 ($psnr_90 dB against $psnr_50 dB)"
else
  e2e_fail "quality 90 gives $psnr_90 dB, 50 gives $psnr_50 dB"
fi

echo "   JPEG quality 90, progressive"
toggle_check プログレッシブタイプで保存する 1
if clip SEL_SMOOTH TEST03.JPG; then
  check_jpeg TEST03.JPG 90 1
  e2e_eq "TEST03.JPG decodes to the same pixels as TEST02.JPG" 0 \
    "$(compare -metric AE "$CLIPS/TEST03.JPG" "$CLIPS/TEST02.JPG" null: 2>&1)"
fi

echo "   PNG, normal compression"
show_page 動作 Button PNG
choose_option PNG クリップボード JPEG BMP
show_page 画像 Button 通常圧縮
e2e_eq "normal compression is the option a session starts with" 1 "$(e2e_checked プロパティ Button 通常圧縮)"
clip SEL_PATTERN TEST00.PNG && check_png TEST00.PNG 2

echo "   PNG, low compression"
show_page 画像 Button 低圧縮率
choose_option 低圧縮率 通常圧縮 最高圧縮
clip SEL_PATTERN TEST01.PNG && check_png TEST01.PNG 0

echo "   PNG, highest compression"
show_page 画像 Button 最高圧縮
choose_option 最高圧縮 通常圧縮 低圧縮率
clip SEL_PATTERN TEST02.PNG && check_png TEST02.PNG 3

# The same pixels three times: the levels must order the sizes.
size_normal="$(stat -c %s "$CLIPS/TEST00.PNG" 2>/dev/null || echo 0)"
size_low="$(stat -c %s "$CLIPS/TEST01.PNG" 2>/dev/null || echo 0)"
size_high="$(stat -c %s "$CLIPS/TEST02.PNG" 2>/dev/null || echo 0)"
if [ "$size_low" -gt "$size_normal" ] && [ "$size_normal" -ge "$size_high" ] &&
  [ "$size_high" -gt 0 ]; then
  e2e_pass "PNG sizes low $size_low > normal $size_normal >= highest $size_high"
else
  e2e_fail "PNG sizes out of order: low $size_low, normal $size_normal, highest $size_high"
fi

echo "   BMP"
show_page 動作 Button BMP
choose_option BMP クリップボード JPEG PNG
if clip SEL_PATTERN TEST01.BMP; then
  same_pixels TEST01.BMP
  # "BM", the info header of 40 bytes, 24 bits a pixel, the size field telling the truth.
  bmp="$CLIPS/TEST01.BMP"
  h=($(bytes_at "$bmp" 0 30))
  e2e_eq "TEST01.BMP header: magic, info header size, bits per pixel" "66 77 40 24" \
    "${h[0]} ${h[1]} ${h[14]} ${h[28]}"
  e2e_eq "TEST01.BMP size field" "$(stat -c %s "$bmp")" \
    "$((h[2] | h[3] << 8 | h[4] << 16 | h[5] << 24))"
fi
e2e_eq "the earlier TEST00.BMP untouched" old "$(cat "$CLIPS/TEST00.BMP")"

drv click Pelnoro $(px "${EXIT[@]}") >/dev/null
if e2e_wait_exit "$pid" 30; then
  e2e_eq "save log starts with the folder" "$CLIPS_WIN" \
    "$(iconv -f CP932 -t UTF-8 "$E2E_APP/save_log.pel" | head -n1 | tr -d '\r')"
  ini="$(iconv -f CP932 -t UTF-8 "$E2E_APP/pelnoro.ini" | tr -d '\r')"
  e2e_eq "format kept at exit" 画像形式=BMP "$(grep '^画像形式=' <<<"$ini")"
  e2e_eq "quality kept at exit" 解像度=90 "$(grep '^解像度=' <<<"$ini")"
else
  e2e_fail "program still runs 30 s after the exit click"
fi
e2e_note "files: $(cd "$CLIPS" && ls | paste -sd' ')"

e2e_finish
