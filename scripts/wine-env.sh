# shellcheck shell=bash
# Sourced by every script and test of Kairon's that runs Wine or Xvfb: the
# one library of it. It decides which Windows build and which Wine this
# host runs:
#
#   the 32-bit build (the product) under 32-bit Wine where the host can start
#   32-bit programs, else the 64-bit build of the same sources under 64-bit
#   Wine. Some hosts' kernels lack 32-bit support, so 32-bit Wine's loader
#   fails there with "Exec format error" even when it is installed, and
#   Debian's own `wine` script picks that loader all the same.
#
# KAIRON_WINE_BITS=32 or 64 forces the choice (the probe still says whether
# that Wine can start). KAIRON_WINEPREFIX names the prefix (default: one per
# kind in build/).
#
# Exports: KAIRON_WINE_BITS, KAIRON_WINE_PRESET (windows / windows64),
# KAIRON_WINE_BUILD (its build folder), KAIRON_WINE_CHOICE (one line: which
# build runs under which Wine, and why), KAIRON_WINE_OK (1 when that Wine
# starts), WINELOADER, WINEARCH, WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, and
# PATH with a folder first whose wine, wine-stable and wine64 run the chosen
# loader (Debian's wineboot and winepath call wine-stable by name).
# Functions: kairon_require_wine; kairon_start_xvfb, kairon_stop_xvfb (a
# private X server); kairon_prefix_ready (a booted prefix with the fonts
# Wine draws with); kairon_virtual_desktop (programs in one Wine desktop);
# kairon_winpath (a Unix path as Windows spells it); kairon_wine_stop (every
# program of the prefix ended); kairon_session_begin,
# kairon_session_end (all of it for one script, torn down on exit).

kairon_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
kairon_wine32_loader=/usr/lib/wine/wine
kairon_wine64_loader=/usr/lib/wine/wine64

# Whether the kernel starts a 32-bit Linux program at all: assemble and run
# the smallest one (binutils is on every machine), rather than trust that a
# file exists.
kairon_host_runs_32bit() {
  local dir status=1
  dir="$(mktemp -d)"
  if printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' \
      | as --32 -o "$dir/probe.o" - 2>/dev/null &&
     ld -m elf_i386 -o "$dir/probe" "$dir/probe.o" 2>/dev/null; then
    "$dir/probe" 2>/dev/null && status=0
  fi
  rm -rf "$dir"
  return $status
}

# Whether a Wine loader really starts (prints its version).
kairon_loader_starts() {
  [ -x "$1" ] && "$1" --version >/dev/null 2>&1
}

kairon_choose_wine() {
  local forced="${KAIRON_WINE_BITS:-}" why32="" runs32=0
  # Sourced again below a script that already chose: keep its choice and why.
  if [ -n "$forced" ] && [ "$forced" = "${KAIRON_WINE_CHOSEN_BITS:-}" ]; then
    forced=""
  fi
  if kairon_loader_starts "$kairon_wine32_loader"; then
    runs32=1
  elif kairon_host_runs_32bit; then
    why32="32-bit Wine does not start here"
  else
    why32="this host cannot start 32-bit programs"
  fi
  case "$forced" in
    32) KAIRON_WINE_BITS=32
        KAIRON_WINE_REASON="forced by KAIRON_WINE_BITS=32"
        [ $runs32 = 1 ] || KAIRON_WINE_REASON="$KAIRON_WINE_REASON, but $why32" ;;
    64) KAIRON_WINE_BITS=64
        KAIRON_WINE_REASON="forced by KAIRON_WINE_BITS=64" ;;
    "") if [ -n "${KAIRON_WINE_CHOSEN_BITS:-}" ]; then
          KAIRON_WINE_BITS=$KAIRON_WINE_CHOSEN_BITS
        elif [ $runs32 = 1 ]; then
          KAIRON_WINE_BITS=32
          KAIRON_WINE_REASON="this host starts 32-bit programs"
        else
          KAIRON_WINE_BITS=64
          KAIRON_WINE_REASON="$why32"
        fi ;;
    *) echo "KAIRON_WINE_BITS must be 32 or 64, not '$forced'" >&2
       return 1 ;;
  esac

  KAIRON_WINE_OK=0
  if [ "$KAIRON_WINE_BITS" = 32 ]; then
    WINELOADER="$kairon_wine32_loader"
    WINEARCH=win32
    KAIRON_WINE_PRESET=windows
    [ $runs32 = 1 ] && KAIRON_WINE_OK=1
  else
    WINELOADER="$kairon_wine64_loader"
    WINEARCH=win64
    KAIRON_WINE_PRESET=windows64
    kairon_loader_starts "$WINELOADER" && KAIRON_WINE_OK=1
  fi
  KAIRON_WINE_BUILD="$kairon_root/build/$KAIRON_WINE_PRESET"
  if [ "$KAIRON_WINE_OK" = 1 ]; then
    KAIRON_WINE_CHOICE="$KAIRON_WINE_BITS-bit build under $KAIRON_WINE_BITS-bit Wine ($KAIRON_WINE_REASON)"
  else
    KAIRON_WINE_CHOICE="none: $KAIRON_WINE_BITS-bit Wine cannot start here ($KAIRON_WINE_REASON)"
  fi
  KAIRON_WINE_CHOSEN_BITS=$KAIRON_WINE_BITS
  export KAIRON_WINE_CHOSEN_BITS KAIRON_WINE_BITS KAIRON_WINE_REASON KAIRON_WINE_OK KAIRON_WINE_PRESET \
    KAIRON_WINE_BUILD KAIRON_WINE_CHOICE WINELOADER WINEARCH
}

