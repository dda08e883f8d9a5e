#!/bin/sh
# Fuzzes the PPM reader and the encoders with libFuzzer (clang, ASan, UBSan).
#   tests/fuzz/run.sh [SECONDS_PER_TARGET]      (default 120)
# Builds into build/fuzz; corpora stay in build/fuzz/corpus-*. Needs clang and
# libclang-rt-14-dev. A crash stops the run and leaves crash-* files in build/fuzz.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-120}
out=$root/build/fuzz
mkdir -p "$out"
flags="-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
includes="-I$root/src -I$root/tools/pelnoro-encode"
sources="$root/src/encoder/error.cpp $root/src/encoder/jpeg_huffman.cpp $root/src/encoder/jpeg_encoder.cpp
  $root/src/encoder/png_encoder.cpp $root/src/encoder/bmp_encoder.cpp $root/tools/pelnoro-encode/ppm_reader.cpp"
for target in fuzz_ppm fuzz_encoders; do
  # shellcheck disable=SC2086
  clang++ $flags $includes "$root/tests/fuzz/$target.cpp" $sources -lz -o "$out/$target"
done
mkdir -p "$out/corpus-ppm" "$out/corpus-encoders"
printf 'P6\n3 2\n255\n\001\002\003\004\005\006\007\010\011\012\013\014\015\016\017\020\021\022' \
  >"$out/corpus-ppm/seed.ppm"
printf 'P6 # c\n1 1 255\n\377\000\200' >"$out/corpus-ppm/seed-comment.ppm"
cd "$out"
for target in fuzz_ppm fuzz_encoders; do
  corpus=corpus-${target#fuzz_}
  echo "== $target for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 ./"$target" -max_total_time="$seconds" -max_len=70000 \
    -print_final_stats=1 "$corpus" 2>&1 | grep -E "^#[0-9]+ *DONE|stat::number_of_executed_units|ERROR|SUMMARY|Done" || true
done
