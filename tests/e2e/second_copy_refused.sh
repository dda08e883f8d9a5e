#!/usr/bin/env bash
# A second copy says it is already running and ends; the first copy carries on.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

EXIT_X=188  # centre of Label終了 in client pixels at 96 DPI
EXIT_Y=91

e2e_begin second_copy_refused
e2e_case "second copy refused while the first runs"

e2e_start_app
first=$E2E_LAST_PID
if ! drv wait-window Pelnoro --timeout 60000 >/dev/null; then
  e2e_fail "first copy: window \"Pelnoro\" did not appear"
  e2e_finish
fi
first_win_pid="$(drv info Pelnoro | field pid)"
# The first copy writes its files only at exit; the second must not touch them.
rm -f "$E2E_APP/pelnoro.ini" "$E2E_APP/save_log.pel"

e2e_start_app
second=$E2E_LAST_PID
box="$(drv msgbox --timeout 60000)"
if [ -z "$box" ]; then
  e2e_fail "no message box from the second copy"
  drv list | sed 's/^/      | /'
else
  e2e_eq "message" "このプログラムは既に起動されています。" "$(field text <<<"$box")"
  e2e_eq "message box caption" "Pelnoro" "$(field title <<<"$box")"
  e2e_eq "buttons" "1 OK" "$(sed -n 's/^button=//p' <<<"$box" | paste -sd'|')"
  box_pid="$(field pid <<<"$box")"
  if [ -n "$box_pid" ] && [ "$box_pid" != "$first_win_pid" ]; then
    e2e_pass "the box belongs to the second process ($box_pid, first is $first_win_pid)"
  else
    e2e_fail "the box belongs to process '$box_pid', the first copy is $first_win_pid"
  fi
  e2e_eq "windows titled Pelnoro while the box shows" 1 "$(drv count Pelnoro | field count)"
  drv press OK >/dev/null || e2e_fail "could not press OK"
fi

if e2e_wait_exit "$second" 30; then
  e2e_pass "second copy ended (exit code $E2E_RC)"
else
  e2e_fail "second copy still runs 30 s after OK"
fi
e2e_eq "first copy still runs" yes "$(kill -0 "$first" 2>/dev/null && echo yes || echo no)"
e2e_eq "windows titled Pelnoro after the refusal" 1 "$(drv count Pelnoro | field count)"
e2e_eq "files written by the refused copy" "" \
  "$(cd "$E2E_APP" && ls pelnoro.ini save_log.pel 2>/dev/null | paste -sd' ')"

if drv click Pelnoro $EXIT_X $EXIT_Y >/dev/null && e2e_wait_exit "$first" 30; then
  e2e_eq "first copy ended by its exit label, exit code" 0 "$E2E_RC"
else
  e2e_fail "first copy did not end after a click on its exit label"
fi

e2e_finish
