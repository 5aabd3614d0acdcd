#!/usr/bin/env bash
# Renders the editor (both tabs, filled with a sample entry), the settings dialog, the about box,
# the address page on its own and the update confirmation under Wine on the virtual display, and
# saves them as docs/screenshots/*.png, each cropped to its window.
# Usage: scripts/screenshots.sh [win64 build dir]   (default: build/win64)
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$repo/build/win64}"
out="$repo/docs/screenshots"

source "$repo/scripts/wine-env.sh"
marupo_ensure_display
marupo_ensure_prefix
mkdir -p "$out"
handshake="$(mktemp -d)"
trap 'rm -rf "$handshake"' EXIT

# Runs one screenshot test and captures its windows in order. The program writes NAME.rect
# ("x y width height" on the screen) once the window is drawn and goes on when NAME.done appears.
capture() {
  local program="$build/tests/$1" filter="$2"
  shift 2
  [ -f "$program" ] || { echo "missing $program: build the win64 preset first" >&2; exit 1; }
  MARUPO_SCREENSHOT_DIR="$handshake" "$repo/scripts/wine-run" "$program" \
    --gtest_filter="$filter" >"$handshake/program.log" 2>&1 &
  local runner=$!
  for name in "$@"; do
    for _ in $(seq 600); do
      [ -f "$handshake/$name.rect" ] && break
      kill -0 "$runner" 2>/dev/null || break
      sleep 0.1
    done
    if [ ! -f "$handshake/$name.rect" ]; then
      cat "$handshake/program.log" >&2
      echo "no window for $name" >&2
      exit 1
    fi
    read -r x y w h < "$handshake/$name.rect"
    sleep 0.3  # let the X server finish drawing
    import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$name.png"
    echo "$out/$name.png (${w}x${h})"
    touch "$handshake/$name.done"
  done
  if ! wait "$runner"; then
    cat "$handshake/program.log" >&2
    exit 1
  fi
}

capture win_editor_screenshot_test.exe 'EditorScreenshotTest.*' \
  editor_address editor_note settings about
capture win_address_page_screenshot_test.exe \
  'AddressPageScreenshotTest.HoldsPageAndConfirmationForTheCamera' address_page address_update