# A folder of wine, wine-stable and wine64 that run the chosen loader, first
# on PATH, so that every `wine`, `wineboot` and `winepath` below uses it.
kairon_put_loader_first() {
  local bin="$kairon_root/build/wine-bin-$KAIRON_WINE_BITS" name
  mkdir -p "$bin"
  for name in wine wine-stable wine64; do
    printf '#!/bin/sh\nexec %s "$@"\n' "$WINELOADER" > "$bin/$name.new"
    chmod +x "$bin/$name.new"
    mv -f "$bin/$name.new" "$bin/$name"
  done
  case ":$PATH:" in
    *":$bin:"*) ;;
    *) export PATH="$bin:$PATH" ;;
  esac
}

# Fails, saying why, when the chosen Wine cannot start.
kairon_require_wine() {
  if [ "$KAIRON_WINE_OK" != 1 ]; then
    echo "Wine: $KAIRON_WINE_CHOICE" >&2
    return 1
  fi
}

# Starts a private X server on the first free display from :100 up and sets
# DISPLAY and KAIRON_XVFB_PID; Xvfb names the display on descriptor 3 once
# it accepts connections. $1 is the screen size (default 1024x768).
kairon_start_xvfb() {
  local size="${1:-1024x768}" n ready waited
  ready="$(mktemp)"
  for n in $(seq 100 299); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    : >"$ready"
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -displayfd 3 \
      3>"$ready" </dev/null >/dev/null 2>&1 &
    KAIRON_XVFB_PID=$!
    waited=0
    while [ ! -s "$ready" ] && kill -0 "$KAIRON_XVFB_PID" 2>/dev/null && [ $waited -lt 100 ]; do
      sleep 0.1
      waited=$((waited + 1))
    done
    if [ -s "$ready" ]; then
      rm -f "$ready"
      export DISPLAY=":$n"
      return 0
    fi
    kairon_stop_xvfb
  done
  rm -f "$ready"
  echo "no free X display between :100 and :299" >&2
  return 1
}

kairon_stop_xvfb() {
  if [ -n "${KAIRON_XVFB_PID:-}" ]; then
    kill "$KAIRON_XVFB_PID" 2>/dev/null || true
    wait "$KAIRON_XVFB_PID" 2>/dev/null || true
    KAIRON_XVFB_PID=""
  fi
}

# Boots the prefix and puts the Marlett font into it: Wine draws the caption
# buttons with it, and without it a fresh prefix shows the letter "r" where
# the close box's cross belongs, in screenshots too. A cold boot takes
# seconds; a warm one, a moment.
kairon_prefix_ready() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i </dev/null >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  local font=/usr/share/wine/fonts/marlett.ttf
  local fonts_dir="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f "$font" ] && [ -d "$fonts_dir" ] && [ ! -f "$fonts_dir/marlett.ttf" ]; then
    cp "$font" "$fonts_dir/"
  fi
}

# kairon_virtual_desktop NAME SIZE: programs started without naming a
# desktop open in the Wine desktop NAME of SIZE (such as 1024x768), as on a
# Windows screen: windows get their frames and caption bars, and hiding one
# does not wait for a window manager that a private X server lacks.
kairon_virtual_desktop() {
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$1" /f </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$1" /d "$2" /f \
    </dev/null >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1 || true
}

# The Windows spelling of a Unix path, on Wine's Z: drive; relative paths
# are the caller's.
kairon_winpath() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s' "${path//\//\\}"
}

# For a script that runs Windows programs: an X display (a private Xvfb of
# size $1, default 1280x1024, unless KAIRON_USE_DISPLAY=1 and one is set)
# and a ready prefix; kairon_session_end tears both down when the script
# exits. Fails, saying why, when no Wine starts here.
kairon_session_begin() {
  kairon_require_wine || return 1
  trap kairon_session_end EXIT
  if [ "${KAIRON_USE_DISPLAY:-0}" != "1" ] || [ -z "${DISPLAY:-}" ]; then
    kairon_start_xvfb "${1:-1280x1024}" || return 1
  fi
  kairon_prefix_ready
}

# Ends every program of the prefix and its server: at the end, and before a
# start, since a server left from elsewhere would keep another X display.
kairon_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

kairon_session_end() {
  kairon_wine_stop
  kairon_stop_xvfb
}

kairon_choose_wine || return 1
kairon_put_loader_first
export WINEPREFIX="${KAIRON_WINEPREFIX:-$kairon_root/build/wineprefix-$WINEARCH}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
