#!/usr/bin/env bash
# Checks that a Windows exe imports only what Windows 7 SP1 and later have: every DLL
# and function in its import table must stand in the list.
#   check-imports.sh OBJDUMP EXE [LIST]     (default list: windows7-imports.txt here)
# Prints each import outside the list and exits 1; the list's format is in its head.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
objdump="$1" exe="$2" list="${3:-$here/windows7-imports.txt}"

# The import table as "dll function" lines, DLL names in lower case (Windows does not
# tell them apart by case); a function imported by number reads "#" and the number as objdump prints it.
imports() {
  "$objdump" -p "$1" | awk '
    /^\tDLL Name: / { dll = tolower($3); next }
    /^$/ && dll != "" && seen { dll = ""; seen = 0 }
    dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]/ { print dll, $3; seen = 1; next }
    dll != "" && /^\t[0-9a-f]+\t +<none> +[0-9a-f]+/ { print dll, "#" $3; seen = 1 }
  ' | sort -u
}

if [ ! -f "$exe" ]; then
  echo "no $exe (build it first)"
  exit 1
fi
table="$(imports "$exe")" || exit 1
if [ -z "$table" ]; then
  echo "$exe: no import table read (is $objdump the objdump for Windows programs?)"
  exit 1
fi
allowed="$(sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' "$list" |
  awk '{ print tolower($1), $2 }' | sort -u)"
known_dlls="$(awk '{ print $1 }' <<<"$allowed" | sort -u)"

bad=0
while read -r dll fn; do
  grep -qxF "$dll" <<<"$known_dlls" || {
    echo "$(basename "$exe") imports $dll!$fn: $dll is not in $(basename "$list")"
    bad=1
    continue
  }
  grep -qxF "$dll $fn" <<<"$allowed" || {
    echo "$(basename "$exe") imports $dll!$fn, which is not in $(basename "$list")"
    bad=1
  }
done <<<"$table"
[ $bad = 0 ] &&
  echo "$(basename "$exe"): $(wc -l <<<"$table") imports from $(awk '{print $1}' <<<"$table" | sort -u | wc -l) DLLs, all in $(basename "$list")"
exit $bad
