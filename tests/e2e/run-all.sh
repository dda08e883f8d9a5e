#!/usr/bin/env bash
# Runs every end-to-end script of this folder, one after another, each in its own
# Xvfb and Wine prefix. The last line is "N passed, M failed".
set -uo pipefail
dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# Helpers, not tests.
skip=" lib.sh clip_lib.sh run-all.sh screenshot.sh driver_restart_test.sh "

passed=0
failed=0
failures=()
for script in "$dir"/*.sh; do
  name="$(basename "$script")"
  [[ "$skip" == *" $name "* ]] && continue
  if timeout --kill-after=10 "${PELNORO_E2E_TIMEOUT:-300}" bash "$script"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    failures+=("${name%.sh}")
  fi
done
[ ${#failures[@]} -gt 0 ] && echo "e2e failures: ${failures[*]}"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ] && [ "$passed" -gt 0 ]
