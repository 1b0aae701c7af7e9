#!/usr/bin/env bash
# A run started by clicking Run App: Run App is disabled while it runs, the
# status line counts the three delays down in whole seconds (2200 ms shows
# 2, then 1, then 200 ms pass silently) around "Launching Application", and
# the run ends with "Finished executions" in the status line and in a box,
# Run App enabled again and the program still open.
. "$(dirname "$0")/lib.sh"
e2e_begin
record="$E2E_DIR/record.txt"
save_config --attended --window "Kairon Sample" --exact --runs 1 --delay 2200 --log results.txt \
    --args "$(sample_args 300 "$record" 30000)" "$app"
start_kairon

actual=$(drive <<'EOF'
find 20000
no-box 1500
status
press IDC_RUN
wait-enabled IDC_RUN 0
wait-status 30000 Finished executions
box 5000
enabled IDC_RUN
status
EOF
)
# The status may still be empty when the driver first looks.
actual=$(printf '%s\n' "$actual" | grep -v '^status:  (run: [01])$')
expected=$(cat <<'EOF'
dialog: Veltrane Kairon
status: 
status: Iteration: 1 - 2 seconds until application is launched (run: 0)
status: Iteration: 1 - 1 seconds until application is launched (run: 0)
status: Iteration: 1 - Launching Application (run: 0)
status: Iteration: 1 - 2 seconds until application is closed (run: 0)
status: Iteration: 1 - 1 seconds until application is closed (run: 0)
status: Iteration: 1 - 2 seconds until next iteration (run: 0)
status: Iteration: 1 - 1 seconds until next iteration (run: 0)
status: Finished executions (run: 1)
box: Finished | Finished executions
enabled IDC_RUN: 1
status: Finished executions
EOF
)
expect_same "the dialog's answers" "$expected" "$actual"

mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" -eq 2 ] || fail "the log has ${#lines[@]} lines, not 2"
expect_same "header" "$app - 1 executions" "${lines[0]}"
expect_timing_line "${lines[1]}" 0.3 10
wait_for_line "$record" 10 ' destroyed$'
kill -0 "$E2E_KAIRON_PID" || fail "Kairon.exe ended after a run started from the dialog"
