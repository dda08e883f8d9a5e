#!/usr/bin/env bash
# The import check must fail on a program that imports what the list does not allow,
# naming each such import, and on nothing else: with those two added to the list the
# same program passes.
#   unlisted-import-is-caught.sh OBJDUMP PLANTED.exe
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
objdump="$1" planted="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

out="$(bash "$here/check-imports.sh" "$objdump" "$planted")" &&
  { echo "the check passed a program with unlisted imports"; echo "$out"; exit 1; }
echo "$out"
name="$(basename "$planted")"
grep -qxF "$name imports user32.dll!GetDpiForWindow, which is not in windows7-imports.txt" \
  <<<"$out" || { echo "the Windows 10 call was not named"; exit 1; }
grep -qxF "$name imports dwmapi.dll!DwmIsCompositionEnabled: dwmapi.dll is not in windows7-imports.txt" \
  <<<"$out" || { echo "the unlisted DLL was not named"; exit 1; }

cp "$here/windows7-imports.txt" "$tmp/windows7-imports.txt"
printf '%s\n' 'user32.dll GetDpiForWindow' 'dwmapi.dll DwmIsCompositionEnabled' \
  >>"$tmp/windows7-imports.txt"
bash "$here/check-imports.sh" "$objdump" "$planted" "$tmp/windows7-imports.txt" ||
  { echo "the check failed on more than the two planted imports"; exit 1; }
