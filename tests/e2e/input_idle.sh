#!/usr/bin/env bash
# Waiting for input idle through the system's WaitForInputIdle, detection
# off. The sample application creates its window 400 ms after it starts
# and only then waits for input: the wait lasts that long and the timing
# line includes it. A console program (here one that runs 2 s) has no
# message queue to wait on: the wait fails at once, and its failure line
# precedes the timing line. A program that dies at start-up (exit code 3)
# ends the wait; that it ended before it was ready, with its code, precedes
# the timing line.
. "$(dirname "$0")/lib.sh"
e2e_begin
console_app=$(kairon_winpath "$GUI_DRIVER")
while read -r program arguments; do
    write_config "$program" "$arguments" \
        results.txt "Kairon Sample" 1 100 "1 0 0 0" "0 0 0" 0 0 1
    start_kairon
    wait_kairon_exit 30
    [ "$KAIRON_EXIT" -eq 0 ] || fail "$program: exit code $KAIRON_EXIT"
done <<EOF
$app $(sample_args 400 "$E2E_DIR/record.txt" 5000)
$console_app sleep 2000
$app --exit-code 3 --record $(kairon_winpath "$E2E_DIR/exits.txt")
EOF

mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" -eq 8 ] || fail "the log has ${#lines[@]} lines, not 8: $(printf '[%s]' "${lines[@]}")"
expect_same "sample: header" "$app - 1 executions" "${lines[0]}"
expect_timing_line "${lines[1]}" 0.4 10
expect_same "console: header" "$console_app - 1 executions" "${lines[2]}"
expect_same "console: the failed wait" "WaitForInputIdle call failed" "${lines[3]}"
expect_timing_line "${lines[4]}" 0 1.9
expect_same "exits: header" "$app - 1 executions" "${lines[5]}"
expect_same "exits: the early end" "Application exited with code 3 before it was ready" "${lines[6]}"
expect_timing_line "${lines[7]}" 0 3
expect_same "exits: the sample's events" start "$(events_by_process "$E2E_DIR/exits.txt")"
