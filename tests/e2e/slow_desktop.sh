#!/usr/bin/env bash
# A desktop that is slow to come up (a loaded machine) still gives the program its
# window. Wine starts a prefix's desktop for the first program that asks and waits 10 s
# for it; here it is held back 15 s, so a program started into it directly would get no
# window at all.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin slow_desktop
e2e_case "the program's window, with the desktop held back 15 s"

# Holds every desktop process of the prefix stopped until 15 s after the first one
# started: each program that finds no desktop starts one of its own.
hold_back_desktop() {
  local pid i until="" held=()
  for ((i = 0; i < 1200; i++)); do
    for pid in $(wine_pids explorer.exe); do
      [[ " ${held[*]} " == *" $pid "* ]] && continue
      kill -STOP "$pid" && held+=("$pid")
      [ -n "$until" ] || until=$((SECONDS + 15))
    done
    [ -n "$until" ] && [ $SECONDS -ge $until ] && break
    sleep 0.05
  done
  [ ${#held[@]} -gt 0 ] && kill -CONT "${held[@]}"
}
hold_back_desktop &
holder=$!
e2e_start_app
if drv wait-window Pelnoro --timeout 60000 >/dev/null; then
  e2e_pass "window \"Pelnoro\" shown"
else
  e2e_fail "window \"Pelnoro\" did not appear"
fi
if wait "$holder"; then
  e2e_pass "the desktop was held back"
else
  e2e_fail "no desktop process of the prefix was seen to hold back"
fi
e2e_eq "visible windows titled Pelnoro" 1 "$(drv count Pelnoro | field count)"
e2e_finish
