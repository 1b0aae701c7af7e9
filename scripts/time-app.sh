#!/usr/bin/env bash
# Times a Windows application's start-up under Wine, from the command line:
# runs kairon-time.exe in a work folder (in a private Xvfb unless --display)
# and exits with kairon-time's own status. Its output is kairon-time's:
# progress on standard error, the run's report on standard output.
# --interactive opens Kairon's dialog instead, filled in through config.txt.
#
# KAIRON_TIME names a kairon-time.exe, and KAIRON_EXE a Kairon.exe, to use
# as they are (that one is not built then); KAIRON_TIME_APP_WORK the work
# folder (default build/time-app), which is kept from run to run with the
# default log in it. Relative paths are the caller's, wherever the script is
# run from.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

# A number Kairon's sources define, such as a default or a give-up limit:
#   source_constant FILE NAME
source_constant() {
  local value
  value=$(sed -n "s/^const [^=]* $2 = \([0-9]*\);.*/\1/p" "$root/$1")
  [ -n "$value" ] || { echo "time-app: no $2 in $1" >&2; exit 1; }
  echo "$value"
}
default_runs() { source_constant console/time_options.h kTimeDefaultRuns; }
default_delay() { source_constant config/run_settings.h kDefaultDelayMs; }

usage() {
  cat <<EOF
usage: scripts/time-app.sh APP.exe --window TITLE [options]

Times APP.exe's start-up with kairon-time under Wine. APP.exe is a file here,
or a Windows path or program name (such as notepad.exe) that Wine finds.
Exits with kairon-time's status: 0 every launch reached its condition, 1 a
launch failed or the log could not be written, 2 bad command line or
settings, 3 some launch missed its condition.

  --window TITLE     the title of the window that shows APP has started
                     (any title containing it, ignoring case, unless --exact)
  --args "ARGS"      APP's command-line arguments
  --runs N           measured launches (default $(default_runs))
  --warmup N         launches before those, not measured
  --delay MS         pause before each launch, before closing APP and
                     before the next launch (default $(default_delay))
  --exact            the whole title must match, case included
  --visible          also wait until the window is neither hidden nor minimised
  --input-idle       also wait until APP is idle for input (alone, without
                     --window, for a single launch)
  --new-only         ignore windows that existed before the run
  --close HOW        wm_close (default), syscommand or altf4; may be repeated
  --log FILE         results log, appended to (default: results.txt in the
                     work folder)
  --json FILE        the run's summary as JSON too
  --debug            the debug lines in the log
  --quiet            no progress lines
  --display          use \$DISPLAY instead of a private X server
  --interactive      open Kairon's dialog, filled in, on \$DISPLAY for you to
                     start the run; no time limit

Any other option goes to kairon-time as it is (docs/kairon-time.md).
EOF
}

bad_usage() {
  echo "time-app: $*" >&2
  usage >&2
  exit 2
}

# The Windows spelling of a caller's path, made while still in the caller's
# folder: kairon-time runs in the work folder. An empty one stays empty, for
# kairon-time to refuse.
windows_path() {
  [ -n "$1" ] || return 0
  local path
  path="$(realpath -m "$1")"
  printf 'Z:%s' "${path//\//\\}"
}

