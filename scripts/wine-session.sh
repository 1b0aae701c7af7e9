# Sourced by Kairon's scripts: gives the caller an X display (a private Xvfb
# unless KAIRON_USE_DISPLAY=1 and one is set) and a warm Wine prefix, and
# tears both down on exit.
#   KAIRON_WINEPREFIX  the prefix to use (default: build/wineprefix)
kairon_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${KAIRON_WINEPREFIX:-$kairon_root/build/wineprefix}"
export KAIRON_WINEPREFIX="$WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$(dirname "$WINEPREFIX")"

kairon_xvfb_pid=""
kairon_session_end() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$kairon_xvfb_pid" ]; then kill "$kairon_xvfb_pid" >/dev/null 2>&1 || true; fi
}
trap kairon_session_end EXIT

if [ "${KAIRON_USE_DISPLAY:-0}" != "1" ] || [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 70 99); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      kairon_xvfb_pid=$!
      export DISPLAY=":$n"
      break
    fi
  done
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/${DISPLAY#:}" ] && break
    sleep 0.1
  done
fi

# A cold Wine start takes seconds; do it once, quietly, before any test.
wineboot -i >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
bash "$kairon_root/scripts/wine-prefix-fonts.sh"
