#!/usr/bin/env bash
# kairon-time.exe on the command line: bad options and invalid settings
# give status 2 and write nothing; two launches of the sample application
# give status 0, a line per launch, Kairon's log and the run's summary; a
# program that cannot be launched gives 1 at once with the system's message;
# a window title that matches nothing gives 3 after the first launch's
# search has given up, with every line in the log and the window the
# program opened named; warm-ups and phases reach the JSON but not the
# log; Ctrl-C ends the run with 130 and closes the application first,
# within about a second even while a hung window is sent its close message;
# a helper that outlives its closed window is ended with the launch's job.
. "$(dirname "$0")/lib.sh"
e2e_begin wine-processes
run_time -V
[[ "$STATUS $(cat out.txt)" =~ ^"0 kairon-time "[0-9]+(\.[0-9]+){2,3}$ ]] ||
    fail "--version: status $STATUS, $(cat out.txt)"
run_time --window 'Kairon Sample' --runs ten "$app"
expect_same "bad --runs: status" 2 "$STATUS"
expect_same "bad --runs: message" \
    "$(printf '%s\n' "kairon-time: --runs: 'ten' is not a whole number" 'Try kairon-time --help')" \
    "$(cat err.txt)"
run_time --runs 1 "$app"
expect_same "no window, no input idle: status" 2 "$STATUS"
expect_same "no window, no input idle: the dialog's words" \
    "kairon-time: No window name: Please enter the main window name so application can be closed automatically." \
    "$(cat err.txt)"
[ ! -e results.txt ] || fail "a refused command line wrote results.txt"

record="$E2E_DIR/record.txt"
run_time --window 'Kairon Sample' --exact --runs 2 --delay 300 \
    --args "$(sample_args 200 "$record" 30000)" "$app"
expect_same "two launches: status (stderr: $(cat err.txt))" 0 "$STATUS"
mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" = 3 ] || fail "expected a header and two timing lines: ${lines[*]}"
expect_same "log header" "$app - 2 executions" "${lines[0]}"
expect_timing_line "${lines[1]}" 0.2 5
expect_timing_line "${lines[2]}" 0.2 5
expect_same "progress" "$(printf 'launch 1/2: %s s\nlaunch 2/2: %s s' "${lines[1]}" "${lines[2]}")" \
    "$(cat err.txt)"
grep -qxF "Run 1: $app" out.txt || fail "no summary of the run: $(cat out.txt)"
[ "$(grep -c ' start ' "$record")" = 2 ] || fail "the sample application was not launched twice"

started=$(date +%s)
run_time --window 'Kairon Sample' --runs 2 --log missing.txt 'Z:\no\such\program.exe'
took=$(( $(date +%s) - started ))
expect_same "unlaunchable: status" 1 "$STATUS"
[ $took -le 30 ] || fail "an unlaunchable program took $took s"
[[ "$(cat err.txt)" =~ ^"kairon-time: Error - Unable to launch process: ".+ ]] ||
    fail "no system message: $(cat err.txt)"

# A title that matches nothing: the search gives up once, the run stops
# after that launch with status 3, not after all three, and names the
# window the program did open.
started=$(date +%s)
run_time --window 'Notepad++' --runs 3 --delay 100 --log never.txt \
    --args "$(sample_args 0 "$record" 70000)" "$app"
took=$(( $(date +%s) - started ))
expect_same "wrong title: status (stderr: $(cat err.txt))" 3 "$STATUS"
[ $took -ge 50 ] || fail "ended after $took s, before the search could give up"
[ $took -le 90 ] || fail "took $took s: more than the one launch's search"
mapfile -t lines < <(log_lines never.txt)
[ "${#lines[@]}" = 3 ] || fail "expected a header, the failure and one timing line: ${lines[*]}"
expect_same "wrong title: log" "$(printf '%s\n' "$app - 3 executions" 'Failed to find window Notepad++')" \
    "$(printf '%s\n' "${lines[@]:0:2}")"
expect_timing_line "${lines[2]}" 50.0 150
# The program whose window was not found is not left running.
expect_same "wrong title: progress" "$(printf '%s\n' \
    'launch 1/3: Failed to find window Notepad++; the program opened: Kairon Sample' \
    'launch 1/3: ended' 'kairon-time: 1 of 1 launches had to be ended' \
    'kairon-time: launch 1/3: its window was not found, and the rest would not find it either: the run stops here (--keep-going makes every launch)')" \
    "$(cat err.txt)"
