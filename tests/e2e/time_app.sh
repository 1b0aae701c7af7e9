#!/usr/bin/env bash
# scripts/time-app.sh, the command-line way to time an application under
# Wine, is kairon-time's: bad arguments give 2 and leave nothing made; two
# launches and a warm-up of the sample application give 0, kairon-time's
# progress, report and JSON without Wine's CRs, and the close method asked
# for. Run from
# another folder with relative paths, in a work folder of the caller's, it
# keeps what was there and appends each run to the default log, reporting
# only that run; --interactive opens the dialog filled in from there. Ctrl-C
# gives kairon-time's 130, a program that cannot be launched 1 at once with
# the system's message, and a window that never appears 3.
. "$(dirname "$0")/lib.sh"
e2e_begin
time_app="$(realpath "$(dirname "$0")/../../scripts/time-app.sh")"
export KAIRON_TIME_APP_WORK="$E2E_DIR/work"
out="$E2E_DIR/out.txt"
err="$E2E_DIR/err.txt"

run_time_app() {  # run_time_app ARGS...: sets STATUS; its output in $out and $err
    STATUS=0
    bash "$time_app" "$@" </dev/null >"$out" 2>"$err" || STATUS=$?
    # Lines of Wine's own about its processes are not kairon-time's words.
    grep '^wine: ' "$err" >>"$E2E_DIR/wine.err" || true
    sed -i '/^wine: /d' "$err"
    if LC_ALL=C grep -q $'\r' "$out" "$err"; then fail "a CR in time-app's output: $(cat -A "$out" "$err")"; fi
}

run_time_app "$SAMPLE_APP" --window 'Kairon Sample' --close never --log logs/results.txt \
    --json json/launches.json
expect_same "bad --close: status" 2 "$STATUS"
expect_same "bad --close: kairon-time's words, then the usage" \
    "$(printf '%s\n' "kairon-time: --close: 'never' is not wm_close, syscommand or altf4" \
        'Try kairon-time --help' 'usage: scripts/time-app.sh APP.exe --window TITLE [options]')" \
    "$(head -n 3 "$err")"
[ ! -e "$KAIRON_TIME_APP_WORK" ] || fail "bad arguments left the work folder"
[ ! -e logs ] || fail "bad arguments left the log's folder"
[ ! -e json ] || fail "bad arguments left the JSON's folder"
run_time_app "$SAMPLE_APP" --window
expect_same "--window without a title: status" 2 "$STATUS"
expect_same "--window without a title: message" "time-app: --window needs a value" "$(head -n 1 "$err")"
[ ! -e "$KAIRON_TIME_APP_WORK" ] || fail "a missing value made the work folder"

record="$E2E_DIR/record.txt"
run_time_app "$SAMPLE_APP" --args "$(sample_args 200 "$record" 30000)" \
    --window 'Kairon Sample' --exact --runs 2 --warmup 1 --delay 300 --close syscommand --new-only \
    --log logs/results.txt --json json/launches.json --display
expect_same "two launches: status (stderr: $(cat "$err"))" 0 "$STATUS"
mapfile -t lines < <(log_lines logs/results.txt)
expect_same "log header" "$(kairon_winpath "$SAMPLE_APP") - 2 executions" "${lines[0]}"
[ "${#lines[@]}" = 3 ] || fail "expected a header and two timing lines: ${lines[*]}"
expect_timing_line "${lines[1]}" 0.2 5
expect_timing_line "${lines[2]}" 0.2 5
[[ "$(head -n 1 "$err")" =~ ^"warmup 1/1: "[0-9]+\.[0-9]{4}" s"$ ]] || fail "no warm-up: $(cat "$err")"
expect_same "two launches: progress" \
    "$(printf 'launch 1/2: %s s\nlaunch 2/2: %s s' "${lines[1]}" "${lines[2]}")" "$(tail -n +2 "$err")"
