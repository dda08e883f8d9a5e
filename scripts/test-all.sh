#!/usr/bin/env bash
# Installs what is missing, builds both trees and runs every test:
#   0. the C++ files as .clang-format says (tests/format, clang-format 14),
#   1. host unit tests (build/host, native),
#   2. the same under AddressSanitizer and UndefinedBehaviorSanitizer (build/asan),
#   3. a short run of every fuzz target (tests/fuzz, clang's libFuzzer),
#   4. Windows tests (build/win, each program under Wine in its own prefix and Xvfb),
#   5. the release archive, made by scripts/package.sh from HEAD (build/dist-check),
#   6. end-to-end scripts driving the real pelnoro.exe (tests/e2e), the archive's
#      exe among them (tests/e2e/release_archive.sh).
# Every stage runs even when an earlier one failed; the exit code is non-zero when any
# stage failed. Logs stay in build/*.log.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${PELNORO_JOBS:-$(nproc 2>/dev/null || echo 2)}"
# What is tested is what ships: an optimised build.
build_type="${PELNORO_BUILD_TYPE:-Release}"

bash scripts/install-deps.sh || { echo "installing the build packages failed" >&2; exit 1; }
mkdir -p build

results=()
failed=0
stage() {  # stage NAME COMMAND...: runs, times and records one stage
  local name="$1" start rc
  shift
  echo "=== $name"
  start=$SECONDS
  "$@"
  rc=$?
  results+=("$(printf '%-28s %s (%ds)' "$name" "$([ $rc = 0 ] && echo ok || echo "FAILED ($rc)")" $((SECONDS - start)))")
  [ $rc = 0 ] || failed=1
  return $rc
}

# configure_and_build DIR LOG [CMAKE ARGS...]
configure_and_build() {
  local dir="$1" log="$2"
  shift 2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" "$@" >"$log" 2>&1 ||
    { tail -n 40 "$log"; return 1; }
  echo "$dir: build type $(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$dir/CMakeCache.txt")"
  cmake --build "$dir" -j "$jobs" >>"$log" 2>&1 || { grep -E "error|Error" "$log" | head -n 40; tail -n 20 "$log"; return 1; }
}

# The release archive, made as a release is made (with the user guide of docs/guide at
# HEAD), into build/dist-check; dist/ holds only archives made by hand.
release_archive() {
  export PELNORO_DIST="$root/build/dist-check"
  unset PELNORO_GUIDE
  rm -rf "$PELNORO_DIST"
  bash scripts/package.sh || return 1
  export PELNORO_ARCHIVE
  PELNORO_ARCHIVE="$(ls "$PELNORO_DIST"/pelnoro-*-win64.zip)"
}

stage "format" bash tests/format/check-format.sh
stage "host build" configure_and_build build/host build/host.log
host_ok=$?
[ $host_ok = 0 ] && stage "host tests" ctest --test-dir build/host -j "$jobs" --output-on-failure --timeout 300

# The sanitisers stop at the first fault they see, and report it.
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
build_type=RelWithDebInfo stage "sanitizer build" configure_and_build build/asan build/asan.log \
  -DPELNORO_SANITIZE=ON
asan_ok=$?
[ $asan_ok = 0 ] && stage "host tests (ASan/UBSan)" ctest --test-dir build/asan -j "$jobs" \
  --output-on-failure --timeout 600
stage "fuzz targets (short)" bash tests/fuzz/run.sh "${PELNORO_FUZZ_SECONDS:-20}"

stage "windows build" configure_and_build build/win build/win.log \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
win_ok=$?
if [ $win_ok = 0 ]; then
  stage "windows tests (wine)" ctest --test-dir build/win -j 2 --output-on-failure --timeout 900
  stage "release archive" release_archive
  stage "end-to-end (wine)" bash tests/e2e/run-all.sh
fi

echo
echo "=== summary"
printf '%s\n' "${results[@]}"
exit $failed
