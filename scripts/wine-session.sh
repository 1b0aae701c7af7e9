# shellcheck shell=bash
# For a shell of your own: `source scripts/wine-session.sh` gives it the Wine
# this host runs, an X display (a private Xvfb unless KAIRON_USE_DISPLAY=1
# and one is set) and a warm prefix, torn down when the shell exits; then
# `ctest` under Wine works by hand. Scripts call kairon_session_begin from
# scripts/wine-env.sh, which does it all.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" || return 1
export KAIRON_WINEPREFIX="$WINEPREFIX"
kairon_session_begin