python3 - json/launches.json "$(kairon_winpath "$SAMPLE_APP")" <<'EOF' || fail "json/launches.json: $(cat json/launches.json)"
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
assert doc["application"] == sys.argv[2], doc["application"]
assert [l["warmup"] for l in doc["launches"]] == [True, False, False], doc["launches"]
EOF
grep -qxF "Run 1: $(kairon_winpath "$SAMPLE_APP")" "$out" || fail "no report of the run: $(cat "$out")"
expect_same "closed by WM_SYSCOMMAND" "$(printf '%s\n' \
        'start visible WM_SYSCOMMAND SC_CLOSE WM_CLOSE destroyed' \
        'start visible WM_SYSCOMMAND SC_CLOSE WM_CLOSE destroyed' \
        'start visible WM_SYSCOMMAND SC_CLOSE WM_CLOSE destroyed')" \
    "$(events_by_process "$record")"

# A caller elsewhere, whose own work folder holds a file of its own.
mkdir -p "$E2E_DIR/caller/work"
echo 'not time-app'"'"'s' >"$E2E_DIR/caller/work/notes.txt"
cd "$E2E_DIR/caller" || fail "no caller folder"
relative_app=$(realpath --relative-to=. "$SAMPLE_APP")
header="$(kairon_winpath "$SAMPLE_APP") - 1 executions"
time_app_here() {
    KAIRON_TIME=$(realpath --relative-to=. "$KAIRON_TIME") KAIRON_TIME_APP_WORK=work \
        run_time_app "$relative_app" --args "$(sample_args 100 "$record" 30000)" \
        --window 'Kairon Sample' --runs 1 --delay 100 --display
}
time_app_here
expect_same "from another folder: status (stderr: $(cat "$err"))" 0 "$STATUS"
first=$(log_lines work/results-sample_app.txt)
time_app_here
expect_same "again: status (stderr: $(cat "$err"))" 0 "$STATUS"
mapfile -t both < <(log_lines work/results-sample_app.txt)
[ "${#both[@]}" = 4 ] || fail "expected both runs' lines in the default log: ${both[*]}"
expect_same "the default log after two runs" "$(printf '%s\n' "$header" "${both[1]}" "$header" "${both[3]}")" \
    "$(printf '%s\n' "${both[@]}")"
expect_same "the first run's lines, kept" "$first" "$(printf '%s\n' "${both[@]:0:2}")"
expect_timing_line "${both[1]}" 0.1 5
expect_timing_line "${both[3]}" 0.1 5
expect_same "the second run's progress" "launch 1/1: ${both[3]} s" "$(cat "$err")"
if ! grep -qxF "Run 2: $(kairon_winpath "$SAMPLE_APP")" "$out" || grep -q '^Run 1:' "$out"; then
    fail "the report is not of the second run alone: $(cat "$out")"
fi
expect_same "the caller's file" "not time-app's" "$(cat work/notes.txt)"

# --interactive: the dialog, filled in through the config.txt kairon-time
# writes, waits for a person; closing it ends time-app with Kairon's status.
# What config.txt cannot hold is refused before any dialog opens.
KAIRON_TIME_APP_WORK=refused run_time_app "$relative_app" --window 'Kairon Sample' --warmup 1 --interactive
expect_same "--interactive --warmup: status" 2 "$STATUS"
expect_same "--interactive --warmup: kairon-time's words, then the usage" \
    "$(printf '%s\n' 'kairon-time: --save-config: config.txt has no line for --warmup' \
        'Try kairon-time --help' 'usage: scripts/time-app.sh APP.exe --window TITLE [options]')" \
    "$(head -n 3 "$err")"
[ ! -e refused ] || fail "a refused --interactive left its work folder"
KAIRON_EXE=$(realpath --relative-to=. "$KAIRON_EXE") KAIRON_TIME_APP_WORK=work \
    bash "$time_app" "$relative_app" --args "$(sample_args 100 "$record" 30000)" \
    --window 'Kairon Sample' --exact --runs 2 --delay 300 --close syscommand --new-only \
    --interactive </dev/null >/dev/null 2>"$err" &
interactive=$!
# Until then time-app readies Wine, waiting for it to be idle.
wait_for_line "$err" 60 "^time-app: Kairon's dialog is open"
dialog=$(drive <<'EOF'
find 30000
get IDC_APP_PATH
get IDC_EXECUTIONS
status
wm-close
wait-gone 10000
EOF
)
expect_same "the dialog, filled in and not started" "$(printf '%s\n' 'dialog: Veltrane Kairon' \
        "get IDC_APP_PATH: $(kairon_winpath "$SAMPLE_APP" | sed 's/\\/\\\\/g')" 'get IDC_EXECUTIONS: 2' 'status: ')" \
    "$dialog"