# A file here, or a Unix path to one that is missing (for kairon-time to
# report as unlaunchable), rather than a Windows path or a name Wine finds.
is_unix_path() {
  [ -f "$1" ] || { [[ "$1" == */* ]] && [[ "$1" != *\\* ]] && [[ ! "$1" =~ ^[A-Za-z]: ]]; }
}

app=""
app_windows=""
app_given=0
window=""
app_args=""
runs=""
warmup=0
delay=""
exact=0
visible=0
input_idle=0
new_only=0
debug=0
close_wm=0
close_sys=0
close_alt=0
log=""
use_display=0
interactive=0
# kairon-time's command line, in the caller's order, paths in Windows form.
forwarded=()
# Options only kairon-time has, which Kairon's dialog cannot be given.
console_only=()
# What else kairon-time refuses itself, but the dialog's config.txt cannot hold.
unknown_close=""
second_app=""
while [ $# -gt 0 ]; do
  case "$1" in
    --window|--args|--runs|--warmup|--delay|--close|--log|--json)
      [ $# -ge 2 ] || bad_usage "$1 needs a value"
      value="$2"
      case "$1" in
        --window) window="$value" ;;
        --args) app_args="$value" ;;
        --runs) runs="$value" ;;
        --warmup) warmup="$value"; console_only+=("$1") ;;
        --delay) delay="$value" ;;
        --log) log="$value"; value="$(windows_path "$value")" ;;
        --json) console_only+=("$1"); value="$(windows_path "$value")" ;;
        --close)
          case "$value" in
            wm_close) close_wm=1 ;;
            syscommand) close_sys=1 ;;
            altf4) close_alt=1 ;;
            *) unknown_close="$value" ;;
          esac ;;
      esac
      forwarded+=("$1" "$value")
      shift 2 ;;
    --exact) exact=1; forwarded+=("$1"); shift ;;
    --visible) visible=1; forwarded+=("$1"); shift ;;
    --input-idle) input_idle=1; forwarded+=("$1"); shift ;;
    --new-only) new_only=1; forwarded+=("$1"); shift ;;
    --debug) debug=1; forwarded+=("$1"); shift ;;
    --display) use_display=1; shift ;;
    --interactive) interactive=1; use_display=1; shift ;;
    -h|--help) usage; exit 0 ;;
    -?*) console_only+=("$1"); forwarded+=("$1"); shift ;;
    *) if [ "$app_given" = 0 ]; then
         app_given=1
         app="$1"
         app_windows="$app"
         if is_unix_path "$app"; then app_windows="$(windows_path "$app")"; fi
         forwarded+=("$app_windows")
       else
         second_app="$1"
         forwarded+=("$1")
       fi
       shift ;;
  esac
done
if [ "$use_display" = 1 ] && [ -z "${DISPLAY:-}" ]; then
  bad_usage "--display and --interactive need \$DISPLAY"
fi
if [ "$interactive" = 1 ]; then
  [ "${#console_only[@]}" = 0 ] || bad_usage "Kairon's dialog cannot take ${console_only[*]}"
  [ "$app_given" = 1 ] || bad_usage "name the application to time"
  [ -z "$second_app" ] || bad_usage "one application only ('$app', then '$second_app')"
  [ -z "$unknown_close" ] || bad_usage "--close takes wm_close, syscommand or altf4, not '$unknown_close'"
fi

# The program the caller names, if any, is used as it is.
if [ "$interactive" = 1 ]; then
  program="${KAIRON_EXE:-}"
else
  program="${KAIRON_TIME:-}"
fi
[ -z "$program" ] || program="$(realpath -m "$program")"
[ -z "$log" ] || log="$(realpath -m "$log")"
work="$(realpath -m "${KAIRON_TIME_APP_WORK:-$root/build/time-app}")"

# Building needs the tools, and a fresh machine lacks Wine too. Standard
# output is kept for kairon-time's report.
[ -n "$program" ] || bash "$root/scripts/install-deps.sh" >&2
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
kairon_require_wine

# Builds TARGET of this Wine's preset, saying nothing unless it fails.
build_target() {
  local output
  # cmake --build --preset reads the presets of the current folder only.
  if ! output=$(cd "$root" && cmake --preset "$KAIRON_WINE_PRESET" 2>&1 &&
      cmake --build --preset "$KAIRON_WINE_PRESET" -j2 --target "$1" 2>&1); then
    printf '%s\n' "$output" >&2
    echo "time-app: building $1 failed" >&2
    exit 1
  fi
}
if [ -z "$program" ] && [ "$interactive" = 1 ]; then
  build_target Kairon
  program="$KAIRON_WINE_BUILD/Kairon.exe"
elif [ -z "$program" ]; then
  build_target kairon-time
  program="$KAIRON_WINE_BUILD/console/kairon-time.exe"
fi
[ -f "$program" ] || { echo "time-app: no $(basename "$program") at $program" >&2; exit 1; }

# The work folder may be the caller's own and holds the default log, which
# runs append to: nothing in it is ours to remove, but the folders made here
# for a command line that kairon-time then refuses, which stay empty.
made_folders=()
make_folder() {
  local dir="$1" missing=()
  while [ ! -d "$dir" ]; do
    missing=("$dir" "${missing[@]}")
    dir="$(dirname "$dir")"
  done
  mkdir -p "$1"
  made_folders+=("${missing[@]}")
}
remove_made_folders() {
  local i
  for ((i = ${#made_folders[@]} - 1; i >= 0; i--)); do
    rmdir "${made_folders[i]}" 2>/dev/null || true
  done
}
make_folder "$work"
[ -n "$log" ] || log="$work/results.txt"
make_folder "$(dirname "$log")"
cd "$work"

[ "$use_display" = 1 ] && export KAIRON_USE_DISPLAY=1
# shellcheck source=wine-session.sh
source "$root/scripts/wine-session.sh"

if [ "$interactive" = 1 ]; then
  # config.txt, CR LF, its eleven lines: application, arguments, log, window
  # name, executions, delay, input idle / window name / exact match / visible,
  # WM_CLOSE / WM_SYSCOMMAND / Alt-F4, debug, new windows only, unattended
  # (0: the person starts the run). The counts not given are kairon-time's,
  # so that both ways of timing start from the same settings.
  [ -n "$runs" ] || runs=$(default_runs)
  [ -n "$delay" ] || delay=$(default_delay)
  if [ $((close_wm + close_sys + close_alt)) = 0 ]; then close_wm=1; fi
  printf '%s\r\n' "$app_windows" "$app_args" "$(windows_path "$log")" "$window" "$runs" "$delay" \
    "$input_idle $([ -n "$window" ] && echo 1 || echo 0) $exact $visible" \
    "$close_wm $close_sys $close_alt" "$debug" "$new_only" 0 > config.txt
  echo "time-app: Kairon's dialog is open on $DISPLAY: press Run App, close Kairon when it is done;" \
    "the log is $log" >&2
  status=0
  wine "$program" || status=$?
  exit "$status"
fi

# A safety net, never what ends a run that fails: kairon-time gives up by
# itself. Three countdowns of the delay per launch and each enabled wait at
# its give-up limit, twice over for the work between its sleeps. Counts that
# are not numbers do not matter: kairon-time refuses them at once.
whole_or() { if [[ "$1" =~ ^[0-9]{1,6}$ ]]; then echo "$1"; else echo "$2"; fi; }
launches=$(( $(whole_or "$runs" "$(default_runs)") + $(whole_or "$warmup" 0) ))
delay_ms=$(whole_or "$delay" "$(default_delay)")
give_up_s() { echo $(( $(source_constant engine/log_format.h "$1") * $(source_constant engine/log_format.h "$2") / 1000 )); }
per_launch=$(( (3 * delay_ms + 999) / 1000 + 10 + 2 * $(give_up_s kSearchPassLimit kSearchPassSleepMs) ))
[ "$visible" = 1 ] && per_launch=$(( per_launch + 2 * $(give_up_s kVisibilityTestLimit kVisibilitySleepMs) ))
[ "$input_idle" = 1 ] && per_launch=$(( per_launch + 60 ))
time_limit=$(( 60 + launches * per_launch ))

# Wine writes CR LF; each stream keeps its own way, its CRs taken off. The
# filters ignore Ctrl-C so that kairon-time's last words still get through.
strip_cr() { trap '' INT; tr -d '\r'; }
status=0
{
  timeout --foreground "$time_limit" wine "$program" "${forwarded[@]}" </dev/null 2>&1 1>&3 3>&- |
    strip_cr >&2
  exit "${PIPESTATUS[0]}"
} 3>&1 | strip_cr || status=$?

case "$status" in
  124) echo "time-app: kairon-time did not finish within $time_limit s" >&2 ;;
  2) remove_made_folders
     usage >&2 ;;
esac
exit "$status"
