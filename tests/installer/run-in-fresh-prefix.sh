#!/usr/bin/env bash
# Runs the installer test program in a Wine prefix made afresh for this run, so that what an
# installation writes never meets the other tests' prefix, and no earlier run's leftovers meet
# the installation. A 32-bit program runs as 32-bit code in the WoW64 chroot, with its own
# fresh prefix there.
# Usage: run-in-fresh-prefix.sh win32|win64 TEST_PROGRAM [ARGUMENTS...]
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
bitness="$1"
program="$2"
shift 2
prefix="$(dirname "$program")/installer-prefix"
source "$repo/scripts/wine-env.sh"
marupo_ensure_display

if [ "$bitness" = win32 ]; then
  source "$repo/scripts/wow64-env.sh"
  marupo_wow64_ensure_root
  marupo_wow64_mount
  run() { marupo_wow64_run env MARUPO_WINEPREFIX="$prefix" "$repo/scripts/wine-run" "$@"; }
  stop_wine() { marupo_wow64_run env WINEPREFIX="$prefix" "$wow64_wine_dir/wineserver" -k 2>/dev/null || true; }
else
  run() { MARUPO_WINEPREFIX="$prefix" "$repo/scripts/wine-run" "$@"; }
  stop_wine() { WINEPREFIX="$prefix" "$WINESERVER" -k 2>/dev/null || true; }
fi

rm -rf "$prefix"
status=0
run "$program" "$@" || status=$?
# Whatever the run left behind (a host or an installer still open after a failure) ends here.
stop_wine
[ "$status" -ne 0 ] || rm -rf "$prefix"
exit "$status"
