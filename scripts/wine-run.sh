#!/usr/bin/env bash
# Runs a Windows program under Wine in Kairon's own prefix, quietly.
# KAIRON_WINEPREFIX overrides the prefix (default: build/wineprefix).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${KAIRON_WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
