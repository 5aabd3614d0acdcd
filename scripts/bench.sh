#!/usr/bin/env bash
# Runs the postal-code search benchmark on the full-size files. Usage: scripts/bench.sh BUILD_DIR
set -euo pipefail
repo_root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${1:-$repo_root/build/bench}"
data="${MARUPO_BENCH_DATA:-$repo_root/../shared/data}"
ken="$data/KEN_ALL.CSV"
jig="$data/JIGYOSYO.CSV"
if [ ! -r "$ken" ] || [ ! -r "$jig" ]; then
  echo "bench: full-size KEN_ALL.CSV and JIGYOSYO.CSV not found in $data (set MARUPO_BENCH_DATA)" >&2
  exit 1
fi
printf 'Files: %s (%s bytes, %s lines), %s (%s bytes)\n\n' "$ken" "$(stat -c %s "$ken")" \
  "$(wc -l < "$ken")" "$jig" "$(stat -c %s "$jig")"
cat "$ken" "$jig" > /dev/null  # into the page cache
# Japan Post's ZIP files, made from the CSV files as Japan Post packs them (deflated, one entry).
zips="$(mktemp -d)"
trap 'rm -rf "$zips"' EXIT
zip -qjX "$zips/ken_all.zip" "$ken"
zip -qjX "$zips/jigyosyo.zip" "$jig"
"$build_dir/postal-bench" "$ken" "$jig" "$build_dir/marupo-lookup" "${MARUPO_BENCH_RUNS:-31}" \
  "$zips/ken_all.zip" "$zips/jigyosyo.zip"
echo
# Peak memory as GNU time reports it, for a code in neither file (both files read in full).
printf 'marupo-lookup peak memory (/usr/bin/time -f %%M), code in neither file: %s KiB\n' \
  "$(/usr/bin/time -f %M "$build_dir/marupo-lookup" --nationwide "$ken" --business "$jig" 0000000 2>&1 >/dev/null | tail -1)"
