#!/usr/bin/env bash
# The release archive as a user gets it: it unpacks to one folder holding the exe, the
# guide and the licence; the exe is the one whose sum was printed, carries its version
# record, and starts in a fresh Wine prefix and ends with its exit button. And the
# package command refuses, before building anything, when there is no guide.
#   PELNORO_ARCHIVE=ZIP   the archive to check (default dist/pelnoro-VERSION-win64.zip,
#                         as scripts/package.sh writes it)
#   PELNORO_GUIDE=PATH    the guide it was made with (default docs/guide of HEAD)
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

VERSION="$(sed -n 's/^project(pelnoro VERSION \([0-9][0-9.]*\) .*/\1/p' "$PELNORO_ROOT/CMakeLists.txt")"
NAME="pelnoro-$VERSION-win64"
ARCHIVE="${PELNORO_ARCHIVE:-$PELNORO_ROOT/dist/$NAME.zip}"
if [ ! -f "$ARCHIVE" ]; then
  echo "== release_archive"
  echo "  FAIL no archive $ARCHIVE: make it with scripts/package.sh"
  exit 1
fi
UNPACKED="$(mktemp -d)"
unzip -q "$ARCHIVE" -d "$UNPACKED" || echo "  (unzip failed)"
# lib.sh's e2e_case copies this exe into the fresh prefix.
PELNORO_EXE="$UNPACKED/$NAME/pelnoro.exe"
E2E_EXE="$PELNORO_EXE"

e2e_begin release_archive
trap 'e2e_cleanup; rm -rf "$UNPACKED"' EXIT

e2e_case "what the archive holds"
e2e_note "archive: $ARCHIVE ($(stat -c %s "$ARCHIVE") bytes)"
e2e_eq "one top folder" "$NAME" "$(ls "$UNPACKED")"
guide="${PELNORO_GUIDE:-}"
if [ -z "$guide" ]; then
  guide="$UNPACKED/guide-from-head"
  mkdir -p "$guide"
  git -C "$PELNORO_ROOT" archive HEAD docs/guide 2>/dev/null | tar -x -C "$guide" --strip-components=2
fi
expected=(LICENSE.txt pelnoro.exe)
if [ -d "$guide" ]; then
  while IFS= read -r f; do expected+=("$f"); done < <(cd "$guide" && find . -type f | sed 's|^\./||')
else
  expected+=("$(basename "$guide")")
fi
e2e_eq "files" "$(printf '%s\n' "${expected[@]}" | sort | tr '\n' ' ')" \
  "$(cd "$UNPACKED/$NAME" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')"
# The archive marks no name as UTF-8, so Explorer reads its names in the system's code
# page: a name that is not ASCII would show garbled.
e2e_eq "names in the archive outside ASCII" "" "$(zipinfo -1 "$ARCHIVE" | LC_ALL=C grep '[^ -~]')"
for f in "${expected[@]}"; do
  case "$f" in
    LICENSE.txt | pelnoro.exe) ;;
    *)
      src="$guide"
      [ -d "$guide" ] && src="$guide/$f"
      if cmp -s "$src" "$UNPACKED/$NAME/$f"; then
        e2e_pass "guide $f as given ($(stat -c %s "$src") bytes)"
      else
        e2e_fail "guide $f differs from $src"
      fi
      case "$f" in
        *.txt | *.md)
          # As Notepad shows it: UTF-8 marked by its byte-order mark, CR LF line ends.
          e2e_eq "guide $f starts with the UTF-8 byte-order mark" "ef bb bf" \
            "$(od -An -tx1 -N3 "$src" | xargs)"
          iconv -f UTF-8 -t UTF-8 "$src" >/dev/null 2>&1 && e2e_pass "guide $f is UTF-8" ||
            e2e_fail "guide $f is not UTF-8 throughout"
          e2e_eq "guide $f lines not ending in CR LF" 0 "$(grep -vc $'\r$' "$src")"
          ;;
      esac
      ;;
  esac
done
if tr -d '\r' <"$UNPACKED/$NAME/LICENSE.txt" | cmp -s - "$PELNORO_ROOT/LICENSE"; then
  e2e_pass "LICENSE.txt is the repository's LICENSE"
else
  e2e_fail "LICENSE.txt differs from LICENSE"
fi
e2e_eq "LICENSE.txt lines end in CR LF" 0 "$(grep -vc $'\r$' "$UNPACKED/$NAME/LICENSE.txt")"
sums="${ARCHIVE%.zip}.sha256"
if [ -f "$sums" ]; then
  (cd "$UNPACKED" && sha256sum --quiet -c <(grep "/pelnoro.exe\$" "$sums")) &&
    e2e_pass "pelnoro.exe has the printed SHA-256" || e2e_fail "pelnoro.exe's SHA-256 differs"
else
  e2e_fail "no $sums beside the archive"
fi
# The version record holds the version of the archive's name.
e2e_eq "ProductVersion in the exe's version record" "$VERSION" "$(python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
key = "ProductVersion".encode("utf-16-le") + b"\0\0"
at = data.find(key)
if at >= 0:
    at += len(key)
    at += (-at) % 4  # the value starts on a 32-bit boundary
    end = data.find(b"\0\0", at)
    end += (end - at) % 2
    print(data[at:end].decode("utf-16-le"))
' "$PELNORO_EXE")"

e2e_case "the unpacked exe starts in a fresh prefix and ends with its exit button"
e2e_start_app
pid=$E2E_LAST_PID
if drv wait-window Pelnoro --timeout 60000 >/dev/null; then
  info="$(drv info Pelnoro)"
  e2e_eq "main window shown" 1 "$(field visible <<<"$info")"
  e2e_note "screenshot: $(e2e_screenshot main-window)"
  # 終了: 2400,1260 855x225 twips, its middle at 96 DPI.
  drv click Pelnoro 188 91 >/dev/null || e2e_fail "could not click 終了"
  if e2e_wait_exit "$pid" 30; then
    e2e_eq "ended by 終了, exit code" 0 "$E2E_RC"
    [ -f "$E2E_APP/pelnoro.ini" ] && e2e_pass "pelnoro.ini written beside the exe at the exit" ||
      e2e_fail "no pelnoro.ini beside the exe after the exit"
  else
    e2e_fail "the program still runs 30 s after the 終了 click"
  fi
else
  e2e_fail "window \"Pelnoro\" did not appear"
fi

e2e_case "no guide: the package command stops at once and says why"
out="$(PELNORO_GUIDE="$UNPACKED/no-such-guide.txt" PELNORO_DIST="$UNPACKED/dist" \
  bash "$PELNORO_ROOT/scripts/package.sh" 2>&1)"
rc=$?
e2e_eq "exit code is an error" 1 "$rc"
e2e_eq "message" "package: no user guide at PELNORO_GUIDE=$UNPACKED/no-such-guide.txt" "$out"
e2e_eq "no archive made" "" "$(ls "$UNPACKED/dist" 2>/dev/null)"
if [ -z "$(git -C "$PELNORO_ROOT" ls-tree -r --name-only HEAD docs/guide)" ]; then
  out="$(env -u PELNORO_GUIDE PELNORO_DIST="$UNPACKED/dist" bash "$PELNORO_ROOT/scripts/package.sh" 2>&1)"
  e2e_eq "without PELNORO_GUIDE, while HEAD has no docs/guide" \
    "1 package: no user guide: HEAD has no file under docs/guide (commit the Japanese guide there, or name one with PELNORO_GUIDE=PATH)" \
    "$? $out"
fi

e2e_finish
