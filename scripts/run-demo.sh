#!/usr/bin/env bash
# Kairon's main job, for real: builds Kairon and the bundled sample
# application (a window titled "Kairon Sample" that appears 300 ms after it
# starts), has kairon-time write an unattended config.txt, and runs
# Kairon.exe on it under Wine in a private Xvfb: Kairon times five launches
# by itself and closes. Then it prints the results log and kairon-report's
# report of it. On a host that cannot start 32-bit programs it builds and
# runs the 64-bit build instead of the 32-bit product, and says so.
#
#   scripts/run-demo.sh                 the unattended run, its log and report
#   scripts/run-demo.sh --interactive   opens Kairon's dialog, pre-filled, on
#                                       your display for you to use
# KAIRON_DEMO_RUNS sets the number of executions (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
source scripts/wine-env.sh
kairon_require_wine
cmake --preset "$KAIRON_WINE_PRESET" >/dev/null
cmake --build --preset "$KAIRON_WINE_PRESET" -j2 \
  --target Kairon kairon-time kairon-report sample_app >/dev/null

sample="$KAIRON_WINE_BUILD/tools/sample_app.exe"
options=(--args '--title "Kairon Sample" --delay 300 --exit-after 60000'
         --window 'Kairon Sample' --runs "${KAIRON_DEMO_RUNS:-5}" --delay 1000
         --input-idle --exact --visible --new-only)
if [ "${1:-}" = "--interactive" ]; then
  export KAIRON_TIME_APP_WORK="$PWD/build/demo"
  exec bash scripts/time-app.sh "$sample" "${options[@]}" --interactive
fi

work="$PWD/build/demo"
mkdir -p "$work"
cd "$work"
rm -f results.txt
kairon_session_begin
echo "== Kairon.exe times the sample application, with the $KAIRON_WINE_CHOICE"
wine "$KAIRON_WINE_BUILD/console/kairon-time.exe" --save-config config.txt \
  --log results.txt "${options[@]}" "$(kairon_winpath "$sample")" </dev/null
status=0
# Five launches of about 3 s each; far less than this unless Kairon hangs.
timeout 300 wine "$KAIRON_WINE_BUILD/Kairon.exe" </dev/null || status=$?
[ "$status" = 0 ] || { echo "run-demo: Kairon.exe ended with $status" >&2; exit 1; }
echo "== $work/results.txt"
tr -d '\r' <results.txt
echo "== kairon-report results.txt"
wine "$KAIRON_WINE_BUILD/report/kairon-report.exe" results.txt </dev/null | tr -d '\r'
