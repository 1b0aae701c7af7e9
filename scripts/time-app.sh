#!/usr/bin/env bash
# Times a Windows application's start-up with Kairon under Wine, from the
# command line: writes an unattended config.txt in a work folder, runs
# Kairon there (in a private Xvfb unless --display), waits for it with a
# time limit worked out from the settings, then prints the results log and
# kairon-report's report of it. Exits non-zero, saying why, when Kairon could
# not run or wrote no timing line.
#
# KAIRON_EXE names a Kairon.exe to use as it is (nothing is built then);
# KAIRON_TIME_APP_WORK the work folder (default build/time-app), which is
# kept from run to run with the default log in it. Relative paths are the
# caller's, wherever the script is run from.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

usage() {
  cat <<'EOF'
usage: scripts/time-app.sh APP.exe --window TITLE [options]

Times APP.exe's start-up with Kairon under Wine. APP.exe is a file here, or
a Windows path or program name (such as notepad.exe) that Wine finds.

  --window TITLE     the title of the window that shows APP has started
                     (any title containing it, ignoring case, unless --exact)
  --args "ARGS"      APP's command-line arguments
  --runs N           launches (default 5)
  --delay MS         pause before each launch, before closing APP and
                     before the next launch (default 1000)
  --exact            the whole title must match, case included
  --visible          also wait until the window is neither hidden nor minimised
  --input-idle       also wait until APP is idle for input
  --new-only         ignore windows that existed before the run
  --close HOW        wm_close (default), syscommand or altf4; may be repeated
  --log FILE         results log, appended to (default: results.txt in the
                     work folder)
  --display          use $DISPLAY instead of a private X server
  --interactive      open Kairon's dialog, filled in, on $DISPLAY for you to
                     start the run; no time limit
EOF
}

bad_usage() {
  echo "time-app: $*" >&2
  usage >&2
  exit 2
}

positive_number() { [[ "$1" =~ ^[1-9][0-9]{0,8}$ ]]; }

app=""
app_args=""
window=""
runs=5
delay=1000
exact=0
visible=0
input_idle=0
new_only=0
close_wm=0
close_sys=0
close_alt=0
log=""
use_display=0
interactive=0
while [ $# -gt 0 ]; do
  case "$1" in
    --window|--args|--runs|--delay|--close|--log)
      [ $# -ge 2 ] || bad_usage "$1 needs a value"
      value="$2"
      case "$1" in
        --window) window="$value" ;;
        --args) app_args="$value" ;;
        --runs) positive_number "$value" || bad_usage "--runs takes a whole number from 1"; runs="$value" ;;
        --delay) positive_number "$value" || bad_usage "--delay takes milliseconds from 1"; delay="$value" ;;
        --log) [ -n "$value" ] || bad_usage "--log needs a file"; log="$value" ;;
        --close)
          case "$value" in
            wm_close) close_wm=1 ;;
            syscommand) close_sys=1 ;;
            altf4) close_alt=1 ;;
            *) bad_usage "--close takes wm_close, syscommand or altf4, not '$value'" ;;
          esac ;;
      esac
      shift 2 ;;
    --exact) exact=1; shift ;;
    --visible) visible=1; shift ;;
    --input-idle) input_idle=1; shift ;;
    --new-only) new_only=1; shift ;;
    --display) use_display=1; shift ;;
    --interactive) interactive=1; use_display=1; shift ;;
    -h|--help) usage; exit 0 ;;
    -*) bad_usage "unknown option $1" ;;
    *) [ -z "$app" ] || bad_usage "one application only ('$app', then '$1')"
       app="$1"; shift ;;
  esac
