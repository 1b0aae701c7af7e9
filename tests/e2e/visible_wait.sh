#!/usr/bin/env bash
# The visibility wait: a window that stays minimised ends it after 50 tests
# of 100 ms with its failure line, and the timing line includes those 5 s;
# a maximised window counts as visible at once. Either window is closed.
# Visible means shown: a window created hidden is timed to its show, by
# Kairon.exe and by kairon-time, and one never shown fails in both.
. "$(dirname "$0")/lib.sh"
e2e_begin wine-processes

# The results log's lines into `lines`, which must number $1 by now.
read_log() {
    mapfile -t lines < <(log_lines results.txt)
    [ "${#lines[@]}" -eq "$1" ] || fail "the log has ${#lines[@]} lines, not $1"
}
# run_showing STATE RECORD
run_showing() {
    save_config --window "Kairon Sample" --exact --visible --runs 1 --delay 100 --log results.txt \
        --args "--title \"Kairon Sample\" --show $1 --record $(kairon_winpath "$2") --exit-after 30000" "$app"
    start_kairon
    wait_kairon_exit 40
    [ "$KAIRON_EXIT" -eq 0 ] || fail "--show $1: exit code $KAIRON_EXIT"
    wait_for_line "$2" 10 ' destroyed$'
}

run_showing min "$E2E_DIR/min.txt"
grep -q ' visible [0-9]* min$' "$E2E_DIR/min.txt" || fail "the sample was not minimised"
read_log 3
expect_same "the give-up line" "Failed to find Kairon Sample as visible" "${lines[1]}"
expect_timing_line "${lines[2]}" 5.0 12

run_showing max "$E2E_DIR/max.txt"
read_log 5
expect_same "second header" "$app - 1 executions" "${lines[3]}"
expect_timing_line "${lines[4]}" 0 4.9

# A window created hidden and shown 1.5 s later is timed to its show, not
# to its creation: Kairon.exe within its 100 ms polling.
run_showing "normal --show-after 1500" "$E2E_DIR/late.txt"
read_log 7
expect_timing_line "${lines[6]}" 1.5 3
# One never shown ends the wait with the failure line.
run_showing hidden "$E2E_DIR/hidden.txt"
read_log 10
expect_same "never shown: the give-up line" "Failed to find Kairon Sample as visible" "${lines[8]}"
expect_timing_line "${lines[9]}" 5.0 12

# kairon-time: the same two windows. The late one's visible mark lies at
# its show, by the sample's own reading, within kairon-time's polling.
late="$E2E_DIR/late-time.txt"
run_time --window 'Kairon Sample' --exact --visible --runs 1 --delay 100 --json late.json \
    --args "--title \"Kairon Sample\" --show-after 1500 --record $(kairon_winpath "$late") --exit-after 30000" \
    "$app"
expect_same "kairon-time, shown late: status (stderr: $(cat err.txt))" 0 "$STATUS"
# Visible inside ShowWindow, which under Wine takes tens of ms to return.
python3 -c 'import json, sys; d = json.load(open(sys.argv[1])); l, f = d["launches"][0], d["counter_frequency"]
shown, visible = int(sys.argv[2]), l["counts"]["visible"]
assert shown - 0.25 * f <= visible <= shown + 0.1 * f and l["marks"]["visible"] - l["marks"]["window"] >= 1.45, l' \
    late.json "$(awk '$2 == "visible" { print $3 }' "$late")" || fail "late.json: $(cat late.json)"
run_time --window 'Kairon Sample' --exact --visible --runs 1 --delay 100 \
    --args "--title \"Kairon Sample\" --show hidden --exit-after 30000" "$app"
expect_same "kairon-time, never shown: status" 3 "$STATUS"
expect_same "kairon-time, never shown: progress" \
    "launch 1/1: Failed to find Kairon Sample as visible" "$(cat err.txt)"
