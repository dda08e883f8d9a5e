#!/usr/bin/env bash
# Long files beside the program: a save log of 200,000 folders and a settings file of
# 100,000 lines. The program still comes up at once and answers a click, its exit
# button ends it promptly, and both files are written back: the whole save log, and
# the usual seven settings lines.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
. "$(dirname "${BASH_SOURCE[0]}")/clip_lib.sh"

COMMENT='※このファイルを人為的に再編集した場合の動作は保証されません。'
LOG_ROWS=200000
INI_ROWS=100000
INI=('画像形式=PNG' 'ファイル名=shot' '自動ナンバリング=しない' '保存先=C:\tmp\' '解像度=80'
  '現在の位置XY=1500-900' "$COMMENT")

menu_rows() { e2e_list_rows "$list" | paste -sd'|'; }
property_list() {
  e2e_list_rows "$(e2e_child プロパティ ListBox "" | cut -d' ' -f1)" | paste -sd'|'
}
# Seconds since START (from date +%s.%N), to one decimal.
since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }

e2e_begin large_lists

e2e_case "a 200,000-row save log and a 100,000-line settings file"
mkdir -p "$E2E_PREFIX/drive_c/tmp"
echo "x" >"$E2E_PREFIX/drive_c/tmp/keep.txt"
# The settings first, then lines that name no setting.
{
  printf '%s\r\n' "${INI[@]}"
  awk -v n=$((INI_ROWS - ${#INI[@]})) 'BEGIN { for (i = 1; i <= n; i++) printf "memo%06d=x\r\n", i }'
} | iconv -f UTF-8 -t CP932 >"$E2E_APP/pelnoro.ini"
awk -v n=$LOG_ROWS 'BEGIN { for (i = 1; i <= n; i++) printf "C:\\写真\\フォルダ%06d\\\r\n", i }' |
  iconv -f UTF-8 -t CP932 >"$E2E_APP/save_log.pel"
log_given="$(mktemp)"
cp "$E2E_APP/save_log.pel" "$log_given"
e2e_eq "lines in the given settings file" $INI_ROWS "$(wc -l <"$E2E_APP/pelnoro.ini")"
e2e_eq "lines in the given save log" $LOG_ROWS "$(wc -l <"$log_given")"

start="$(date +%s.%N)"
e2e_start_app
pid=$E2E_LAST_PID
if ! drv wait-window Pelnoro --timeout 60000 >/dev/null; then
  e2e_fail "window \"Pelnoro\" did not appear within 60 s"
  drv list | sed 's/^/      | /'
  e2e_finish
fi
e2e_pass "window \"Pelnoro\" shown $(since "$start") s after the start"
e2e_note "screenshot: $(e2e_screenshot started)"

# A click on the menu opens the 設定 group, which also refills the settings list
# (100,000 rows) from the current settings.
list="$(menu_list)"
clicked="$(date +%s.%N)"
e2e_list_click "$list" "＋設定" || e2e_fail "could not click ＋設定"
opened="＋ツール|－設定| 　動作| 　画像| 　クリッカブルマップ| 　プロパティリスト"
e2e_eq "menu rows after the click" "$opened" "$(e2e_poll "$opened" 10 menu_rows)"
e2e_note "the menu answered $(since "$clicked") s after the click"
e2e_list_click "$list" "　プロパティリスト" || e2e_fail "no row プロパティリスト"
rows='画像形式=PNG|ファイル名=shot|自動ナンバリング=しない|保存先=C:\tmp\|解像度=80|現在の位置XY=1500-900'
e2e_eq "property list holds just the settings" "$rows" "$(e2e_poll "$rows" 10 property_list)"

clicked="$(date +%s.%N)"
drv click Pelnoro $(px "${EXIT[@]}") >/dev/null || e2e_fail "could not click the exit button"
if e2e_wait_exit "$pid" 15; then
  e2e_eq "program ended after the exit click, exit code" 0 "$E2E_RC"
  e2e_note "ended $(since "$clicked") s after the exit click"
  expected="$(mktemp)"
  write_cp932_lines "$expected" "${INI[@]}"
  if cmp -s "$expected" "$E2E_APP/pelnoro.ini"; then
    e2e_pass "pelnoro.ini is the seven settings lines, byte for byte"
  else
    e2e_fail "pelnoro.ini differs ($(wc -l <"$E2E_APP/pelnoro.ini") lines); its start:"
    head -n 10 "$E2E_APP/pelnoro.ini" | iconv -f CP932 -t UTF-8 | sed 's/^/      | /'
  fi
  rm -f "$expected"
  if cmp -s "$log_given" "$E2E_APP/save_log.pel"; then
    e2e_pass "save_log.pel written back whole, byte for byte ($LOG_ROWS rows)"
  else
    e2e_fail "save_log.pel differs: $(wc -l <"$E2E_APP/save_log.pel") lines"
  fi
else
  e2e_fail "program still runs 15 s after the exit click"
  drv list | sed 's/^/      | /'
fi
rm -f "$log_given"

e2e_finish
