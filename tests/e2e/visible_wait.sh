#!/usr/bin/env bash
# The visibility wait: a window that stays minimised ends it after 50 tests
# of 100 ms with its failure line, and the timing line includes those 5 s;
# a maximised window counts as visible at once. Either window is closed.
. "$(dirname "$0")/lib.sh"
e2e_begin

app=$(kairon_winpath "$SAMPLE_APP")

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
mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" -eq 3 ] || fail "the log has ${#lines[@]} lines, not 3"
expect_same "the give-up line" "Failed to find Kairon Sample as visible" "${lines[1]}"
expect_timing_line "${lines[2]}" 5.0 12

run_showing max "$E2E_DIR/max.txt"
mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" -eq 5 ] || fail "the log has ${#lines[@]} lines, not 5"
expect_same "second header" "$app - 1 executions" "${lines[3]}"
expect_timing_line "${lines[4]}" 0 4.9