grep -qxF '  Launches:               0 of 3 completed, 1 failed (the run ended early)' out.txt ||
    fail "the failed launch is not counted as failed: $(cat out.txt)"
! grep -q '^Phases' out.txt || fail "a phases header over nothing reached: $(cat out.txt)"

# A warm-up and two measured launches, waiting for input idle, the window
# and its showing: the warm-up is launched but not logged, and the JSON
# has every launch with the time of each phase, in order, the last phase
# ending where the logged time does; --build's id and the machine's name
# close the JSON, and the log has no line for them.
: >"$record"
run_time --window 'Kairon Sample' --exact --input-idle --visible --warmup 1 --runs 2 \
    --delay 300 --json phases.json --log phases.txt --build nightly-1236 \
    --args "$(sample_args 200 "$record" 30000)" "$app"
expect_same "phases: status (stderr: $(cat err.txt))" 0 "$STATUS"
mapfile -t lines < <(log_lines phases.txt)
[ "${#lines[@]}" = 3 ] || fail "expected a header and two timing lines: ${lines[*]}"
[ "$(grep -c ' start ' "$record")" = 3 ] || fail "expected a warm-up and two launches"
[[ "$(sed -n 1p err.txt)" =~ ^"warmup 1/1: "[0-9]+\.[0-9]{4}" s"$ ]] ||
    fail "no warm-up line: $(cat err.txt)"
expect_same "phases: progress" "$(printf 'launch 1/2: %s s\nlaunch 2/2: %s s' "${lines[1]}" "${lines[2]}")" \
    "$(sed 1d err.txt)"
for phase in 'input idle' window visible; do
    grep -qE "^  $phase +[0-9]+\.[0-9]{4} s  \(2 of 2\)$" out.txt || fail "no median of $phase: $(cat out.txt)"
done
python3 - phases.json "$record" "${lines[1]}" "${lines[2]}" <<'EOF' || fail "phases.json: $(cat phases.json)"
import json, sys
with open(sys.argv[1]) as file:
    doc = json.load(file)
# The raw counts behind the marks, on the counter the sample's own record
# uses: each launch's process started between its start count and its window.
assert doc["counter_frequency"] == 10000000, doc["counter_frequency"]
with open(sys.argv[2]) as file:
    started = [int(line.split()[2]) for line in file if line.split()[1] == "start"]
assert len(started) == 3, started
for launch, start in zip(doc["launches"], started):
    counts = launch["counts"]
    assert list(counts) == ["start", "input_idle", "window", "visible"], counts
    assert counts["start"] < start < counts["window"], (counts, start)
    for name, seconds in launch["marks"].items():
        assert abs((counts[name] - counts["start"]) / 1e7 - seconds) <= 0.00005, (name, launch)
sys.argv[2:3] = []
assert doc["window"] == "Kairon Sample", doc["window"]
assert list(doc)[-2:] == ["build", "machine"], list(doc)
assert doc["build"] == "nightly-1236" and doc["machine"], (doc["build"], doc["machine"])
launches = doc["launches"]
assert [(l["launch"], l["warmup"]) for l in launches] == [(1, True), (1, False), (2, False)], launches
for launch, logged in zip(launches[1:], sys.argv[2:]):
    assert launch["seconds"] == float(logged), (launch, logged)
for launch in launches:
    marks = launch["marks"]
    assert launch["reached"] and "failure" not in launch, launch
    assert list(marks) == ["input_idle", "window", "visible"], marks
    assert marks["input_idle"] <= marks["window"] <= marks["visible"], marks
    assert 0.2 <= marks["window"], marks
    assert abs(marks["visible"] - launch["seconds"]) < 0.0002, launch
EOF

# Ctrl-C once the first launch is timed, while its window waits to be
# closed: the window refuses WM_CLOSE, so after the close wait the
# application is ended; the log keeps its whole lines, and the status is 130.
record="$E2E_DIR/stopped-record.txt"
STATUS=0
wine "$KAIRON_TIME" --window 'Kairon Sample' --runs 3 --delay 2000 --log stopped.txt \
    --args "--on-close refuse $(sample_args 0 "$record" 60000)" "$app" \
    </dev/null >out.txt 2>err.txt &
