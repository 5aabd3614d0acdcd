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

# The stand-in host with the add-in registered: its Address menu with the two commands, and the
# editor chosen from that menu on the selected record. Clicked as a user would, on the virtual
# display.
# Sets X, Y, WIDTH and HEIGHT to the geometry of the shown window whose name matches; Wine may
# replace a window's X window while it opens, so a vanished one is looked up again.
window_geometry() {
  local window
  for _ in $(seq 100); do
    for window in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
      eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)" && [ "${WIDTH:-0}" -gt 1 ] &&
        return 0
    done
    sleep 0.1
  done
  echo "no window named $1" >&2
  return 1
}

marupo_register_addin "$build"
sed 's/^selection = *$/selection = 1/' "$repo/devhost/sample/book.txt" >"$handshake/book.txt"
"$WINE" "$build/devhost.exe" "$(marupo_windows_path "$handshake/book.txt")" \
  >"$handshake/devhost.log" 2>&1 &
devhost=$!
window_geometry '^DevHost'
sleep 1.5
xdotool mousemove $((X + 107)) $((Y + 33)) click 1  # the Address menu
sleep 0.8
import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
  "$out/host_menu.png"
echo "$out/host_menu.png"
xdotool mousemove $((X + 140)) $((Y + 54)) click 1  # Marupo 編集
sleep 1.5
window_geometry '^Marupo 編集$'
import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
  "$out/host_editor.png"
echo "$out/host_editor.png"
kill "$devhost"
wait "$devhost" 2>/dev/null || true

# The installer, in a prefix of its own where the host is not installed: the message that says so,
# then its first page. The 64-bit build's installer looks the same as the shipped one.
installers=("$build"/Marupo-*-setup.exe)
setup_prefix="$handshake/installer-prefix"
MARUPO_WINEPREFIX="$setup_prefix" "$repo/scripts/wine-run" cmd /c exit
MARUPO_WINEPREFIX="$setup_prefix" "$repo/scripts/wine-run" "${installers[0]}" \
  >"$handshake/setup.log" 2>&1 &
setup=$!
title="^Marupo .* セットアップ$"
window_geometry "$title"
sleep 1
import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
  "$out/installer_host_missing.png"
echo "$out/installer_host_missing.png"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 22)) click 1  # OK, the only button
sleep 2
window_geometry "$title"
sleep 1
import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
  "$out/installer_welcome.png"
echo "$out/installer_welcome.png"
WINEPREFIX="$setup_prefix" "$WINESERVER" -k
wait "$setup" 2>/dev/null || true