STATUS=0
wait "$interactive" || STATUS=$?
expect_same "--interactive: status once the dialog is closed" 0 "$STATUS"
expect_same "config.txt" \
    "$(printf '%s\n' "$(kairon_winpath "$SAMPLE_APP")" "$(sample_args 100 "$record" 30000)" \
        results-sample_app.txt 'Kairon Sample' 2 300 '0 1 1 0' '0 1 0' 0 1 0)" \
    "$(tr -d '\r' <work/config.txt)"
expect_same "the default log, after the dialog" "$(printf '%s\n' "${both[@]}")" "$(log_lines work/results-sample_app.txt)"

# Ctrl-C, which a terminal sends to the whole command: kairon-time's 130 and
# its last words come through, and nothing launched is left running. A
# command started in the background ignores Ctrl-C; one typed does not.
stopped_record="$E2E_DIR/stopped-record.txt"
(
    trap - INT
    exec setsid bash "$time_app" "$relative_app" --window 'Kairon Sample' --runs 3 --delay 2000 \
        --log stopped.txt --display --args "--on-close refuse $(sample_args 0 "$stopped_record" 60000)"
) </dev/null >"$out" 2>"$err" &
time_app_pid=$!
for _ in $(seq 300); do
    grep -q '^launch 1/3: ' "$err" && break
    sleep 0.1
done
grep -q '^launch 1/3: ' "$err" || fail "the first launch's progress never came: $(cat "$err")"
kill -INT -- "-$time_app_pid"
STATUS=0
wait "$time_app_pid" || STATUS=$?
expect_same "Ctrl-C: status (stderr: $(cat "$err"))" 130 "$STATUS"
expect_same "Ctrl-C: kairon-time's last words" 'kairon-time: interrupted; the application it launched is closed' \
    "$(grep -v '^wine: ' "$err" | tail -n 1)"
[ "$(grep -c ' start ' "$stopped_record")" = 1 ] || fail "a second launch followed Ctrl-C"
# Its process is found by the record file its command line names.
if pgrep -af "$(basename "$E2E_DIR").stopped-record\.txt"; then
    fail "the application is still running after Ctrl-C"
fi

started=$(date +%s)
run_time_app no/such/program.exe --window 'Kairon Sample' --runs 2 --log unlaunchable.txt --display
took=$(( $(date +%s) - started ))
expect_same "unlaunchable: status" 1 "$STATUS"
[ $took -le 30 ] || fail "an unlaunchable program took $took s"
[[ "$(cat "$err")" =~ ^"kairon-time: Error - Unable to launch process: ".+ ]] ||
    fail "no system message: $(cat "$err")"
expect_same "unlaunchable: the caller's path, in the log" \
    "$(kairon_winpath no/such/program.exe) - 2 executions" "$(log_lines unlaunchable.txt)"

started=$(date +%s)
run_time_app "$relative_app" --window 'Kairon Sample' --runs 1 --delay 100 --log never.txt --display \
    --args "--show never --record $(kairon_winpath "$record") --exit-after 70000"
took=$(( $(date +%s) - started ))
expect_same "never appears: status (stderr: $(cat "$err"))" 3 "$STATUS"
[ $took -ge 50 ] || fail "ended after $took s, before the search could give up"
# The program that never showed its window is not left running.
expect_same "never appears: progress" "$(printf '%s\n' \
    'launch 1/1: Failed to find window Kairon Sample; the program opened no titled window' \
    'launch 1/1: ended' 'kairon-time: 1 of 1 launches had to be ended')" "$(cat "$err")"
mapfile -t lines < <(log_lines never.txt)
expect_same "never appears: log" \
    "$(printf '%s\n' "$(kairon_winpath "$SAMPLE_APP") - 1 executions" 'Failed to find window Kairon Sample')" \
    "$(printf '%s\n' "${lines[@]:0:2}")"
