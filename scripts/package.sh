#!/usr/bin/env bash
# Makes the release archive from what git holds at HEAD:
#   scripts/package.sh        writes dist/pelnoro-VERSION-win64.zip
# HEAD's tree is exported (git archive) into a scratch folder and the Release exe built
# there, so that local edits, untracked files and old build trees cannot reach the
# archive. The archive holds one folder pelnoro-VERSION-win64 with pelnoro.exe, the
# Japanese user guide and the licence (LICENSE.txt, CR LF for Notepad). Its listing
# and the SHA-256 of the exe and of the archive are printed; the sums also go to
# dist/pelnoro-VERSION-win64.sha256. VERSION is project(VERSION) in CMakeLists.txt.
#
# PELNORO_GUIDE=PATH  the user guide: a file, or a folder whose files all go in
#                     (default: docs/guide of HEAD). Without one nothing is built.
# PELNORO_DIST=DIR    where the archive goes (default: dist/ of the repository)
# PELNORO_JOBS=N      build jobs (default 2)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

die() {
  echo "package: $*" >&2
  exit 1
}

git rev-parse --verify -q HEAD >/dev/null || die "no commit at HEAD in $root"
version="$(git show HEAD:CMakeLists.txt |
  sed -n 's/^project(pelnoro VERSION \([0-9][0-9.]*\) .*/\1/p' | head -n1)"
[ -n "$version" ] || die "no project(pelnoro VERSION ...) line in HEAD's CMakeLists.txt"
name="pelnoro-$version-win64"
dist="${PELNORO_DIST:-$root/dist}"
jobs="${PELNORO_JOBS:-2}"

scratch="$(mktemp -d "${TMPDIR:-/tmp}/pelnoro-package.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/tree" "$scratch/stage/$name"
git archive --format=tar HEAD | tar -x -C "$scratch/tree"

# The guide first: a missing one stops the script before a long build.
guide="${PELNORO_GUIDE:-$scratch/tree/docs/guide}"
guides=()
if [ -d "$guide" ]; then
  while IFS= read -r -d '' f; do guides+=("$f"); done < <(find "$guide" -type f -print0 | sort -z)
elif [ -f "$guide" ]; then
  guides=("$guide")
fi
if [ ${#guides[@]} = 0 ]; then
  if [ -n "${PELNORO_GUIDE:-}" ]; then
    die "no user guide at PELNORO_GUIDE=$PELNORO_GUIDE"
  fi
  die "no user guide: HEAD has no file under docs/guide (commit the Japanese guide there, or name one with PELNORO_GUIDE=PATH)"
fi

bash scripts/install-deps.sh >/dev/null || die "installing the build packages failed"
echo "package: building $name from HEAD $(git rev-parse --short HEAD) in $scratch"
log="$scratch/build.log"
if ! cmake -S "$scratch/tree" -B "$scratch/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$scratch/tree/cmake/mingw-w64-x86_64.cmake" >"$log" 2>&1 ||
  ! cmake --build "$scratch/build" --target pelnoro -j "$jobs" >>"$log" 2>&1; then
  tail -n 40 "$log" >&2
  die "the Release build failed"
fi

stage="$scratch/stage/$name"
cp "$scratch/build/bin/pelnoro.exe" "$stage/pelnoro.exe"
sed 's/\r*$/\r/' "$scratch/tree/LICENSE" >"$stage/LICENSE.txt"
for f in "${guides[@]}"; do
  if [ -d "$guide" ]; then
    mkdir -p "$stage/$(dirname "${f#"$guide"/}")"
    cp "$f" "$stage/${f#"$guide"/}"
  else
    cp "$f" "$stage/"
  fi
done

mkdir -p "$dist"
zip_path="$dist/$name.zip"
rm -f "$zip_path"
# Every entry dated as HEAD's commit: the same commit gives the same listing.
find "$scratch/stage" -exec touch -d "@$(git log -1 --format=%ct HEAD)" {} +
(cd "$scratch/stage" && zip -q -X -r "$zip_path" "$name")

echo
unzip -l "$zip_path"
exe_sum="$(sha256sum "$stage/pelnoro.exe" | cut -d' ' -f1)"
zip_sum="$(sha256sum "$zip_path" | cut -d' ' -f1)"
printf '%s  %s\n%s  %s\n' "$exe_sum" "$name/pelnoro.exe" "$zip_sum" "$name.zip" \
  >"$dist/$name.sha256"
echo "SHA-256 $name/pelnoro.exe: $exe_sum"
echo "SHA-256 $name.zip: $zip_sum"
echo "package: wrote $zip_path"
