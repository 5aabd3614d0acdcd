#!/usr/bin/env bash
# Fuzzes the postal-code line scanner and column extraction with libFuzzer (clang), against a
# plain line-by-line reading. Not part of the tests. Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
repo_root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-${FUZZ_SECONDS:-60}}"
out="${MARUPO_FUZZ_DIR:-$repo_root/build/fuzz}"
mkdir -p "$out/corpus"
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$repo_root" "$repo_root/fuzz/postal_scan_fuzz.cpp" "$repo_root/postal/postal_line_scan.cpp" \
  "$repo_root/text/sjis.cpp" -o "$out/postal_scan_fuzz"
# Seeds: a few real lines of each file from the sample data.
if [ -z "$(ls -A "$out/corpus")" ]; then
  head -c 2000 "$repo_root/data/sample/KEN_ALL.CSV" | sed '1s/^/\x05\x03\x00/' > "$out/corpus/ken"
  head -c 2000 "$repo_root/data/sample/JIGYOSYO.CSV" | sed '1s/^/\x20\x07\x01/' > "$out/corpus/jig"
fi
cd "$out"
status=0
./postal_scan_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 corpus \
  > fuzz.log 2>&1 || status=$?
grep -E '^stat::(number_of_executed_units|peak_rss_mb)|ERROR|SUMMARY|crash-' fuzz.log || true
if [ "$status" -ne 0 ]; then
  echo "fuzz: failure, see $out/fuzz.log" >&2
fi
exit "$status"
