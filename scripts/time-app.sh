#!/usr/bin/env bash
# Times a Windows application's start-up under Wine, from the command line:
# runs kairon-time.exe in a work folder (in a private Xvfb unless --display)
# and exits with kairon-time's own status. Its output is kairon-time's:
# progress on standard error, the run's report on standard output.
# --interactive opens Kairon's dialog instead, filled in through the
# config.txt that kairon-time writes for the same options.
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
file or a launch failed, 2 bad command line or settings, 3 some launch
missed its condition, 4 APP is slower than the baseline's limit
(--fail-if-slower), 5 the gate cannot tell, 130 interrupted by Ctrl-C.

  --window TITLE     the title of the window that shows APP has started
                     (any title containing it, ignoring case, unless --exact)
  --args "ARGS"      APP's command-line arguments
  --runs N           measured launches (default $(default_runs))
  --warmup N         launches before those, timed the same way, not in the log
  --delay MS         pause before each launch, before closing APP and
                     before the next launch (default $(default_delay))
  --exact            the whole title must match, case included
  --visible          also wait until the window is neither hidden nor minimised
  --input-idle       also wait until APP is idle for input (alone, without
                     --window, for a single launch)
  --new-only         ignore windows that existed before the run
  --close HOW        wm_close (default), syscommand or altf4; may be repeated
  --log FILE         results log, appended to (default: results-APP.txt in
                     the work folder, APP.exe's name without .exe)
  --json FILE        every launch with the time of each phase, as JSON
  --compare BASE.exe launch BASE.exe and APP.exe in turn, with the same options,
                     and compare APP.exe against it (a file here, as APP.exe)
  --baseline-log FILE  with --compare: BASE.exe's results log (default: the
                     log's name with -baseline before its extension)
  --fail-if-slower PCT  with --compare: status 4 when APP.exe is slower than
                     the limit (its whole interval above 1 + PCT/100, and
                     significantly), 0 within it, 5 when it cannot tell
  --max-runs N       with --fail-if-slower: add rounds up to N a side while
                     the gate cannot tell (default: --runs)
  --significance P   with --compare: the p-value below which a difference
                     counts (default 0.05)
  --test TEST        with --compare: rank (default) or welch, the test that
                     decides
  --setup CMD, --prepare CMD, --conclude CMD, --cleanup CMD
                     cmd.exe commands once before the first launch, before
                     each launch, after each launch, once at the end
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

# A caller's path made absolute while still in the caller's folder (kairon-
# time runs in the work folder), its place in the command line kept for its
# Windows spelling once Wine's library is loaded. An empty one stays empty,
# for kairon-time to refuse.
paths_at=()
caller_path() {
  if [ -n "$1" ]; then
    paths_at+=("${#forwarded[@]}")
    forwarded+=("$(realpath -m "$1")")
  else
    forwarded+=("")
  fi
}

# A file here, or a Unix path to one that is missing (for kairon-time to
# report as unlaunchable), rather than a Windows path or a name Wine finds.
is_unix_path() {
  [ -f "$1" ] || { [[ "$1" == */* ]] && [[ "$1" != *\\* ]] && [[ ! "$1" =~ ^[A-Za-z]: ]]; }
}

# kairon-time's command line, in the caller's order, its paths in Windows
# form; kairon-time checks it. What the time limit needs is kept aside.
forwarded=()
app_given=0
app=""
runs=""
max_runs=""
warmup=0
delay=""
visible=0
input_idle=0
log=""
json=""
baseline_log=""
comparing=0
use_display=0
interactive=0
while [ $# -gt 0 ]; do
  case "$1" in
    --window|--args|--runs|--warmup|--delay|--close|--log|--json|--compare|--baseline-log|--fail-if-slower|--max-runs|--significance|--test|--setup|--prepare|--conclude|--cleanup)
      [ $# -ge 2 ] || bad_usage "$1 needs a value"
      value="$2"
      forwarded+=("$1")
      case "$1" in
        --runs) runs="$value" ;;
        --max-runs) max_runs="$value" ;;
        --warmup) warmup="$value" ;;
        --delay) delay="$value" ;;
        --log) log="$value" ;;
        --json) json="$value" ;;
        --baseline-log) baseline_log="$value" ;;
        --compare) comparing=1 ;;
      esac
      case "$1" in
        --log|--json|--baseline-log) caller_path "$value" ;;
        --compare) if is_unix_path "$value"; then caller_path "$value"; else forwarded+=("$value"); fi ;;
        *) forwarded+=("$value") ;;
      esac
      shift 2 ;;
    --visible) visible=1; forwarded+=("$1"); shift ;;
    --input-idle) input_idle=1; forwarded+=("$1"); shift ;;
    --display) use_display=1; shift ;;
    --interactive) interactive=1; use_display=1; shift ;;
    -h|--help) usage; exit 0 ;;
    -?*) forwarded+=("$1"); shift ;;
    *) # The first is the application; kairon-time refuses any other.
       [ "$app_given" = 1 ] || app="$1"
       if [ "$app_given" = 0 ] && is_unix_path "$1"; then
         caller_path "$1"
       else
         forwarded+=("$1")
       fi
       app_given=1
       shift ;;
  esac
done
if [ "$use_display" = 1 ] && [ -z "${DISPLAY:-}" ]; then
  bad_usage "--display and --interactive need \$DISPLAY"
fi

# The programs to build: kairon-time, and Kairon for its dialog, unless the
# caller names them, to be used as they are.
kairon_time="${KAIRON_TIME:-}"
kairon_exe=""
[ "$interactive" = 0 ] || kairon_exe="${KAIRON_EXE:-}"
to_build=()
if [ -n "$kairon_time" ]; then kairon_time="$(realpath -m "$kairon_time")"; else to_build+=(kairon-time); fi
if [ -n "$kairon_exe" ]; then kairon_exe="$(realpath -m "$kairon_exe")"
elif [ "$interactive" = 1 ]; then to_build+=(Kairon); fi
[ -z "$log" ] || log="$(realpath -m "$log")"
[ -z "$json" ] || json="$(realpath -m "$json")"
[ -z "$baseline_log" ] || baseline_log="$(realpath -m "$baseline_log")"
work="$(realpath -m "${KAIRON_TIME_APP_WORK:-$root/build/time-app}")"

# Building needs the tools, and a fresh machine lacks Wine too. Standard
# output is kept for kairon-time's report.
[ "${#to_build[@]}" = 0 ] || bash "$root/scripts/install-deps.sh" >&2
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
kairon_require_wine
for i in "${paths_at[@]}"; do forwarded[i]="$(kairon_winpath "${forwarded[i]}")"; done

# This Wine's preset, built quietly: its output is shown if it fails.
if [ "${#to_build[@]}" != 0 ]; then
  # cmake --build --preset reads the presets of the current folder only.
  if ! output=$(cd "$root" && cmake --preset "$KAIRON_WINE_PRESET" 2>&1 &&
      cmake --build --preset "$KAIRON_WINE_PRESET" -j2 --target "${to_build[@]}" 2>&1); then
    printf '%s\n' "$output" >&2
    echo "time-app: building ${to_build[*]} failed" >&2
    exit 1
  fi
  [ -n "$kairon_time" ] || kairon_time="$KAIRON_WINE_BUILD/console/kairon-time.exe"
  if [ "$interactive" = 1 ] && [ -z "$kairon_exe" ]; then kairon_exe="$KAIRON_WINE_BUILD/Kairon.exe"; fi
fi
for program in "$kairon_time" ${kairon_exe:+"$kairon_exe"}; do
  [ -f "$program" ] || { echo "time-app: no $(basename "$program") at $program" >&2; exit 1; }
done

# The work folder may be the caller's own and holds the default log, which
# runs append to: nothing in it is ours to remove, but the folders made here
# (it, and those of the files asked for) for a command line that kairon-time
# then refuses, which stay empty.
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
# The default log is the program's own: one log shared by two programs
# would have --fail-if-slower compare one against the other.
if [ -z "$log" ]; then
  program="${app##*[\\/]}"
  program="results-${program%.[eE][xX][eE]}.txt"
  log="$work/$program"
  forwarded=(--log "$program" "${forwarded[@]}")
fi
make_folder "$(dirname "$log")"
[ -z "$json" ] || make_folder "$(dirname "$json")"
[ -z "$baseline_log" ] || make_folder "$(dirname "$baseline_log")"
cd "$work"

[ "$use_display" = 1 ] && export KAIRON_USE_DISPLAY=1
kairon_session_begin

# Runs kairon-time with these arguments, with a time limit of $1 seconds.
# Wine writes CR LF; each stream keeps its own way, its CRs taken off, line
# by line as they come (progress must not wait for the end of the run). The
# filters ignore Ctrl-C so that kairon-time's last words still get through.
strip_cr() { trap '' INT; sed -u 's/\r//g'; }
run_kairon_time() {
  local limit="$1"
  shift
  {
    timeout --foreground "$limit" wine "$kairon_time" "$@" </dev/null 2>&1 1>&3 3>&- |
      strip_cr >&2
    exit "${PIPESTATUS[0]}"
  } 3>&1 | strip_cr
}
# A command line kairon-time refused leaves nothing made, and is answered
# with this script's usage, whose options it was given.
refused() {
  remove_made_folders
  usage >&2
}

status=0
if [ "$interactive" = 1 ]; then
  # kairon-time writes the config.txt that fills the dialog in, with the
  # dialog's checks, and the person presses Run App.
  run_kairon_time 60 --save-config config.txt --attended "${forwarded[@]}" || status=$?
  if [ "$status" != 0 ]; then
    [ "$status" != 2 ] || refused
    exit "$status"
  fi
  echo "time-app: Kairon's dialog is open on $DISPLAY: press Run App, close Kairon when it is done;" \
    "the log is $log" >&2
  wine "$kairon_exe" || status=$?
  exit "$status"
fi

# A safety net, never what ends a run that fails: kairon-time gives up by
# itself. Three countdowns of the delay per launch and each enabled wait at
# its give-up limit, twice over for the work between its sleeps. Counts that
# are not numbers do not matter: kairon-time refuses them at once.
whole_or() { if [[ "$1" =~ ^[0-9]{1,6}$ ]]; then echo "$1"; else echo "$2"; fi; }
measured=$(whole_or "$runs" "$(default_runs)")
measured=$(whole_or "$max_runs" "$measured")  # the most the gate may add up to
launches=$(( (measured + $(whole_or "$warmup" 0)) * (1 + comparing) ))
delay_ms=$(whole_or "$delay" "$(default_delay)")
give_up_s() { echo $(( $(source_constant engine/log_format.h "$1") * $(source_constant engine/log_format.h "$2") / 1000 )); }
per_launch=$(( (3 * delay_ms + 999) / 1000 + 10 + 2 * $(give_up_s kSearchPassLimit kSearchPassSleepMs) ))
[ "$visible" = 1 ] && per_launch=$(( per_launch + 2 * $(give_up_s kVisibilityTestLimit kVisibilitySleepMs) ))
[ "$input_idle" = 1 ] && per_launch=$(( per_launch + 60 ))
time_limit=$(( 60 + launches * per_launch ))

run_kairon_time "$time_limit" "${forwarded[@]}" || status=$?
case "$status" in
  124) echo "time-app: kairon-time did not finish within $time_limit s" >&2 ;;
  2) refused ;;
esac
exit "$status"
