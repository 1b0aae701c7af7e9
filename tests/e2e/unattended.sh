#!/usr/bin/env bash
# An unattended run from config.txt: Kairon starts the run by itself, times
# two launches of the sample application, closes each window, and ends by
# itself with exit code 0, leaving a header and one timing line per
# execution, CR LF. A second run appends to the same log, and starts a new
# line first when the log's last line has no line end (as a run cut off by
# a full disk leaves it), so the log reads as if it had one. Settings that
# fail validation show that check's warning instead, about a second after
# start-up: nothing is launched or logged, and Kairon stays open until it
# is closed.
. "$(dirname "$0")/lib.sh"
e2e_begin
record="$E2E_DIR/record.txt"

write_config "$app" \
    "$(sample_args 300 "$record" 30000)" \
    invalid.txt "Kairon Sample" 0 100 "0 1 1 0" "1 0 0" 0 0 1
start_kairon
actual=$(drive <<'EOF'
find 20000
box 5000
no-box 1000
status
enabled IDC_RUN
press IDC_CLOSE
wait-gone
EOF
)
expected=$(cat <<'EOF'
dialog: Veltrane Kairon
box: Invalid execution number | Please enter a valid number of executions to perform
status: 
enabled IDC_RUN: 1
EOF
)
expect_same "no executions" "$expected" "$actual"
wait_kairon_exit 10
[ "$KAIRON_EXIT" -eq 0 ] || fail "no executions: exit code $KAIRON_EXIT"
[ ! -e invalid.txt ] || fail "no executions: a log was written"
[ ! -e "$record" ] || fail "no executions: the application was launched"
save_config --window "Kairon Sample" --exact --runs 2 --delay 100 --log results.txt \
    --args "$(sample_args 300 "$record" 30000)" "$app"

# The bytes a run must leave: the header, then each timing line as read
# (which must have four decimals and include the sample's 300 ms).
expected_bytes() {
    local line
    for line in "$@"; do printf '%s\r\n' "$line"; done
}

check_run() {
    local runs=$1
    mapfile -t lines < <(log_lines results.txt)
    [ "${#lines[@]}" -eq $((runs * 3)) ] ||
        fail "after $runs run(s) the log has ${#lines[@]} lines: $(printf '[%s]' "${lines[@]}")"
    local i
    for ((i = 0; i < runs * 3; i += 3)); do
        expect_same "header line $((i + 1))" "$app - 2 executions" "${lines[$i]}"
        expect_timing_line "${lines[$((i + 1))]}" 0.3 10
        expect_timing_line "${lines[$((i + 2))]}" 0.3 10
    done
    cmp <(expected_bytes "${lines[@]}") results.txt ||
        fail "the log's bytes are not the header and timing lines with CR LF"
}

start_kairon
wait_kairon_exit 30
[ "$KAIRON_EXIT" -eq 0 ] || fail "first run: exit code $KAIRON_EXIT"
check_run 1

# Both windows were closed by Kairon, one launch after the other.
wait_for_line "$record" 10 '^[0-9]+ destroyed$'
expect_same "the sample's events" \
    "$(printf '%s\n' start visible WM_CLOSE destroyed start visible WM_CLOSE destroyed)" \
    "$(awk '{ print $2 }' "$record")"

truncate -s -2 results.txt
start_kairon
wait_kairon_exit 30
[ "$KAIRON_EXIT" -eq 0 ] || fail "second run: exit code $KAIRON_EXIT"
check_run 2
