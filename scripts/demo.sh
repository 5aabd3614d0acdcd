#!/usr/bin/env bash
# Looks a handful of postal codes up in the sample excerpt of Japan Post's files with
# marupo-lookup, the add-in's own search on the command line: the CSV files, and the ZIP files
# Japan Post ships them in, made here from the same excerpt.
set -uo pipefail
repo_root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${1:-$repo_root/build/native}"
lookup="$build_dir/marupo-lookup"
samples="$repo_root/data/sample"

if [ ! -x "$lookup" ]; then
  echo "demo: $lookup is missing; run 'make build-native' first" >&2
  exit 1
fi

codes=(
  0600000    # placeholder town area: the street stays empty
  064-0941   # typed with a hyphen, as users do
  ０６４－０９４１  # typed in full-width digits, as with the input method on
  0600042    # 大通西（１～１９丁目）: the note of the postal data is left out
  0660005    # a town area KEN_ALL.CSV continues over three lines: joined, its lot list left out
  4980000    # a code in two prefectures: the first record (the editor lets the user choose)
  5100000    # 四日市市: holds 市 before its end, never split
  1003131    # only in the business-office file: town area and block joined
  1234567    # in neither file
  12345      # not seven digits
)

run() {
  echo "\$ marupo-lookup $*"
  (cd "${dir:-$samples}" && "$lookup" "$@" 2>&1)
  echo "(exit status $?)"
  echo
}

echo "Marupo postal-code lookup on the sample data in data/sample"
echo
run "${codes[@]%% *}"
echo "The UTF-8 edition of the nationwide file (one line per record) reads the same:"
echo
run --nationwide utf_ken_all.csv 064-0941 0660005
# Japan Post's downloads as they come: utf_ken_all.zip holds utf_all.csv.
zips="$(mktemp -d)"
trap 'rm -rf "$zips"' EXIT
cp "$samples/utf_ken_all.csv" "$zips/utf_all.csv"
(cd "$zips" && zip -qX utf_ken_all.zip utf_all.csv && rm utf_all.csv)
zip -qjX "$zips/jigyosyo.zip" "$samples/JIGYOSYO.CSV"
echo "The downloaded ZIP files, chosen as they are (utf_ken_all.zip, jigyosyo.zip):"
echo
dir="$zips" run --nationwide utf_ken_all.zip --business jigyosyo.zip 064-0941 1003131 1234567
echo "Every record of a code, as the editor's chooser lists them:"
echo
run --all 4980000
echo "Town areas as the file has them, notes and all:"
echo
run --raw 0600042 0660005
echo "With the designated-city split, the ward moves to the front of the street:"
echo
run --div-city 0600000 0640941 5100000
echo "Codes from standard input, one per line:"
echo
printf '0640941\n2310000\n' | { echo "\$ printf '0640941\\n2310000\\n' | marupo-lookup"; (cd "$samples" && "$lookup" 2>&1); echo "(exit status $?)"; }

