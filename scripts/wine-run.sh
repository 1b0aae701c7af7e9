#!/usr/bin/env bash
# Runs a Windows program under Wine in Kairon's own prefix, quietly: the
# Wine and the prefix scripts/wine-env.sh chooses (KAIRON_WINE_BITS says
# which build the program is from; KAIRON_WINEPREFIX overrides the prefix).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" || exit 1
kairon_require_wine || exit 1
exec wine "$@"
