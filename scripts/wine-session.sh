# shellcheck shell=bash
# Sourced by Kairon's scripts: gives the caller the Wine this host runs
# (scripts/wine-env.sh chooses it), an X display (a private Xvfb unless
# KAIRON_USE_DISPLAY=1 and one is set) and a warm Wine prefix, and tears
# them down on exit. Fails, saying why, when no Wine can start here.
#   KAIRON_WINEPREFIX  the prefix to use (default: one per kind in build/)
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" || return 1
kairon_require_wine || return 1
export KAIRON_WINEPREFIX="$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"

kairon_session_end() {
  wineserver -k >/dev/null 2>&1 || true
  kairon_stop_xvfb
}
trap kairon_session_end EXIT

if [ "${KAIRON_USE_DISPLAY:-0}" != "1" ] || [ -z "${DISPLAY:-}" ]; then
  kairon_start_xvfb 1280x1024 || return 1
fi

# A cold Wine start takes seconds; do it once, quietly, before any test.
wineboot -i >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
bash "$kairon_root/scripts/wine-prefix-fonts.sh"
