#!/usr/bin/env bash
# kairon-time --settled against the sample application's late drawing: its
# window is shown blank and painted a while later. Timed to its settled
# content, the launch takes at least the drawing's delay, and the mark is
# the first capture of the content, not the end of the quiet time after it;
# timed to the window alone, the same launch is well below that delay. A
# window whose content moves for ever gets "Failed to settle" and status 3
# once 30 s have passed, and is closed like any launch's.
. "$(dirname "$0")/lib.sh"
: "${KAIRON_TIME:?}"
e2e_begin

app=$(kairon_winpath "$SAMPLE_APP")
start_wine_processes

record="$E2E_DIR/record.txt"
draw_ms=1500
quiet_ms=2000
sample="--title \"Kairon Sample\" --record $(kairon_winpath "$record") --exit-after 60000"

# The quiet time outlasts the blank spell, or the blank would count as settled.
run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --settled "$quiet_ms" \
    --json settled.json --log settled.txt --args "$sample --draw-after $draw_ms" "$app"
expect_same "settled: status (stderr: $(cat err.txt))" 0 "$STATUS"
mapfile -t lines < <(log_lines settled.txt)
[ "${#lines[@]}" = 2 ] || fail "expected a header and a timing line: ${lines[*]}"
expect_timing_line "${lines[1]}" 1.5 20
expect_same "settled: progress" "launch 1/1: ${lines[1]} s" "$(cat err.txt)"
grep -q ' drawn ' "$record" || fail "the sample application did not draw: $(cat "$record")"
grep -Eq '^  settled     [0-9]+\.[0-9]{4} s  \(1 of 1\)$' out.txt ||
    fail "no settled phase in the summary: $(cat out.txt)"
python3 - settled.json "$draw_ms" "$quiet_ms" <<'PYTHON' || fail "settled.json: $(cat settled.json)"
import json, sys
with open(sys.argv[1]) as file:
    launch = json.load(file)["launches"][0]
draw, quiet = int(sys.argv[2]) / 1000, int(sys.argv[3]) / 1000
marks = launch["marks"]
assert launch["reached"] is True, launch
assert abs(marks["settled"] - launch["seconds"]) < 0.0002, launch
# Drawn draw seconds after it was shown, which follows its being found.
assert marks["settled"] >= marks["window"] + draw - 0.05, marks
# The first capture of the content, not the end of the quiet time after it.
assert marks["settled"] < marks["window"] + draw + quiet / 2, marks
PYTHON

# The same launch timed to its window only.
run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --log found.txt \
    --args "$sample --draw-after $draw_ms" "$app"
expect_same "found: status (stderr: $(cat err.txt))" 0 "$STATUS"
mapfile -t lines < <(log_lines found.txt)
[ "${#lines[@]}" = 2 ] || fail "expected a header and a timing line: ${lines[*]}"
expect_timing_line "${lines[1]}" 0.0 1.0

# Content that moves every 50 ms never keeps still for 200 ms.
moving="$E2E_DIR/moving-record.txt"
started=$(date +%s)
run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --settled 200 \
    --json moving.json --log moving.txt \
    --args "--title \"Kairon Sample\" --animate 50 --record $(kairon_winpath "$moving") --exit-after 90000" \
    "$app"
took=$(( $(date +%s) - started ))
expect_same "moving: status (stderr: $(cat err.txt))" 3 "$STATUS"
[ $took -ge 30 ] || fail "ended after $took s, before the wait could give up"
mapfile -t lines < <(log_lines moving.txt)
expect_same "moving: log" "$(printf '%s\n' "$app - 1 executions" 'Failed to settle Kairon Sample')" \
    "$(printf '%s\n' "${lines[@]:0:2}")"
[ "${#lines[@]}" = 3 ] || fail "expected a header, the failure and a timing line: ${lines[*]}"
expect_timing_line "${lines[2]}" 30.0 45
expect_same "moving: progress" "launch 1/1: Failed to settle Kairon Sample" "$(cat err.txt)"
grep -qx '  Failures:               not settled 1' out.txt ||
    fail "the summary does not count the launch that did not settle: $(cat out.txt)"
expect_same "moving: the window is closed" "start visible WM_CLOSE destroyed" \
    "$(events_by_process "$moving")"
python3 - moving.json <<'PYTHON' || fail "moving.json: $(cat moving.json)"
import json, sys
with open(sys.argv[1]) as file:
    launch = json.load(file)["launches"][0]
assert launch["reached"] is False, launch
assert launch["failure"] == "Failed to settle Kairon Sample", launch
assert "settled" not in launch["marks"] and "window" in launch["marks"], launch
PYTHON
