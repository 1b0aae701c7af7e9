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
grep -qF "Resources of $app, median of the launches that gave each" out.txt ||
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

# Ctrl-C while the prepare command waits for a program it started ends the
# command's job, that program with it; the cleanup then runs, and hangs
# until a second Ctrl-C ends it the same way. Status 130, the JSON written.
running() { ps -eo stat=,args= | grep -F sample_app.exe | grep -F "$(kairon_winpath "$1")" | grep -v -e '^Z' -e kairon-time; }
waits() { printf 'start /wait "" "%s" --show never --record %s --exit-after 60000' "$app" "$(kairon_winpath "$1")"; }
STATUS=0
wine "$KAIRON_TIME" --window 'Kairon Sample' --runs 1 --log waited.txt --json hung.json \
    --args "$(sample_args 100 "$record" 30000)" --prepare "$(waits "$E2E_DIR/prepared.txt")" \
    --cleanup "$(waits "$E2E_DIR/cleanup.txt")" "$app" </dev/null >out.txt 2>err.txt &
time_pid=$!
wait_for_line prepared.txt 20 ' start '
kill -INT "$time_pid"
wait_for_line cleanup.txt 20 ' start '
sleep 1
! running "$E2E_DIR/prepared.txt" || fail "the program prepare waited for runs after Ctrl-C"
kill -INT "$time_pid"
wait "$time_pid" || STATUS=$?
time_output out.txt err.txt
expect_same "Ctrl-C in commands: status (stderr: $(cat err.txt))" 130 "$STATUS"
grep -qx 'kairon-time: Error - Command failed: the cleanup command was ended by Ctrl-C: start /wait .*' err.txt ||
    fail "no word of the cleanup ended: $(cat err.txt)"
python3 -c 'import json, sys; assert json.load(open(sys.argv[1]))["launches"] == []' hung.json ||
    fail "no JSON: $(ls)"
! ls hung.json.*.tmp 2>/dev/null || fail "the JSON's temporary file is left"
sleep 1
! running "$E2E_DIR/cleanup.txt" || fail "the program cleanup waited for runs after a second Ctrl-C"
