#!/usr/bin/env bash
# Builds the DXF reader fuzz target with clang (libFuzzer + AddressSanitizer +
# UndefinedBehaviorSanitizer) in its own build directory and runs it briefly
# on a fresh corpus seeded from the sample drawings and fuzz/seeds/. The run
# is repeatable: a fixed random seed and a fixed number of inputs.
#   fuzz/smoke.sh [RUNS]   (default 20,000 inputs; a longer hunt: fuzz/smoke.sh 1000000)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CINDRAL_FUZZ_DIR:-$root/build-fuzz}"
runs="${1:-20000}"
rm -rf "$build/corpus"
mkdir -p "$build/corpus"

sources=(
  "$root"/cadhost/dxf/{group_codes,tag,tag_reader,ascii_tag_reader,binary_tag_reader,tag_writer}.cpp
  "$root"/cadhost/dxf/{grouping,text_codec,values,entity_fields,entity_reader,entity_writer,record_merge}.cpp
  "$root"/cadhost/dxf/{drawing_reader,drawing_writer}.cpp
  "$root"/cadhost/{database,entity,geometry,handle,handle_index,names,pooled_text}.cpp
)
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" "$root/fuzz/dxf_reader_fuzz.cpp" "${sources[@]}" -o "$build/dxf_reader_fuzz"

# Seeds: the samples, and small fixtures in each layout.
cp "$root"/samples/site.dxf "$build/corpus/" 2>/dev/null || true
for f in "$root"/samples/blocks/*.dwg; do [ -e "$f" ] && cp "$f" "$build/corpus/"; done
cp "$root"/fuzz/seeds/* "$build/corpus/" 2>/dev/null || true

"$build/dxf_reader_fuzz" "$build/corpus" -seed=1 -runs="$runs" -max_total_time=600 -max_len=65536 \
  -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/"
