#!/usr/bin/env bash
# Without config.txt the dialog shows its defaults and nothing starts; each
# of the eight validation warnings is reached through the dialog, in order,
# and leaves Run App enabled; nothing is launched or logged. Exact Match
# follows Window Name without losing its check mark.
. "$(dirname "$0")/lib.sh"
e2e_begin
record=$(kairon_winpath "$E2E_DIR/record.txt")
log=$(kairon_winpath "$E2E_DIR/results.txt")

start_kairon
actual=$(drive <<EOF
find 20000
get IDC_APP_PATH
get IDC_CMD_LINE
get IDC_LOG_PATH
get IDC_WINDOW_NAME
get IDC_EXECUTIONS
get IDC_DELAY
status
checked IDC_INPUT_IDLE
checked IDC_DETECT_WINDOW_NAME
checked IDC_VISIBLE
checked IDC_CLOSE_WM_CLOSE
checked IDC_CLOSE_SYSCOMMAND
checked IDC_CLOSE_ALT_F4
checked IDC_EXACT_MATCH
checked IDC_DEBUG
checked IDC_NEW_WINDOWS_ONLY
enabled IDC_EXACT_MATCH
enabled IDC_RUN
# 1: no application
press IDC_RUN
box
enabled IDC_RUN
# 2: no log file
set IDC_APP_PATH $app
set IDC_CMD_LINE --record $record
press IDC_RUN
box
enabled IDC_RUN
# 3: no window name, detection off
set IDC_LOG_PATH $log
press IDC_RUN
box
enabled IDC_RUN
# 4: executions 0, then 2147483648 (held as a negative number)
set IDC_WINDOW_NAME Kairon Sample
set IDC_EXECUTIONS 0
press IDC_RUN
box
enabled IDC_RUN
set IDC_EXECUTIONS 2147483648
press IDC_RUN
box
enabled IDC_RUN
# 5: delay 0
set IDC_EXECUTIONS 2
set IDC_DELAY 0
press IDC_RUN
box
enabled IDC_RUN
# 6: two executions, no close method
set IDC_DELAY 100
press IDC_RUN
box
enabled IDC_RUN
# 7: visible without detection
click IDC_CLOSE_WM_CLOSE
click IDC_VISIBLE
press IDC_RUN
box
enabled IDC_RUN
# 8: a close method without detection
click IDC_VISIBLE
checked IDC_VISIBLE
press IDC_RUN
box
enabled IDC_RUN
no-box 500
# Exact Match follows Window Name and keeps its check mark
click IDC_DETECT_WINDOW_NAME
enabled IDC_EXACT_MATCH
click IDC_EXACT_MATCH
click IDC_DETECT_WINDOW_NAME
enabled IDC_EXACT_MATCH
checked IDC_EXACT_MATCH
checked IDC_DETECT_WINDOW_NAME
click IDC_DETECT_WINDOW_NAME
enabled IDC_EXACT_MATCH
EOF
)
expected=$(cat <<'EOF'
dialog: Veltrane Kairon
get IDC_APP_PATH: 
get IDC_CMD_LINE: 
get IDC_LOG_PATH: 
get IDC_WINDOW_NAME: 
get IDC_EXECUTIONS: 1
get IDC_DELAY: 1000
status: 
checked IDC_INPUT_IDLE: 0
checked IDC_DETECT_WINDOW_NAME: 0
checked IDC_VISIBLE: 0
checked IDC_CLOSE_WM_CLOSE: 0
checked IDC_CLOSE_SYSCOMMAND: 0
checked IDC_CLOSE_ALT_F4: 0
checked IDC_EXACT_MATCH: 0
checked IDC_DEBUG: 0
checked IDC_NEW_WINDOWS_ONLY: 0
enabled IDC_EXACT_MATCH: 1
enabled IDC_RUN: 1
box: No application selected | Please enter an application to run
enabled IDC_RUN: 1
box: No log file entered | Please enter a log file to save results to
enabled IDC_RUN: 1
box: No window name | Please enter the main window name so application can be closed automatically.
enabled IDC_RUN: 1
box: Invalid execution number | Please enter a valid number of executions to perform
enabled IDC_RUN: 1
box: Invalid execution number | Please enter a valid number of executions to perform
enabled IDC_RUN: 1
box: Invalid delay | Please enter a delay time above 0
enabled IDC_RUN: 1
box: Select close method | Please select at least one close method
enabled IDC_RUN: 1
box: Enter window name | Please select the Window name detection method and enter a window name\nor window cannot be checked if it is visible
enabled IDC_RUN: 1
checked IDC_VISIBLE: 0
box: No window name | Please select the Window name detection method and enter a window name\nor application can not be closed.
enabled IDC_RUN: 1
enabled IDC_EXACT_MATCH: 1
enabled IDC_EXACT_MATCH: 0
checked IDC_EXACT_MATCH: 1
checked IDC_DETECT_WINDOW_NAME: 0
enabled IDC_EXACT_MATCH: 1
EOF
)
expect_same "the dialog's answers" "$expected" "$actual"

# Validation never let a run start.
sleep 1
[ ! -e "$E2E_DIR/results.txt" ] || fail "a log was written"
[ ! -e "$E2E_DIR/record.txt" ] || fail "the application was launched"
kill -0 "$E2E_KAIRON_PID" || fail "Kairon.exe ended"