time_pid=$!
for _ in $(seq 300); do
    grep -q '^launch 1/3: ' err.txt && break
    sleep 0.1
done
grep -q '^launch 1/3: ' err.txt || fail "the first launch was never timed: $(cat err.txt)"
started=$(date +%s)
kill -INT "$time_pid"
wait "$time_pid" || STATUS=$?
took=$(( $(date +%s) - started ))
time_output out.txt err.txt
expect_same "Ctrl-C: status (stderr: $(cat err.txt))" 130 "$STATUS"
[ $took -le 20 ] || fail "Ctrl-C took $took s to end the run"
mapfile -t lines < <(log_lines stopped.txt)
[ "${#lines[@]}" = 2 ] || fail "expected the header and one timing line: ${lines[*]}"
expect_timing_line "${lines[1]}" 0.0 5
expect_same "Ctrl-C: the application asked to close, once" 1 "$(grep -c ' WM_CLOSE$' "$record")"
[ "$(grep -c ' start ' "$record")" = 1 ] || fail "a second launch followed Ctrl-C"
grep -q ' destroyed$' "$record" && fail "the window that refused to close was destroyed"
# Its process, found by the record file its command line names, is gone.
running() { ps -eo stat=,args= | grep -F sample_app.exe | grep -F "$(kairon_winpath "$record")" | grep -v '^Z'; }
if running >/dev/null; then
    fail "the application is still running after Ctrl-C: $(running)"
fi
grep -qx 'kairon-time: interrupted; the application it launched is closed' err.txt ||
    fail "no word of the interruption: $(cat err.txt)"

# A program that dies at start-up is not waited for: its search ends at
# once, with its exit code in the log and on the progress line.
started=$(date +%s)
run_time --window 'Kairon Sample' --runs 1 --delay 100 --log died.txt --args "--exit-code 3" "$app"
took=$(( $(date +%s) - started ))
expect_same "died: status (stderr: $(cat err.txt))" 3 "$STATUS"
[ $took -le 15 ] || fail "a program that died was waited for $took s"
mapfile -t lines < <(log_lines died.txt)
expect_same "died: log" "$(printf '%s\n' "$app - 1 executions" 'Application exited with code 3 before it was ready')" \
    "$(printf '%s\n' "${lines[@]:0:2}")"
expect_timing_line "${lines[2]}" 0.0 5
expect_same "died: progress" "launch 1/1: Application exited with code 3 before it was ready" "$(cat err.txt)"

# A file that is no program: the system's own words, insert and all.
printf 'notes\r\n' >notes.txt
run_time --window 'Kairon Sample' --runs 1 --log notes-log.txt "$(kairon_winpath "$E2E_DIR/notes.txt")"
expect_same "not a program: status" 1 "$STATUS"
if grep -q 'Unknown error' err.txt; then
    fail "not a program: no system text: $(cat err.txt)"
fi

# Windows that refuse to close are ended, each before the next launch, so
# that no launch meets the one before it and nothing is left running: the
# helper each one starts neither.
# helper_line RECORD: a sample that shows no window and records its start
# in RECORD, for a program to start as its helper (--start).
helper_line() { echo "$app --show never --record $(kairon_winpath "$1") --exit-after 60000"; }
record="$E2E_DIR/refuse-record.txt"
helpers="$E2E_DIR/helper-record.txt"
helper=$(helper_line "$helpers")
run_time --window 'Kairon Sample' --exact --runs 2 --delay 100 --log refused.txt --json refused.json \
    --args "--on-close refuse --start \"$helper\" $(sample_args 200 "$record" 60000)" "\"$app\""
expect_same "refused: status (stderr: $(cat err.txt))" 0 "$STATUS"
mapfile -t lines < <(log_lines refused.txt)
expect_same "refused: log" "$(printf '%s\n' "$app - 2 executions" "${lines[1]}" 'Failed to close Kairon Sample' "${lines[3]}" 'Failed to close Kairon Sample')" \
    "$(printf '%s\n' "${lines[@]}")"
