#!/usr/bin/env bash
# Fuzzes with libFuzzer (clang), each target for SECONDS: the postal-code line scanner and column
# extraction, against a plain line-by-line reading; the ZIP reader, on archive images; the
# registry-script engine, on a registry in memory. Not part of the tests. Usage: scripts/fuzz.sh [SECONDS]; FUZZ_RUNS=N runs each target
# for N inputs instead.
set -euo pipefail
repo_root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-${FUZZ_SECONDS:-60}}"
limit=(-max_total_time="$seconds")
if [ -n "${FUZZ_RUNS:-}" ]; then limit=(-runs="$FUZZ_RUNS"); fi
out="${MARUPO_FUZZ_DIR:-$repo_root/build/fuzz}"
flags=(-std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -I"$repo_root")

mkdir -p "$out/corpus" "$out/zip_corpus" "$out/registrar_corpus"
clang++ "${flags[@]}" "$repo_root/fuzz/postal_scan_fuzz.cpp" \
  "$repo_root/postal/postal_line_scan.cpp" "$repo_root/text/sjis.cpp" -o "$out/postal_scan_fuzz"
clang++ "${flags[@]}" "$repo_root/fuzz/zip_archive_fuzz.cpp" "$repo_root/zip/zip_archive.cpp" \
  "$repo_root/zip/crc32.cpp" \
  "$repo_root/postal/postal_file_posix.cpp" -lz -o "$out/zip_archive_fuzz"
clang++ "${flags[@]}" "$repo_root/fuzz/registrar_fuzz.cpp" "$repo_root"/registrar/script_*.cpp \
  "$repo_root/registrar/value_text.cpp" -o "$out/registrar_fuzz"

# Seeds: a few real lines of each file from the sample data; a few scripts.
if [ -z "$(ls -A "$out/corpus")" ]; then
  head -c 2000 "$repo_root/data/sample/KEN_ALL.CSV" | sed '1s/^/\x05\x03\x00/' > "$out/corpus/ken"
  head -c 2000 "$repo_root/data/sample/JIGYOSYO.CSV" | sed '1s/^/\x20\x07\x01/' > "$out/corpus/jig"
fi
# Seeds for the ZIP reader: a stored and a deflated excerpt, one in a folder, behind the byte that
# sets the read size.
if [ -z "$(ls -A "$out/zip_corpus")" ]; then
  seeds="$(mktemp -d)"
  mkdir "$seeds/data"
  head -c 1500 "$repo_root/data/sample/KEN_ALL.CSV" > "$seeds/KEN_ALL.CSV"
  head -c 1500 "$repo_root/data/sample/utf_ken_all.csv" > "$seeds/data/utf_all.csv"
  (cd "$seeds" && zip -qX0 stored.zip KEN_ALL.CSV && zip -qX deflated.zip KEN_ALL.CSV &&
   zip -qX folder.zip data/utf_all.csv)
  for zip in stored deflated folder; do
    { printf '\x07'; cat "$seeds/$zip.zip"; } > "$out/zip_corpus/$zip"
  done
  rm -rf "$seeds"
fi
if [ -z "$(ls -A "$out/registrar_corpus")" ]; then
  printf "HKCR\r\n{\r\n\tP.C.1 = s 'C'\r\n\t{\r\n\t\tCLSID = s '{7D3B}'\r\n\t}\r\n\tNoRemove CLSID\r\n\t{\r\n\t\tForceRemove {7D3B} = s 'C'\r\n\t\t{\r\n\t\t\tForceRemove 'Programmable'\r\n\t\t\tInprocServer32 = s '%%MODULE%%'\r\n\t\t\t{\r\n\t\t\t\tval ThreadingModel = s 'Apartment'\r\n\t\t\t}\r\n\t\t}\r\n\t}\r\n}\r\n" \
    > "$out/registrar_corpus/class"
  printf "HKCU { Delete a { b } val n = d ' 42 ' 'q''s' = b '00ff' { %%K%% } }\nHKLM { TYPELIB }" \
    > "$out/registrar_corpus/markers"
fi

cd "$out"
status=0
run() {
  local name="$1" corpus="$2" max_len="$3"
  local target_status=0
  "./$name" "${limit[@]}" -max_len="$max_len" -print_final_stats=1 "$corpus" \
    > "$name.log" 2>&1 || target_status=$?
  echo "$name:"
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)|ERROR|SUMMARY|crash-' "$name.log" || true
  if [ "$target_status" -ne 0 ]; then
    echo "fuzz: $name failed, see $out/$name.log" >&2
    status=$target_status
  fi
}
run postal_scan_fuzz corpus 4096
run zip_archive_fuzz zip_corpus 4096
run registrar_fuzz registrar_corpus 2048
exit "$status"
