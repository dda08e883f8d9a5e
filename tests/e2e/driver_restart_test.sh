#!/usr/bin/env bash
# _drv starts the driver again only when Wine ended its start (exit 1 at once, nothing
# said), at most three starts in all; any other ending is the driver's and stands.
# A stand-in for Wine plays each ending.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
eval "$(sed -n '/^_drv() {/,/^}/p' "$here/lib.sh")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cat >"$work/wine" <<'STAND_IN'
#!/usr/bin/env bash
n=$(cat "$COUNT" 2>/dev/null || echo 0)
echo $((n + 1)) >"$COUNT"
if [ "$n" -lt "$FAILS" ]; then
  [ -z "$SAYS" ] || echo "$SAYS" >&2
  sleep "$TAKES"
  exit "$CODE"
fi
echo "result=ok"
STAND_IN
chmod +x "$work/wine"
PELNORO_WINE="$work/wine" E2E_DRIVER=driver.exe E2E_PREFIX="$work"
export COUNT="$work/count"

failed=0
# fails  code  says  takes  | rc  starts  result
while read -r fails code says takes want_rc want_starts want_out; do
  rm -f "$COUNT"
  [ "$says" = - ] && says=""
  out="$(FAILS=$fails CODE=$code SAYS=$says TAKES=$takes _drv info Pelnoro 2>/dev/null)"
  rc=$?
  starts=$(cat "$COUNT")
  [ "$want_out" = - ] && want_out=""
  if [ "$rc $starts [$out]" != "$want_rc $want_starts [$want_out]" ]; then
    echo "FAIL fails=$fails code=$code says='$says' takes=$takes:" \
      "got rc $rc, $starts starts, '$out'; wanted rc $want_rc, $want_starts starts, '$want_out'"
    failed=1
  fi
done <<'TABLE'
0 1 - 0 0 1 result=ok
1 1 - 0 0 2 result=ok
2 1 - 0 0 3 result=ok
3 1 - 0 1 3 -
1 5 - 0 5 1 -
1 3 - 0 3 1 -
1 1 pelnoro-driver:why 0 1 1 -
1 1 - 3 1 1 -
TABLE
[ $failed = 0 ] && echo "driver_restart: every case as wanted"
exit $failed
