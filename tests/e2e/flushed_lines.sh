#!/usr/bin/env bash
# Each timing line reaches the disk when it is written, not when the run
# ends: a program reading results.txt while Kairon still counts down finds
# the header and every timing line so far, byte for byte, and they stay
# intact when Kairon is then ended from outside, as Task Manager ends it.
# Wine's C runtime writes a text stream's line through at its newline, so
# under Wine a missing fflush cannot show here (it does on Windows); the
# engine's unit tests hold every flush.
. "$(dirname "$0")/lib.sh"
e2e_begin
save_config --window "Kairon Sample" --exact --runs 2 --delay 1000 --log results.txt \
    --args "$(sample_args 0 "$E2E_DIR/record.txt" 30000)" "$app"
start_kairon

# Read in the last second before the second launch and in the run's final
# countdown; the status read just after shows the countdown was still on.
actual=$(drive <<'EOF'
find 20000
wait-status 30000 Iteration: 2 - 1 seconds until application is launched
read-file results.txt
status
wait-status 30000 Iteration: 2 - 1 seconds until next iteration
read-file results.txt
status
terminate
EOF
)
wait_kairon_exit 10

mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" -eq 3 ] || fail "the log has ${#lines[@]} lines, not 3"
expect_same "header" "$app - 2 executions" "${lines[0]}"
expect_timing_line "${lines[1]}" 0 10
expect_timing_line "${lines[2]}" 0 10
cmp <(printf '%s\r\n' "${lines[@]}") results.txt ||
    fail "the log is not the header and two timing lines with CR LF"

header=${lines[0]//\\/\\\\}
expected=$(cat <<EOF
dialog: Veltrane Kairon
file: $header\\r\\n${lines[1]}\\r\\n
status: Iteration: 2 - 1 seconds until application is launched
file: $header\\r\\n${lines[1]}\\r\\n${lines[2]}\\r\\n
status: Iteration: 2 - 1 seconds until next iteration
EOF
)
expect_same "the log read during the run" "$expected" \
    "$(grep -v ' (run: [01])$' <<<"$actual")"
