#!/usr/bin/env bash
# kairon-time around its launches: the setup, prepare, conclude and cleanup
# commands run through cmd.exe in their order, warm-ups included, and their
# output goes to standard error; each launch's JSON has what it used, with
# a real peak working set and every other figure null or positive; a command
# that fails stops the run with status 1 and the cleanup still runs; --cold
# is refused before any launch, since Wine cannot empty its file cache.
. "$(dirname "$0")/lib.sh"
e2e_begin wine-processes
record="$E2E_DIR/record.txt"

run_time --window 'Kairon Sample' --exact --warmup 1 --runs 2 --delay 200 \
    --args "$(sample_args 100 "$record" 30000)" --json launches.json \
    --setup 'echo setup>>order.txt' --prepare 'echo prepare>>order.txt' \
    --conclude 'echo conclude>>order.txt & echo concluded' --cleanup 'echo cleanup>>order.txt' \
    "$app"
expect_same "commands: status (stderr: $(cat err.txt))" 0 "$STATUS"
expect_same "commands: their order" \
    "$(printf '%s\n' setup prepare conclude prepare conclude prepare conclude cleanup)" \
    "$(tr -d '\r ' <order.txt)"
[ "$(grep -c '^concluded$' err.txt)" = 3 ] || fail "a command's output is not on standard error: $(cat err.txt)"
if grep -q '^concluded' out.txt; then
    fail "a command's output is in the report on standard output"
fi
[ "$(grep -c ' start ' "$record")" = 3 ] || fail "the sample application was not launched three times"
grep -q '^Resources of APP, median of the launches that gave each' out.txt ||
    fail "no summary of the resources: $(cat out.txt)"
python3 - launches.json <<'EOF_PY' || fail "launches.json: $(cat launches.json)"
import json, sys
with open(sys.argv[1]) as file:
    launches = json.load(file)["launches"]
assert len(launches) == 3, launches
for launch in launches:
    used = launch["resources"]
    assert used["scope"] in ("tree", "process"), used
    # The sample's working set is megabytes, whatever Wine reports of the rest.
    assert used["peak_working_set_bytes"] > 1000000, used
    assert used["peak_working_set_scope"] == "process", used
    # Wine's job gives no committed peak: none, rather than another measure.
    assert used["peak_memory_bytes"] is None, used
    for key in ("cpu_seconds", "page_faults", "io_read_bytes", "io_write_bytes", "processes"):
        assert used[key] is None or used[key] > 0 or key == "io_write_bytes" and used[key] == 0, (key, used)
    assert "cold" not in launch, launch
EOF_PY

# A prepare command that fails: no launch, status 1, the cleanup all the same.
: >order.txt
: >"$record"
run_time --window 'Kairon Sample' --runs 2 --delay 100 --args "$(sample_args 100 "$record" 30000)" \
    --prepare 'exit 3' --cleanup 'echo cleanup>>order.txt' --log failing.txt "$app"
expect_same "failing prepare: status" 1 "$STATUS"
expect_same "failing prepare: message" \
    'kairon-time: Error - Command failed: the prepare command exited with code 3: exit 3' "$(cat err.txt)"
expect_same "failing prepare: the cleanup ran" cleanup "$(tr -d '\r ' <order.txt)"
[ ! -s "$record" ] || fail "a launch followed a failed prepare command"

# --cold under Wine: the cache cannot be emptied, or not seen to be.
run_time --window 'Kairon Sample' --runs 1 --cold --args "$(sample_args 100 "$record" 30000)" \
    --log cold.txt "$app"
expect_same "--cold: status" 1 "$STATUS"
grep -q '^kairon-time: Error - Cold start: Cannot empty the file cache: ' err.txt ||
    fail "--cold: no word of why: $(cat err.txt)"
[ ! -s "$record" ] || fail "--cold launched the application"

# Ctrl-C while a prepare command waits for a program it started: the
# command's job ends, the program with it; status 130, no launch.
running() { ps -eo stat=,args= | grep -F sample_app.exe | grep -F "$(kairon_winpath "$1")" | grep -v '^Z'; }
waited="$E2E_DIR/waited-record.txt"
STATUS=0
wine "$KAIRON_TIME" --window 'Kairon Sample' --runs 1 --log waited.txt \
    --args "$(sample_args 100 "$record" 30000)" \
    --prepare "start /wait \"\" \"$app\" --show never --record $(kairon_winpath "$waited") --exit-after 60000" \
    "$app" </dev/null >out.txt 2>err.txt &
time_pid=$!
wait_for_line "$waited" 20 ' start '
kill -INT "$time_pid"
wait "$time_pid" || STATUS=$?
time_output out.txt err.txt
expect_same "Ctrl-C in prepare: status (stderr: $(cat err.txt))" 130 "$STATUS"
sleep 1
if running "$waited" >/dev/null; then
    fail "the program a prepare command waited for still runs after Ctrl-C: $(running "$waited")"
fi

# A cleanup that hangs: the first Ctrl-C leaves it to run, the second ends
# it with the program it waits for; the status is 130 and the JSON is
# written, its temporary file gone.
hung="$E2E_DIR/hung-record.txt"
: >"$record"
STATUS=0
wine "$KAIRON_TIME" --window 'Kairon Sample' --runs 1 --delay 100 --log hung.txt --json hung.json \
    --args "$(sample_args 100 "$record" 30000)" \
    --cleanup "start /wait \"\" \"$app\" --show never --record $(kairon_winpath "$hung") --exit-after 60000" \
    "$app" </dev/null >out.txt 2>err.txt &
time_pid=$!
wait_for_line "$hung" 30 ' start '
kill -INT "$time_pid"
sleep 1
kill -0 "$time_pid" 2>/dev/null || fail "the first Ctrl-C cut the cleanup short"
running "$hung" >/dev/null || fail "the first Ctrl-C ended what the cleanup waits for"
kill -INT "$time_pid"
wait "$time_pid" || STATUS=$?
time_output out.txt err.txt
expect_same "hung cleanup: status (stderr: $(cat err.txt))" 130 "$STATUS"
grep -qx 'kairon-time: Error - Command failed: the cleanup command was ended by Ctrl-C: start /wait .*' err.txt ||
    fail "hung cleanup: no word of the cleanup ended: $(cat err.txt)"
python3 -c 'import json, sys; assert len(json.load(open(sys.argv[1]))["launches"]) == 1' hung.json ||
    fail "hung cleanup: no JSON of the launch"
ls hung.json.*.tmp >/dev/null 2>&1 && fail "hung cleanup: the JSON's temporary file is left: $(ls hung.json.*)"
sleep 1
if running "$hung" >/dev/null; then
    fail "the program a cleanup waited for still runs after the second Ctrl-C: $(running "$hung")"
fi