expect_timing_line "${lines[1]}" 0.2 5
expect_timing_line "${lines[3]}" 0.2 5
expect_same "refused: progress" "$(printf '%s\n' "launch 1/2: ${lines[1]} s" 'launch 1/2: ended' \
    "launch 2/2: ${lines[3]} s" 'launch 2/2: ended' 'kairon-time: 2 of 2 launches had to be ended')" \
    "$(cat err.txt)"
python3 -c 'import json, sys; d = json.load(open(sys.argv[1])); c = [(l["close"], l["ended_processes"]) for l in d["launches"]]; assert c == [("ended", 1), ("ended", 1)], c' \
    refused.json || fail "refused.json: $(cat refused.json)"
expect_same "refused: the sample's events" "$(printf '%s\n' 'start visible WM_CLOSE' 'start visible WM_CLOSE')" \
    "$(events_by_process "$record")"
running() { ps -eo stat=,args= | grep -F sample_app.exe | grep -F "$(kairon_winpath "$1")" | grep -v '^Z'; }
if running "$record" >/dev/null; then
    fail "a program that refused to close is still running: $(running "$record")"
fi
[ "$(grep -c ' start ' "$helpers")" = 2 ] || fail "no helper per launch: $(cat "$helpers")"
if running "$helpers" >/dev/null; then
    fail "a helper of a program that refused to close is still running: $(running "$helpers")"
fi

# A window that closes as asked while the helper its program started stays:
# the helper is given its grace, then ended with the launch's job; the
# launch counts as closed, and nothing of it is left running.
record="$E2E_DIR/outlived-record.txt"
helpers="$E2E_DIR/outliving-helper-record.txt"
helper=$(helper_line "$helpers")
run_time --window 'Kairon Sample' --exact --runs 1 --delay 100 --log outlived.txt --json outlived.json \
    --args "--start \"$helper\" $(sample_args 200 "$record" 60000)" "\"$app\""
expect_same "outlived: status (stderr: $(cat err.txt))" 0 "$STATUS"
python3 -c 'import json, sys; l = json.load(open(sys.argv[1]))["launches"][0]; assert (l["close"], l["ended_processes"]) == ("closed", 1), l' \
    outlived.json || fail "outlived.json: $(cat outlived.json)"
expect_same "outlived: the sample's events" "start visible WM_CLOSE destroyed" "$(events_by_process "$record")"
[ "$(grep -c ' start ' "$helpers")" = 1 ] || fail "no helper was started: $(cat "$helpers")"
if running "$helpers" >/dev/null || running "$record" >/dev/null; then
    fail "a launch that closed left something running: $(running "$helpers") $(running "$record")"
fi

# A launcher that exits with 0 at once, while a program it did not start
# opens the window: timed, neither closed nor ended, and said so. A
# launcher that exits with 3 after starting its real program: the program
# is ended with the launch.
foreign="$E2E_DIR/foreign-record.txt"
start_sample --title "Kairon Sample" --delay 3000 --record "$(kairon_winpath "$foreign")" --exit-after 30000
real="$E2E_DIR/real-record.txt"
launcher="--start \"$app --title Launched --record $(kairon_winpath "$real") --exit-after 60000\" --exit-code"
run_time --window 'Kairon Sample' --exact --runs 1 --delay 100 --log foreign.txt --json foreign.json \
    --args "--exit-code 0" "$app"
# The same program file, started before the launch: a hand-off too (3).
expect_same "foreign: status (stderr: $(cat err.txt))" 3 "$STATUS"
expect_same "foreign: progress" "launch 1/1: left running: the launch did not start its window's program" \
    "$(sed -n 2p err.txt)"
python3 -c 'import json, sys; l = json.load(open(sys.argv[1]))["launches"][0]; assert (l["close"], l["window_owner"]["in_job"]) == ("left", False), l' \
    foreign.json || fail "foreign.json: $(cat foreign.json)"
running "$foreign" >/dev/null || fail "a program the launch did not start was ended"
wine "$KAIRON_TIME" --window Launched --exact --runs 1 --delay 100 --log launcher.txt \
    --args "$launcher 3" "$app" </dev/null >/dev/null 2>&1 || true
