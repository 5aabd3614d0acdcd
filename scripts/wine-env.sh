# Sourced by the Wine helpers: a private prefix with a Japanese locale and a virtual display.
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${MARUPO_WINEPREFIX:-$repo_root/build/wineprefix}"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG="${WINEDEBUG:--all}"
# No installer prompts, and a crashing test ends at once instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
export WINE="${WINE:-/usr/lib/wine/wine64}"
export WINESERVER="${WINESERVER:-/usr/lib/wine/wineserver64}"
export DISPLAY="${MARUPO_DISPLAY:-:97}"

marupo_ensure_display() {
  local n="${DISPLAY#:}"
  n="${n%%.*}"
  local pid=""
  [ -f "/tmp/.X$n-lock" ] && pid=$(tr -d ' ' < "/tmp/.X$n-lock")
  if [ -z "$pid" ] || ! kill -0 "$pid" 2>/dev/null; then
    rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
    (Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &)
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
}

marupo_ensure_prefix() {
  [ -f "$WINEPREFIX/.marupo-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot -i >/dev/null 2>&1 || true
  # Dialogs use "ＭＳ Ｐゴシック"; render it with the IPA gothic fonts from Debian.
  local reg="$WINEPREFIX/marupo-fonts.reg"
  printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"ＭＳ Ｐゴシック"="IPAPGothic"' '"ＭＳ ゴシック"="IPAGothic"' \
    '"MS PGothic"="IPAPGothic"' '"MS Gothic"="IPAGothic"' '"MS UI Gothic"="IPAPGothic"' \
    '' '; No window manager runs on the virtual display: Wine draws the frames itself and does' \
    '; not wait for one each time a top-level window (a message box, a dialog) goes away.' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' \
    | iconv -f UTF-8 -t CP932 > "$reg"
  "$WINE" regedit "$reg" >/dev/null 2>&1 || true
  "$WINESERVER" -w
  touch "$WINEPREFIX/.marupo-ready"
}

# A Unix path as the Windows programs in the prefix see it.
marupo_windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Registers the built add-in as a user would (regsvr32, after the stand-in host's add-in
# registry) and points its settings at the sample postal files.
marupo_register_addin() {
  local build="$1" settings='HKCU\SOFTWARE\Orlenta\Marupo'
  "$WINE" "$build/devhost.exe" --register-registry
  "$WINE" regsvr32 /s "$(marupo_windows_path "$build/Marupo.dll")"
  "$WINE" reg add "$settings" /v CSVFile1 /f \
    /d "$(marupo_windows_path "$repo_root/data/sample/KEN_ALL.CSV")" >/dev/null
  "$WINE" reg add "$settings" /v CSVFile2 /f \
    /d "$(marupo_windows_path "$repo_root/data/sample/JIGYOSYO.CSV")" >/dev/null
}
