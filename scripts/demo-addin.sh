#!/usr/bin/env bash
# Runs the add-in as a user would, headless: registers the built Marupo.dll with regsvr32 in the
# project's Wine prefix, points its settings at the sample postal files packed as Japan Post's
# ZIP files, and lets the stand-in host run scripts/demo-addin.devhost on the sample book — one
# record edited through 〒 変換 and the update confirmation, one created with its readings
# captured from the input method. Prints the records that changed, before and after, and the
# dialogs and message boxes that were shown.
# Usage: scripts/demo-addin.sh [win64 build dir]   (default: build/win64)
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$repo/build/win64}" && pwd)"
for file in devhost.exe DesktopAddinRegistry.dll Marupo.dll; do
  [ -f "$build/$file" ] || { echo "demo: $build/$file is missing; build the win64 preset" >&2; exit 1; }
done

source "$repo/scripts/wine-env.sh"
marupo_ensure_display
marupo_ensure_prefix
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

marupo_register_addin "$build"
# The settings name Japan Post's downloads as they come, made from the sample excerpt:
# utf_ken_all.zip holds utf_all.csv.
cp "$repo/data/sample/utf_ken_all.csv" "$work/utf_all.csv"
(cd "$work" && zip -qX utf_ken_all.zip utf_all.csv && rm utf_all.csv)
zip -qjX "$work/jigyosyo.zip" "$repo/data/sample/JIGYOSYO.CSV"
settings='HKCU\SOFTWARE\Orlenta\Marupo'
"$WINE" reg add "$settings" /v CSVFile1 /f /d "$(marupo_windows_path "$work/utf_ken_all.zip")" >/dev/null
"$WINE" reg add "$settings" /v CSVFile2 /f /d "$(marupo_windows_path "$work/jigyosyo.zip")" >/dev/null

cp "$repo/devhost/sample/book.txt" "$work/book.txt"
cp "$repo/scripts/demo-addin.devhost" "$work/demo.devhost"
echo "Marupo in the stand-in host: scripts/demo-addin.devhost on the sample book"
echo
status=0
"$WINE" "$build/devhost.exe" --hidden --script "$work/demo.devhost" --log-out "$work/log.txt" \
  2>"$work/errors.txt" || status=$?
tr -d '\r' <"$work/errors.txt" >&2

[ -f "$work/after.txt" ] || exit "${status/#0/1}"
# The records whose text differs, each as it was and as it is ("(none)" when it is new), with
# their filled fields.
awk '
  function flush() { if (id != "") text[file, id] = body; id = ""; body = "" }
  FNR == 1 { flush(); file = FILENAME }
  /^\[record / { flush(); id = $2; sub(/\]$/, "", id); ids[id] = 1; next }
  /^\[/ { flush(); next }
  id != "" && NF && !/= *$/ { body = body "  " $0 "\n" }
  END {
    flush()
    for (r = 1; r <= 100000; r++) {
      if (!(r in ids)) continue
      old = text[ARGV[1], r]; new = text[ARGV[2], r]
      if (old == new) continue
      printf "record %d before:\n%s", r, (old == "" ? "  (none)\n" : old)
      printf "record %d after:\n%s\n", r, (new == "" ? "  (none)\n" : new)
    }
  }' "$work/before.txt" "$work/after.txt"

echo "Dialogs and message boxes shown:"
grep -E '^-- (dialog|messagebox|OnCommand|held|add-ins released)' "$work/log.txt" | sed 's/^-- /  /'
exit "$status"
