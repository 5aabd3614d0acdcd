#!/usr/bin/env bash
# Builds the release into dist/: the shipped 32-bit installer and the zip, from the win32 build.
# Checks what it made: both files are there, the zip holds exactly the five files of a release
# and its DLL and program are 32-bit Windows code. Lists the zip's contents.
# Usage: scripts/dist.sh   (run by `make dist`)
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="$repo/build/win32"
out="$repo/dist"

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target marupo_installer marupo_release_zip -j "${JOBS:-2}"

installers=("$build"/Marupo-*-setup.exe)
[ ${#installers[@]} -eq 1 ] && [ -f "${installers[0]}" ] ||
  { echo "dist: expected one installer in $build" >&2; exit 1; }
installer="${installers[0]}"
version="${installer##*/Marupo-}"
version="${version%-setup.exe}"
zip="$build/Marupo-$version.zip"
[ -f "$zip" ] || { echo "dist: $zip is missing" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
cp "$installer" "$zip" "$out/"

# The zip's contents, and what each executable file is built for.
check="$(mktemp -d)"
trap 'rm -rf "$check"' EXIT
(cd "$check" && cmake -E tar xf "$out/Marupo-$version.zip")
listed=$(cd "$check" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
expected="LICENSE.txt Marupo-guide.html Marupo.dll THIRD-PARTY-NOTICES.txt marupo-lookup.exe "
if [ "$listed" != "$expected" ]; then
  echo "dist: the zip holds \"$listed\", not \"$expected\"" >&2
  exit 1
fi
for file in Marupo.dll marupo-lookup.exe; do
  i686-w64-mingw32-objdump -f "$check/$file" | grep -q 'file format pei-i386' ||
    { echo "dist: $file in the zip is not 32-bit Windows code" >&2; exit 1; }
done
i686-w64-mingw32-objdump -f "$out/Marupo-$version-setup.exe" | grep -q 'file format pei-i386' ||
  { echo "dist: the installer is not a 32-bit Windows program" >&2; exit 1; }

echo "dist/Marupo-$version-setup.exe ($(stat -c %s "$out/Marupo-$version-setup.exe") bytes)"
echo "dist/Marupo-$version.zip:"
(cd "$check" && for file in $expected; do printf '  %-20s %9d bytes\n' "$file" "$(stat -c %s "$file")"; done)
