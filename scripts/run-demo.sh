#!/usr/bin/env bash
# Kairon's main job, for real: builds kairon-time and the bundled sample
# application (a window titled "Kairon Sample" that appears 300 ms after it
# starts), times five launches of it under Wine in a private Xvfb, and
# prints a line per launch and a report of the run, through
# scripts/time-app.sh, whose exit status it gives. On a host that cannot
# start 32-bit programs it builds and runs the 64-bit build instead of the
# 32-bit product, and says so.
#
#   scripts/run-demo.sh                 the run, its launches and report
#   scripts/run-demo.sh --interactive   opens Kairon's dialog, pre-filled, on
#                                       your display for you to use
# KAIRON_DEMO_RUNS sets the number of executions (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=()
if [ "${1:-}" = "--interactive" ]; then mode=(--interactive); fi

bash scripts/install-deps.sh
source scripts/wine-env.sh
kairon_require_wine
cmake --preset "$KAIRON_WINE_PRESET" >/dev/null
cmake --build --preset "$KAIRON_WINE_PRESET" -j2 --target sample_app >/dev/null

export KAIRON_TIME_APP_WORK="$PWD/build/demo"
echo "== the sample application, timed with the $KAIRON_WINE_CHOICE"
exec bash scripts/time-app.sh "$KAIRON_WINE_BUILD/tools/sample_app.exe" \
  --args '--title "Kairon Sample" --delay 300 --exit-after 60000' \
  --window 'Kairon Sample' --runs "${KAIRON_DEMO_RUNS:-5}" --delay 1000 \
  --input-idle --exact --visible --new-only "${mode[@]}"
