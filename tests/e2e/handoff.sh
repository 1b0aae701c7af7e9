#!/usr/bin/env bash
# kairon-time and a single-instance program: with an instance of the sample
# application already running in single-instance mode, each launch hands
# its command line to that instance and exits, and the instance opens the
# window. Each launch is then a hand-off, not a start-up: its failure line
# comes before its time in the log and in the progress, the JSON says
# "handed_off" and names the older instance as the window's owner, outside
# the launch's job, and the status is 3. The launches did not start that
# instance, so its windows are neither closed nor ended: "left". Alone,
# the same program is an ordinary launch whose window the launched process
# owns.
. "$(dirname "$0")/lib.sh"
e2e_begin wine-processes
record="$E2E_DIR/record.txt"
start_sample --single-instance kairon-e2e-handoff --record "$(kairon_winpath "$record")" \
    --exit-after 45000
wait_for_line "$record" 20 ' visible '
first_pid=$(awk '$2 == "start" { print $1; exit }' "$record")

run_time --window 'Kairon Sample' --exact --runs 2 --delay 300 --json handoff.json \
    --log handoff.txt \
    --args "--single-instance kairon-e2e-handoff --record $(kairon_winpath "$record") --exit-after 30000" \
    "$app"
expect_same "hand-off: status (stderr: $(cat err.txt))" 3 "$STATUS"
handed_off='Window Kairon Sample belongs to a program started before this launch'
mapfile -t lines < <(log_lines handoff.txt)
[ "${#lines[@]}" = 5 ] || fail "expected a header and two launches of two lines: ${lines[*]}"
expect_same "hand-off: log" "$(printf '%s\n' "$app - 2 executions" "$handed_off")" \
    "$(printf '%s\n' "${lines[@]:0:2}")"
expect_timing_line "${lines[2]}" 0.0 10
expect_same "hand-off: second launch's failure line" "$handed_off" "${lines[3]}"
expect_timing_line "${lines[4]}" 0.0 10
expect_same "hand-off: progress" \
    "$(printf 'launch %s/2: %s\nlaunch %s/2: left running: the launch did not start its window'"'"'s program\n' \
        1 "$handed_off" 1 2 "$handed_off" 2)" "$(cat err.txt)"
grep -qx '  Failures:               handed off 2' out.txt ||
    fail "the summary does not count the hand-offs: $(cat out.txt)"
# The first instance opened a window for each launch, which stayed, as its
# own did. Each launch's process handed off and opened nothing.
expect_same "hand-off: the processes' events" \
    "$(printf '%s\n' 'start visible visible visible' \
        'start handed off' 'start handed off')" \
    "$(events_by_process "$record")"
python3 - handoff.json "$first_pid" "$handed_off" <<'PYTHON' || fail "handoff.json: $(cat handoff.json)"
import json, sys
with open(sys.argv[1]) as file:
    doc = json.load(file)
launches = doc["launches"]
assert len(launches) == 2, launches
for launch in launches:
    assert launch["handed_off"] is True, launch
    assert launch["reached"] is False, launch
    assert launch["failure"] == sys.argv[3], launch
    assert "window" not in launch["marks"], launch
    owner = launch["window_owner"]
    assert owner["pid"] == int(sys.argv[2]), owner
    assert owner["launched"] is False and owner["in_job"] is False, owner
    assert launch["close"] == "left", launch
    assert owner["program"].lower().endswith("\\sample_app.exe"), owner
PYTHON

# Alone, under a name no instance holds: the launched process opens the
# window and owns it.
alone="$E2E_DIR/alone-record.txt"
run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --json alone.json --log alone.txt \
    --args "--single-instance kairon-e2e-alone --record $(kairon_winpath "$alone") --exit-after 30000" \
    "$app"
expect_same "alone: status (stderr: $(cat err.txt))" 0 "$STATUS"
mapfile -t lines < <(log_lines alone.txt)
[ "${#lines[@]}" = 2 ] || fail "expected a header and a timing line: ${lines[*]}"
expect_timing_line "${lines[1]}" 0.0 10
expect_same "alone: events" "start visible WM_CLOSE destroyed" "$(events_by_process "$alone")"
alone_pid=$(awk '$2 == "start" { print $1; exit }' "$alone")
python3 - alone.json "$alone_pid" <<'PYTHON' || fail "alone.json: $(cat alone.json)"
import json, sys
with open(sys.argv[1]) as file:
    launch = json.load(file)["launches"][0]
assert launch["reached"] is True and "handed_off" not in launch, launch
owner = launch["window_owner"]
assert owner["pid"] == int(sys.argv[2]) and owner["launched"] is True, owner
assert owner["in_job"] is True and launch["close"] == "closed", launch
assert owner["program"].lower().endswith("\\sample_app.exe"), owner
PYTHON
