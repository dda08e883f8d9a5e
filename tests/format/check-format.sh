#!/usr/bin/env bash
# Fails, naming the files, when a C++ file differs from what the repository's
# .clang-format makes of it. The version is pinned: another clang-format may wrap
# lines differently, so it is told rather than trusted.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cd "$root"
want=14
cf="$(command -v clang-format-$want || command -v clang-format || true)"
[ -n "$cf" ] || { echo "check-format: clang-format $want is not installed" >&2; exit 1; }
have="$("$cf" --version | sed -n 's/.*version \([0-9]*\)\..*/\1/p')"
[ "$have" = "$want" ] || { echo "check-format: $cf is version $have, the style is pinned to $want" >&2; exit 1; }
bad=()
while IFS= read -r -d '' f; do
  "$cf" --style=file "$f" | cmp -s - "$f" || bad+=("$f")
done < <(git ls-files -z -- '*.cpp' '*.h' '*.cc' '*.hpp')
if [ ${#bad[@]} -gt 0 ]; then
  printf 'not formatted (%d): run  %s -i FILE\n' "${#bad[@]}" "$cf"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "check-format: $(git ls-files -- '*.cpp' '*.h' '*.cc' '*.hpp' | wc -l) files formatted as .clang-format says (clang-format $have)"