done
[ -n "$app" ] || bad_usage "name the application to time"
# A Unix path must name a file; a Windows path or a bare name is Wine's to find.
if [[ "$app" == */* ]] && [ ! -f "$app" ]; then bad_usage "no file $app"; fi
[ -n "$window" ] || bad_usage "--window TITLE is needed: Kairon knows the application has started by its window"
if [ "$use_display" = 1 ] && [ -z "${DISPLAY:-}" ]; then
  bad_usage "--display and --interactive need \$DISPLAY"
fi
if [ $((close_wm + close_sys + close_alt)) = 0 ]; then close_wm=1; fi

# Kairon runs from the work folder and Wine resolves a relative path from
# there, so every path the caller gave is made absolute while we are still
# in the caller's folder.
if [ -f "$app" ]; then app="$(realpath -m "$app")"; fi
[ -z "$log" ] || log="$(realpath -m "$log")"
[ -z "${KAIRON_EXE:-}" ] || KAIRON_EXE="$(realpath -m "$KAIRON_EXE")"
work="$(realpath -m "${KAIRON_TIME_APP_WORK:-$root/build/time-app}")"

# The time limit: three countdowns of the delay per launch, and each enabled
# wait at its give-up limit (read from the log-format header, where Kairon's
# own limits are defined), twice over for the work between its sleeps.
limit_of() { sed -n "s/^const [a-z ]*$1 = \([0-9]*\);.*/\1/p" "$root/engine/log_format.h"; }
search_s=$(( $(limit_of kSearchPassLimit) * $(limit_of kSearchPassSleepMs) / 1000 ))
visible_s=$(( $(limit_of kVisibilityTestLimit) * $(limit_of kVisibilitySleepMs) / 1000 ))
per_launch=$(( (3 * delay + 999) / 1000 + 10 + 2 * search_s ))
[ "$visible" = 1 ] && per_launch=$(( per_launch + 2 * visible_s ))
[ "$input_idle" = 1 ] && per_launch=$(( per_launch + 60 ))
time_limit=$(( 60 + runs * per_launch ))

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
kairon_require_wine
if [ -z "${KAIRON_EXE:-}" ]; then
  bash "$root/scripts/install-deps.sh"
  # cmake --build --preset reads the presets of the current folder only.
  (
    cd "$root"
    cmake --preset "$KAIRON_WINE_PRESET" >/dev/null
    cmake --build --preset "$KAIRON_WINE_PRESET" -j2 --target Kairon >/dev/null
    cmake --preset native >/dev/null
    cmake --build --preset native -j2 --target kairon-report >/dev/null
  )
  KAIRON_EXE="$KAIRON_WINE_BUILD/Kairon.exe"
fi
[ -f "$KAIRON_EXE" ] || { echo "time-app: no Kairon.exe at $KAIRON_EXE" >&2; exit 1; }
report="$root/build/native/report/kairon-report"

# Windows spellings: a file here by its Z: path, anything else as given.
windows_path() { printf 'Z:%s' "$(realpath -m "$1" | tr / '\\')"; }
app_windows="$app"
if [ -f "$app" ]; then app_windows="$(windows_path "$app")"; fi

# The work folder may be the caller's own and holds the default log, which
# runs append to: nothing in it but config.txt is ours to replace.
mkdir -p "$work"
[ -n "$log" ] || log="$work/results.txt"
mkdir -p "$(dirname "$log")"
log_size_before=0
[ -f "$log" ] && log_size_before=$(stat -c %s "$log")
cd "$work"

[ "$use_display" = 1 ] && export KAIRON_USE_DISPLAY=1
# shellcheck source=wine-session.sh
source "$root/scripts/wine-session.sh"


# config.txt, CR LF, its eleven lines: application, arguments, log, window
# name, executions, delay, input idle / window name / exact match / visible,
# WM_CLOSE / WM_SYSCOMMAND / Alt-F4, debug, new windows only, unattended.
printf '%s\r\n' "$app_windows" "$app_args" "$(windows_path "$log")" "$window" "$runs" "$delay" \
  "$input_idle 1 $exact $visible" "$close_wm $close_sys $close_alt" 0 "$new_only" \
  "$([ "$interactive" = 1 ] && echo 0 || echo 1)" > config.txt

echo "== Kairon ($KAIRON_WINE_CHOICE) times $app_windows, window \"$window\", $runs launches"
status=0
if [ "$interactive" = 1 ]; then
  echo "== the dialog is open on $DISPLAY: press Run App, close Kairon when it is done"
  wine "$KAIRON_EXE" || status=$?
else
  echo "== time limit ${time_limit} s"
  timeout "$time_limit" wine "$KAIRON_EXE" </dev/null || status=$?
fi
if [ "$status" = 124 ]; then
  echo "time-app: Kairon did not finish within $time_limit s" >&2
elif [ "$status" != 0 ]; then
  echo "time-app: Kairon exited with code $status" >&2
fi

if [ ! -f "$log" ] || [ "$(stat -c %s "$log")" -le "$log_size_before" ]; then
  echo "time-app: Kairon wrote nothing to $log (a warning box in Kairon says why, or it could not start)" >&2
  exit 1
fi
# Earlier runs' lines stay in the log; this run's output shows its own.
this_run() { tail -c +$((log_size_before + 1)) "$log"; }
echo "== $log (CR LF line ends), this run"
this_run | tr -d '\r'
timings=$(this_run | tr -d '\r' | grep -cE '^[0-9]+\.[0-9]{4}$' || true)
if [ "$timings" = 0 ]; then
  echo "time-app: Kairon wrote no timing line" >&2
  exit 1
fi
if [ -x "$report" ]; then
  echo "== kairon-report of this run's lines of $log"
  this_run | "$report" -
else
  echo "== no report: build kairon-report with the native preset"
fi
echo "== $timings timing lines, timed with the $KAIRON_WINE_CHOICE"
exit "$status"
