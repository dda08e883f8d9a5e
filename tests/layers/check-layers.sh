#!/usr/bin/env bash
# Checks that every #include "folder/file" under SRC runs down the layers:
#   check-layers.sh [SRC]            (default: the repository's src/)
# Prints each include that breaks the rule, with its file and line, and exits 1.
set -uo pipefail
src="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../../src" && pwd)}"

# What each folder may include besides itself. The subsystems form no circle:
# edit and imagemap stand on capture, imagemap on dialogs too.
declare -A allowed=(
  [image]=""
  [system]="image"
  [encoder]=""
  [toolkit]="image system"
  [program]="image system toolkit"
  [capture]="image system toolkit program"
  [dialogs]="image system toolkit program"
  [output]="image system toolkit program encoder"
  [edit]="image system toolkit program capture"
  [imagemap]="image system toolkit program capture dialogs"
  [app]="image system toolkit program encoder capture dialogs output edit imagemap"
  [win32]="image system toolkit encoder"
)
# The Windows entry point starts the program: the one way from win32 into it.
declare -A allowed_file=([win32/main.cpp]="app")

bad=0
checked=0
while IFS= read -r file; do
  rel="${file#"$src"/}"
  folder="${rel%%/*}"
  if [ -z "${allowed[$folder]+set}" ]; then
    echo "$rel: the folder \"$folder\" has no place in the layers (add it to the table)"
    bad=1
    continue
  fi
  while IFS=: read -r line target; do
    checked=$((checked + 1))
    to="${target%%/*}"
    [ "$to" = "$folder" ] && continue
    case " ${allowed[$folder]} ${allowed_file[$rel]:-} " in
      *" $to "*) ;;
      *)
        echo "$rel:$line: $folder may not include \"$target\" ($folder may use: ${allowed[$folder]:-nothing})"
        bad=1
        ;;
    esac
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/[^"]+"' "$file" |
           sed -E 's/^([0-9]+):[^"]*"([^"]+)".*/\1:\2/')
done < <(find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

if [ "$checked" = 0 ]; then
  echo "no includes found under $src"
  exit 1
fi
[ "$bad" = 0 ] && echo "layers hold: $checked includes checked"
exit $bad
