#!/usr/bin/env bash
# Writes THIRD-PARTY-NOTICES.txt for the programs of a Windows build, and checks that it names
# every static library their link maps show. The libraries and the Debian packages they come
# from are listed in installer/third-party-libraries.txt; each notice takes its version and its
# license text from that package as installed. A library that a program links but the list does
# not name fails the build. Import libraries of system DLLs do not count: an archive counts only
# where the link took a member of it that is not an import stub.
# Usage: third-party-notices.sh LIST ARCH OBJDUMP BUILD_DIR OUTPUT MAP...
#   ARCH: i686 or x86-64, as in the names of Debian's mingw-w64 packages.
set -euo pipefail
[ $# -ge 6 ] || { echo "usage: $0 LIST ARCH OBJDUMP BUILD_DIR OUTPUT MAP..." >&2; exit 2; }
list="$1" arch="$2" objdump="$3" build="$(realpath "$4")" output="$5"
shift 5

trim() { local text="${1#"${1%%[![:space:]]*}"}"; echo "${text%"${text##*[![:space:]]}"}"; }

declare -A library_of package_of  # file name -> line of the list; line -> package
declare -a names
line=0
while IFS='|' read -r package name files; do
  package="$(trim "$package")"
  [ -z "$package" ] || [ "${package:0:1}" = "#" ] && continue
  package="${package//ARCH/$arch}"
  names[line]="$(trim "$name")"
  package_of[$line]="$package"
  for file in $files; do library_of[$file]=$line; done
  line=$((line + 1))
done <"$list"

# The files outside this build that one link map shows the link took: archives it took a member
# of that is not an import stub, and object files it loaded.
linked_files() {
  local map="$1" archive members
  declare -A taken
  while read -r archive member; do
    taken[$archive]+="$member "
  done < <(sed -n '/^Archive member included/,/^Memory Configuration/p' "$map" |
    sed -n 's|^\(/[^(]*\.a\)(\([^)]*\))$|\1 \2|p; s|^\(/[^(]*\.a\)(\([^)]*\)) *[^ ].*$|\1 \2|p')
  for archive in "${!taken[@]}"; do
    case "$(realpath "$archive")" in "$build"/*) continue ;; esac
    # The members of the archive that hold import data ($objdump -h lists each with its sections).
    members="$("$objdump" -h "$archive" | awk '/file format/ { m = $1; sub(/:$/, "", m) }
      /\.idata\$/ { print m }' | sort -u)"
    for member in ${taken[$archive]}; do
      if ! grep -qxF "$member" <<<"$members"; then
        echo "$archive"
        break
      fi
    done
  done
  sed -n 's|^LOAD \(/.*\.o\)$|\1|p' "$map" | while read -r object; do
    case "$(realpath "$object")" in "$build"/*) ;; *) echo "$object" ;; esac
  done
}

declare -A used owner  # line of the list -> the files of it that were linked; path -> package
missing=0
for map in "$@"; do
  program="$(basename "$map" .map)"
  while read -r path; do
    file="$(basename "$path")"
    if [ -z "${library_of[$file]+set}" ]; then
      echo "third-party notices: $program links $file ($path), which $list does not name" >&2
      missing=1
      continue
    fi
    listed="${package_of[${library_of[$file]}]}"
    path="$(realpath "$path")"
    [ -n "${owner[$path]+set}" ] || owner[$path]="$(dpkg -S "$path" 2>/dev/null | cut -d: -f1)"
    if [ "${owner[$path]}" != "$listed" ]; then
      echo "third-party notices: $program links $path from package '${owner[$path]}'," \
        "but $list gives $listed" >&2
      missing=1
      continue
    fi
    used[${library_of[$file]}]+="$file "
  done < <(linked_files "$map")
done
[ "$missing" -eq 0 ] || exit 1

{
  echo "Third-party notices"
  echo
  programs=""
  for map in "$@"; do programs+="${programs:+, }$(basename "$map" .map)"; done
  echo "Marupo's programs ($programs)"
  echo "contain the following libraries, linked into them statically. Each section names a"
  echo "library, the Debian package its copy was built from with that package's version, and the"
  echo "copyright and license text the package ships."
  declare -A written
  for ((i = 0; i < line; i++)); do
    [ -n "${used[$i]+set}" ] || continue
    package="${package_of[$i]}"
    echo
    echo "================================================================================"
    echo "${names[$i]}"
    echo "Debian package: $package $(dpkg-query -W -f='${Version}' "$package")"
    echo "Files linked: $(tr ' ' '\n' <<<"${used[$i]}" | sort -u | paste -sd ' ' | sed 's/^ *//')"
    echo "================================================================================"
    echo
    # Packages built from one source share one copyright file: it is given once.
    copyright="$(realpath "/usr/share/doc/$package/copyright")"
    if [ -n "${written[$copyright]+set}" ]; then
      echo "The copyright and license text is the one given above for ${written[$copyright]}."
    else
      cat "$copyright"
      written[$copyright]="$package"
    fi
  done
} >"$output.tmp"
mv "$output.tmp" "$output"
