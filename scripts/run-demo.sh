#!/usr/bin/env bash
# Kairon's main job, for real: builds Kairon and the bundled sample
# application (a window titled "Kairon Sample" that appears 300 ms after it
# starts), times five launches of it with an unattended config.txt run under
# Wine in a private Xvfb, and prints the results log and a report of it,
# through scripts/time-app.sh. On a host that cannot start 32-bit programs
# it builds and runs the 64-bit Kairon instead of the 32-bit product, and
# says so.
#
#   scripts/run-demo.sh                 unattended run, then the log and report
#   scripts/run-demo.sh --interactive   opens the dialog, pre-filled, on your
#                                       display for you to use
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
exec bash scripts/time-app.sh "$KAIRON_WINE_BUILD/tools/sample_app.exe" \
  --args '--title "Kairon Sample" --delay 300 --exit-after 60000' \
  --window 'Kairon Sample' --runs "${KAIRON_DEMO_RUNS:-5}" --delay 1000 \
  --input-idle --exact --visible --new-only "${mode[@]}"
