#!/usr/bin/env bash
# Kairon's main job, for real: builds Kairon, then times the bundled sample
# application under Wine with an unattended config.txt run (in a private
# Xvfb), prints the results log and a report of it. On a host that cannot
# start 32-bit programs it builds and runs the 64-bit Kairon instead of the
# 32-bit product, and says so.
#
#   scripts/run-demo.sh                 unattended run, then the log and report
#   scripts/run-demo.sh --interactive   opens the dialog, pre-filled, on your
#                                       display for you to use
# KAIRON_DEMO_RUNS sets the number of executions (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

interactive=0
if [ "${1:-}" = "--interactive" ]; then interactive=1; fi

bash scripts/install-deps.sh
# The 32-bit product where this host can start 32-bit programs, else the
# 64-bit build of the same sources (scripts/wine-env.sh decides).
source scripts/wine-env.sh
kairon_require_wine
cmake --preset "$KAIRON_WINE_PRESET" >/dev/null
cmake --build --preset "$KAIRON_WINE_PRESET" -j2 --target Kairon sample_app
if [ -f report/CMakeLists.txt ] && [ "${KAIRON_DEMO_NO_REPORT:-0}" != 1 ]; then
  cmake --preset native >/dev/null
  cmake --build --preset native -j2 --target kairon-report
fi

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp "$KAIRON_WINE_BUILD/Kairon.exe" "$KAIRON_WINE_BUILD/tools/sample_app.exe" "$demo/"
cd "$demo"

if [ "$interactive" = 1 ] && [ -n "${DISPLAY:-}" ]; then
  export KAIRON_USE_DISPLAY=1
fi
source "$root/scripts/wine-session.sh"

app_path="$(winepath -w "$demo/sample_app.exe" 2>/dev/null)"
auto_run=1
if [ "$interactive" = 1 ]; then auto_run=0; fi
# Eleven lines: application, arguments, log, window name, executions, delay,
# input idle / window name / exact match / visible, WM_CLOSE / WM_SYSCOMMAND
# / Alt-F4, debug, new windows only, unattended run.
printf '%s\r\n' \
  "$app_path" \
  '--title "Kairon Sample" --delay 300 --exit-after 60000' \
  'results.txt' \
  'Kairon Sample' \
  "${KAIRON_DEMO_RUNS:-5}" \
  '1000' \
  '1 1 1 1' \
  '1 0 0' \
  '0' \
  '1' \
  "$auto_run" > config.txt

echo "== Kairon: $KAIRON_WINE_CHOICE"
echo "== Kairon times the sample application (window after 300 ms), ${KAIRON_DEMO_RUNS:-5} launches"
set +e
wine Kairon.exe
status=$?
set -e
echo "== Kairon exited with code $status"
if [ ! -f results.txt ]; then
  echo "no results log was written" >&2
  exit 1
fi
echo "== results.txt (CR LF line ends)"
cat results.txt | tr -d '\r'
if [ -x "$root/build/native/report/kairon-report" ]; then
  echo "== kairon-report results.txt"
  "$root/build/native/report/kairon-report" results.txt
fi
echo "== timed with the $KAIRON_WINE_CHOICE"
exit "$status"