wait_for_line "$real" 10 ' start '
if running "$real" >/dev/null; then
    fail "a launcher's program is still running after its non-zero exit: $(running "$real")"
fi

# Ctrl-C while a program that is stuck at start-up is waited for to be
# idle for input: the wait ends within a second, and so does the program.
# interrupt_at RECORD LINE ARGS...: runs kairon-time with ARGS, sends Ctrl-C
# a second after RECORD has a line matching LINE; sets STATUS, and took_ms
# to how long the stop took.
interrupt_at() {
    local record_file=$1 line=$2 started time_pid
    shift 2
    STATUS=0
    wine "$KAIRON_TIME" "$@" </dev/null >out.txt 2>err.txt &
    time_pid=$!
    wait_for_line "$record_file" 20 "$line"
    sleep 1
    started=$(date +%s%N)
    kill -INT "$time_pid"
    wait "$time_pid" || STATUS=$?
    took_ms=$(( ($(date +%s%N) - started) / 1000000 ))
    time_output out.txt err.txt
}
record="$E2E_DIR/stuck-record.txt"
interrupt_at "$record" ' start ' --input-idle --runs 1 --delay 100 --log stuck.txt \
    --args "$(sample_args 40000 "$record" 60000)" "$app"
expect_same "stuck: status (stderr: $(cat err.txt))" 130 "$STATUS"
[ $took_ms -le 3000 ] || fail "Ctrl-C took $took_ms ms to end the input idle wait"
if running "$record" >/dev/null; then
    fail "the program stuck at start-up is still running after Ctrl-C: $(running "$record")"
fi

# Ctrl-C while a window that hung at its close message is sent it: the
# stop is not held for the message's 5 s, but ends within about a second,
# and so does the program.
record="$E2E_DIR/hung-record.txt"
interrupt_at "$record" ' WM_CLOSE$' --window 'Kairon Sample' --runs 2 --delay 500 --log hung.txt \
    --args "--on-close hang $(sample_args 0 "$record" 60000)" "$app"
expect_same "hung: status (stderr: $(cat err.txt))" 130 "$STATUS"
[ $took_ms -le 1500 ] || fail "Ctrl-C took $took_ms ms while a hung window was sent its close message"
if running "$record" >/dev/null; then
    fail "the hung program is still running after Ctrl-C: $(running "$record")"
fi

# The 64-bit kairon-time, the zip's (PE32+: machine 8664, optional header
# 20b), times System32's notepad.exe, the 64-bit one, and closes it. The
# 32-bit build beside it, where 32-bit Wine starts too, is shown SysWOW64
# there instead, and says so before it times the 32-bit copy.
if [ "$KAIRON_WINE_BITS" = 64 ]; then
    half() { od -An -tx2 -j "$1" -N 2 "$KAIRON_TIME" | tr -d ' '; }
    pe=$(od -An -tu4 -j 60 -N 4 "$KAIRON_TIME" | tr -d ' ')
    expect_same "kairon-time's machine and optional header" "8664 020b" "$(half $((pe + 4))) $(half $((pe + 24)))"
    notepad='C:\Windows\System32\notepad.exe'
    run_time --window Notepad --runs 2 --delay 200 --log notepad.txt "$notepad"
    expect_same "64-bit notepad: status (stderr: $(cat err.txt))" 0 "$STATUS"
    expect_same "64-bit notepad: log lines" 3 "$(log_lines notepad.txt | wc -l)"
    time32="$KAIRON_BUILD_DIR/../windows/console/kairon-time.exe"
    if [ -f "$time32" ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        KAIRON_TIME="$time32" run_time --window Notepad --runs 1 --delay 200 --log notepad32.txt "$notepad"
        expect_same "32-bit notepad: status (stderr: $(cat err.txt))" 0 "$STATUS"
        grep -qiF "kairon-time: warning: $notepad is under C:\\windows\\system32, which this 32-bit kairon-time is shown as C:\\windows\\syswow64: the 32-bit copy is timed" err.txt ||
            fail "no word of the 32-bit copy: $(cat err.txt)"
    fi
    sleep 1
    if ps -eo stat=,args= | grep -i 'notepad\.exe' | grep -v -e grep -e '^Z'; then
        fail "notepad is still running"
    fi
fi
