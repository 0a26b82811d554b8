#!/usr/bin/env bash
# Fuzzes the sequence, project and "str.tab" readers and the GIF import of lumora-cli with
# libFuzzer (clang, ASan+UBSan), one target after the other, each for the given number of
# seconds (default 600). The seed corpus of fuzz/corpus stays as it is; what the fuzzer adds
# goes under build/fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
scripts/install-deps.sh clang libclang-rt-14-dev
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUMORA_WITH_QT=OFF -DLUMORA_FUZZ=ON
targets=(sequence_reader project_reader table_reader gif_import)
for target in "${targets[@]}"; do
  cmake --build build/fuzz --target "${target}_fuzzer"
done
for target in "${targets[@]}"; do
  corpus=${target%_*}
  work="build/fuzz/corpus/$corpus"
  mkdir -p "$work"
  echo "== ${target}_fuzzer for ${seconds} s"
  build/fuzz/fuzz/"${target}_fuzzer" -max_total_time="$seconds" -max_len=400000 \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="build/fuzz/${corpus}-" -print_final_stats=1 \
    "$work" "fuzz/corpus/$corpus"
done
