#!/bin/sh
# Fuzzes with libFuzzer (clang, ASan, UBSan): the PPM reader, the encoders, our deflate,
# the settings file and save log read at start and written at exit, the Shift_JIS
# conversions, the map document writer and the picture loader's reading of file headers.
#   tests/fuzz/run.sh [SECONDS_PER_TARGET]      (default 120)
# Builds into build/fuzz with ninja (a second run rebuilds only what changed). Each target
# starts from its seeds in tests/fuzz/seeds/<target>, copied into the scratch corpus
# build/fuzz/corpus/<target> where what it finds collects. Prints per target the runs done
# and whether it crashed; a crash leaves its input in build/fuzz/artifacts and the whole
# output in build/fuzz/<target>.log, and makes the exit status non-zero.
# Needs clang, libclang-rt-14-dev, ninja, zlib1g-dev and libpng-dev. PELNORO_FUZZ_JOBS:
# build jobs (default 2).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-120}
jobs=${PELNORO_FUZZ_JOBS:-2}
out=$root/build/fuzz
for tool in clang++ ninja; do
  command -v "$tool" >/dev/null ||
    { echo "fuzzing needs $tool (Debian: clang libclang-rt-14-dev ninja-build)" >&2; exit 2; }
done
mkdir -p "$out"

# Paths in build.ninja are relative to build/fuzz, so that no folder name needs escaping.
src=../..
flags="-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
includes="-I$src/src -I$src/tools/pelnoro-encode -I$src/tests/host -I$src/tests/fuzz"

# The portable sources of some folders of src: all but the Windows ones.
portable() {
  for layer in "$@"; do
    for f in "$root/src/$layer"/*.cpp; do
      case $f in *_win32.cpp) ;; *) echo "src/$layer/${f##*/}" ;; esac
    done
  done
}
encoders=$(portable encoder)
text_files="src/system/text_file.cpp src/system/cp932_host.cpp"
# The settings rules on the scripted system of the host tests: no window is made.
settings="tests/host/fake_system.cpp $(portable image system toolkit program)"

# target name, its sources (besides tests/fuzz/<target>.cpp), the longest input tried
targets="fuzz_ppm fuzz_encoders fuzz_deflate fuzz_settings fuzz_codepage fuzz_map_document fuzz_picture_header"
sources_of() {
  case $1 in
    fuzz_ppm | fuzz_encoders) echo "$encoders tools/pelnoro-encode/ppm_reader.cpp" ;;
    fuzz_deflate) echo "$encoders" ;;
    fuzz_settings) echo "$settings" ;;
    fuzz_codepage) echo "$text_files" ;;
    fuzz_map_document) echo "$text_files src/system/number_text.cpp src/imagemap/map_document.cpp" ;;
    fuzz_picture_header) portable image ;;
  esac
}
max_len_of() {
  case $1 in
    fuzz_ppm | fuzz_encoders) echo 70000 ;;
    fuzz_deflate) echo 40000 ;;
    fuzz_settings) echo 8192 ;;
    fuzz_picture_header) echo 16384 ;;
    *) echo 4096 ;;
  esac
}
object() { f=${1%.cpp}; echo "obj/$f.o"; }

{
  echo "flags = $flags"
  echo "includes = $includes"
  echo "rule cxx"
  echo "  command = clang++ \$flags \$includes -MMD -MF \$out.d -c \$in -o \$out"
  echo "  depfile = \$out.d"
  echo "  deps = gcc"
  echo "  description = compile \$in"
  echo "rule link"
  echo "  command = clang++ \$flags \$in -lpng -lz -pthread -o \$out"
  echo "  description = link \$out"
  all=""
  for target in $targets; do
    objects=""
    for f in "tests/fuzz/$target.cpp" $(sources_of "$target"); do
      objects="$objects $(object "$f")"
      all="$all $f"
    done
    echo "build $target: link$objects"
  done
  # One object per source, shared by the targets.
  # shellcheck disable=SC2086 # lists of words
  for f in $(printf '%s\n' $all | sort -u); do
    echo "build $(object "$f"): cxx $src/$f"
  done
} >"$out/build.ninja.new"
mv "$out/build.ninja.new" "$out/build.ninja"

start=$(date +%s)
# shellcheck disable=SC2086 # lists of words
if ! ninja -C "$out" -j "$jobs" $targets >"$out/build.log" 2>&1; then
  grep -E "error|Error" "$out/build.log" | head -n 40
  tail -n 20 "$out/build.log"
  echo "fuzz build failed (log: $out/build.log)" >&2
  exit 1
fi
echo "built in $(($(date +%s) - start))s; fuzzing each target for ${seconds}s"

failed=0
mkdir -p "$out/artifacts"
cd "$out"
for target in $targets; do
  corpus=corpus/$target
  mkdir -p "$corpus"
  cp "$root/tests/fuzz/seeds/$target"/* "$corpus"/
  log=$target.log
  if ASAN_OPTIONS=detect_leaks=1 ./"$target" -max_total_time="$seconds" \
    -max_len="$(max_len_of "$target")" -timeout=30 -print_final_stats=1 \
    -artifact_prefix="artifacts/$target-" "$corpus" >"$log" 2>&1; then
    result="no crash"
  else
    result="CRASH"
    failed=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  printf '%-18s %10s runs: %s\n' "$target" "${runs:-?}" "$result"
  if [ "$result" = CRASH ]; then
    grep -E "property broken|ERROR|SUMMARY|runtime error|Test unit written|Base64" "$log" | head -n 12 |
      sed 's/^/    /'
  fi
done
exit $failed
