#!/usr/bin/env bash
# The layer check must fail, naming the file and the include, when a subsystem
# includes the program above it.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cp -r "$here/../../src" "$tmp/src"
echo '#include "app/application.h"' >>"$tmp/src/capture/form_pic.cpp"
out="$(bash "$here/check-layers.sh" "$tmp/src")" && { echo "the check passed a wrong include"; exit 1; }
echo "$out"
grep -q 'capture/form_pic.cpp:[0-9]*: capture may not include "app/application.h"' <<<"$out"
