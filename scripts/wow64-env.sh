# shellcheck shell=bash
# Sourced by the 32-bit Windows helpers. Debian 12's Wine cannot run 32-bit Windows code on a
# kernel without 32-bit Linux support; Debian unstable's Wine can, in its WoW64 mode (32-bit
# Windows code inside a 64-bit process). It lives in a chroot under build/, made once.
wow64_repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
wow64_dir="$wow64_repo_root/build/wow64"
wow64_root="$wow64_dir/root"
wow64_log="$wow64_dir/setup.log"
# Inside, the checkout is mounted under its own path, and with it the 32-bit prefix.
wow64_prefix="$wow64_dir/prefix"
wow64_packages=(wine wine64 locales fonts-ipafont-gothic)
wow64_wine_dir=/usr/lib/x86_64-linux-gnu/wine  # unstable's Wine has no wineserver in /usr/bin
wow64_mounted=()

# The archive that apt on this machine already uses, so the chroot needs no other network.
wow64_mirror() {
  local uri attempt
  for attempt in lists update; do
    [ "$attempt" = lists ] || apt-get update -qq >/dev/null
    # shellcheck disable=SC2016  # apt's own format fields, not shell expansions
    uri=$(apt-get indextargets --format '$(LABEL) $(REPO_URI)' |
      awk '$1 == "Debian" { print $2; exit }')
    [ -z "$uri" ] || { echo "$uri"; return 0; }
  done
  echo "wow64: apt on this machine uses no Debian archive" >&2
  return 1
}

# Reports a step of making the chroot that failed, in one line and the tail of the log, and keeps
# the line as the reason why the 32-bit suite did not run.
wow64_fail() {
  wow64_reason="the chroot could not be made: $1 failed"
  echo "wow64: $wow64_reason; the last lines of $wow64_log:" >&2
  tail -n 20 "$wow64_log" >&2
  return 1
}

# Why this machine cannot run the 32-bit suite at all, on standard output; nothing, and success,
# where it can. The probe (scripts/wow64-probe.c) asks the kernel itself: some hosts of the same
# kind have 32-bit emulation switched off at run time, and there every 32-bit process dies.
marupo_wow64_unable() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "the 32-bit run makes, mounts and enters a chroot, which needs root"
    return 0
  fi
  local source="$wow64_repo_root/scripts/wow64-probe.c" probe="$wow64_dir/probe"
  if [ ! -x "$probe" ] || [ "$source" -nt "$probe" ]; then
    mkdir -p "$wow64_dir"
    if ! cc -O1 -Wall -Wextra -Werror -no-pie -o "$probe.new" "$source" >"$wow64_dir/probe.log" 2>&1; then
      echo "the probe for 32-bit code did not build ($wow64_dir/probe.log)"
      return 0
    fi
    mv "$probe.new" "$probe"
  fi
  local status=0
  "$probe" 2>/dev/null || status=$?
  case "$status" in
    0) return 1 ;;
    139) echo "this machine's kernel refuses 32-bit x86 code (32-bit emulation is off: the probe's far return into the 32-bit code segment faulted)" ;;
    *) echo "the probe for 32-bit code failed with status $status" ;;
  esac
}

# Mounts what Wine and apt need inside the chroot; only what is not mounted yet, and whatever is
# mounted here is unmounted again on every way out of the calling script.
marupo_wow64_mount() {
  local root="$wow64_root"
  trap marupo_wow64_unmount EXIT
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM
  wow64_mount_one "$root/proc" -t proc proc
  wow64_mount_one "$root/sys" -t sysfs sysfs
  wow64_mount_one "$root/dev" --rbind /dev
  # The virtual display's socket and lock file, so that the display is found running.
  wow64_mount_one "$root/tmp" --bind /tmp
  # The checkout under the same path, so that build and source paths mean the same inside.
  mkdir -p "$root$wow64_repo_root"
  wow64_mount_one "$root$wow64_repo_root" --bind "$wow64_repo_root"
}

wow64_mount_one() {
  local target="$1"
  shift
  mountpoint -q "$target" && return 0
  mount "$@" "$target"
  wow64_mounted+=("$target")
  # Where the machine's mounts are shared, what happens below a bind (the checkout mounted
  # inside the bound /tmp, the unmounting of /dev's submounts) must not reach the originals.
  case "$1" in --bind | --rbind) mount --make-rslave "$target" ;; esac
}

