#!/usr/bin/env bash
# Turns the user guide (Markdown) into one self-contained HTML page that opens in any browser of
# a bare Windows machine: its pictures are embedded, so the page can be copied on its own.
# Usage: scripts/guide-html.sh GUIDE.md OUT.html
set -euo pipefail
source="$1"
out="$2"
dir="$(cd "$(dirname "$source")" && pwd)"

title=$(sed -n 's/^# //p' "$source" | head -n 1)
# The guide is our own text, so its HTML (the line breaks inside a table's cell) is kept, and
# every bare address becomes a link. Headings get the ids the guide's own links use: GitHub's, the text in lower case without
# punctuation and symbols, blanks made hyphens.
body=$(cmark-gfm --unsafe --extension table --extension autolink "$source" | perl -CSD -pe '
  s{<(h[1-6])>(.*?)</\1>}{
    my ($tag, $text) = ($1, $2);
    (my $id = lc $text) =~ s/<[^>]*>//g;
    $id =~ s/[^\p{L}\p{N}\p{M} _-]//g;
    $id =~ s/ /-/g;
    "<$tag id=\"$id\">$text</$tag>"
  }ge')
# A link within the guide that leads nowhere is an error.
missing=$(perl -CSD -0ne '
  my %ids = map { $_ => 1 } /\sid="([^"]*)"/g;
  for (/href="#([^"]*)"/g) {
    (my $id = $_) =~ s/%([0-9A-Fa-f]{2})/chr hex $1/ge;
    utf8::decode($id);
    print "$id\n" unless $ids{$id};
  }' <<<"$body")
[ -z "$missing" ] || { echo "guide-html: $source links to missing headings: $missing" >&2; exit 1; }
# Nothing of the guide is dropped, and every address in its text can be clicked.
if grep -q 'raw HTML omitted' <<<"$body"; then
  echo "guide-html: $source lost some of its HTML" >&2
  exit 1
fi
unlinked=$(perl -0ne 's{<a\s[^>]*>.*?</a>}{}gs; s{<[^>]*>}{}g; print "$1\n" while m{(https?://\S+)}g' <<<"$body")
[ -z "$unlinked" ] || { echo "guide-html: $source shows addresses that are not links: $unlinked" >&2; exit 1; }
# Every picture the guide shows comes from beside it; a missing one is an error, not a gap.
while read -r picture; do
  [ -n "$picture" ] || continue
  file="$dir/$picture"
  [ -f "$file" ] || { echo "guide-html: $source shows $picture, which is missing" >&2; exit 1; }
  body="${body//src=\"$picture\"/src=\"data:image/png;base64,$(base64 -w 0 "$file")\"}"
done < <(grep -o 'src="[^":]*\.png"' <<<"$body" | sed 's/^src="//; s/"$//' | sort -u)

mkdir -p "$(dirname "$out")"
cat >"$out.tmp" <<EOF
<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<title>$title</title>
<style>
body { font-family: "Meiryo", "Yu Gothic", "MS PGothic", sans-serif; line-height: 1.7;
       max-width: 50em; margin: 2em auto; padding: 0 1em; color: #222; }
h1, h2, h3 { color: #1f3f6f; }
h2 { border-bottom: 1px solid #ccd; padding-bottom: 0.2em; margin-top: 2em; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #bbc; padding: 0.3em 0.6em; vertical-align: top; text-align: left; }
th { background: #eef; }
img { max-width: 100%; border: 1px solid #ccc; }
code { font-family: "MS Gothic", monospace; background: #f4f4f8; padding: 0 0.2em; }
</style>
</head>
<body>
$body
</body>
</html>
EOF
mv "$out.tmp" "$out"