marupo_wow64_unmount() {
  local status=$?
  if [ ${#wow64_mounted[@]} -gt 0 ]; then
    # Wine's server outlives the last program for a moment; it must be gone before /proc goes.
    [ ! -x "$wow64_root$wow64_wine_dir/wineserver" ] ||
      marupo_wow64_run "$wow64_wine_dir/wineserver" -w >/dev/null 2>&1 || true
    local i
    for ((i = ${#wow64_mounted[@]} - 1; i >= 0; i--)); do
      umount -R "${wow64_mounted[i]}" 2>/dev/null || umount -R -l "${wow64_mounted[i]}"
    done
    wow64_mounted=()
  fi
  return $status
}

# Every mount point in the chroot, deepest first.
wow64_mounts_inside() {
  awk -v r="$wow64_root" '$2 == r || index($2, r "/") == 1 { print $2 }' /proc/mounts | sort -r
}

# Unmounts what a killed run left mounted; removing build/ with the checkout and /dev still
# mounted inside would delete them.
marupo_wow64_unmount_leftovers() {
  local target
  wow64_mounts_inside | while read -r target; do
    umount "$target" 2>/dev/null || umount -l "$target"
  done
}

# Runs a command inside the chroot with the same working folder and the chroot's Wine.
marupo_wow64_run() {
  chroot "$wow64_root" /usr/bin/env -u LD_PRELOAD -C "$PWD" \
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin HOME=/root XDG_RUNTIME_DIR=/root/.runtime \
    WINE="$wow64_wine_dir/wine" WINESERVER="$wow64_wine_dir/wineserver" \
    MARUPO_WINEPREFIX="$wow64_prefix" WINEPREFIX="$wow64_prefix" "$@"
}

# Makes the chroot: Debian unstable's minimal base, then Wine, the Japanese locale and fonts.
# Fails, with the reason in wow64_reason, where this machine cannot run 32-bit code or the chroot
# cannot be made. Every step returns on failure itself, so that a caller may test the result.
marupo_wow64_ensure_root() {
  local root="$wow64_root"
  if wow64_reason=$(marupo_wow64_unable); then
    echo "wow64: the 32-bit suite cannot run on this machine: $wow64_reason" >&2
    return 1
  fi
  wow64_reason=""
  [ "$(cat "$root/.marupo-packages" 2>/dev/null)" = "${wow64_packages[*]}" ] && return 0
  echo "Preparing the 32-bit Wine chroot in $root"
  mkdir -p "$wow64_dir"
  : > "$wow64_log"
  if [ ! -f "$root/.marupo-base" ]; then
    if [ -n "$(wow64_mounts_inside)" ]; then
      wow64_reason="$root is half made and still has mounts; unmount them first"
      echo "wow64: $wow64_reason" >&2
      return 1
    fi
    rm -rf "$root"
    local mirror
    mirror=$(wow64_mirror 2>>"$wow64_log") || { wow64_fail "finding the Debian archive"; return 1; }
    debootstrap --variant=minbase sid "$root" "$mirror" >>"$wow64_log" 2>&1 ||
      { wow64_fail "debootstrap from $mirror"; return 1; }
    # The archive's unstable suite may be served from a snapshot whose Release files expired.
    echo 'Acquire::Check-Valid-Until "false";' > "$root/etc/apt/apt.conf.d/99marupo-snapshot"
    touch "$root/.marupo-base"
  fi
  (
    marupo_wow64_mount &&
      chroot "$root" /usr/bin/env LANG=C.UTF-8 LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive bash -c '
      set -e
      apt-get update -qq
      apt-get install -y -qq --no-install-recommends "$@"
      sed -i "s/^# *\(ja_JP.UTF-8 UTF-8\)/\1/" /etc/locale.gen
      locale-gen
      mkdir -p -m 700 /root/.runtime' packages "${wow64_packages[@]}" >>"$wow64_log" 2>&1
  ) || { wow64_fail "installing ${wow64_packages[*]}"; return 1; }
  echo "${wow64_packages[*]}" > "$root/.marupo-packages"
}
