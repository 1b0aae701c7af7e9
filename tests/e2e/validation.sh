#!/usr/bin/env bash
# Without config.txt the dialog shows its defaults and nothing starts; each
# of the eight validation warnings is reached through the dialog, in order,
# and leaves Run App enabled; nothing is launched or logged. Exact Match
# follows Window Name without losing its check mark.
. "$(dirname "$0")/lib.sh"
e2e_begin

app=$(winpath "$SAMPLE_APP")
record=$(winpath "$E2E_DIR/record.txt")
log=$(winpath "$E2E_DIR/results.txt")

start_kairon
actual=$(drive <<EOF
find 20000
get 1004
get 1008
get 1005
get 1007
get 1006
get 1011
status
checked 1014
checked 1017
checked 1018
checked 1019
checked 1020
checked 1021
checked 1023
checked 1015
checked 1016
enabled 1023
enabled 1010
# 1: no application
press 1010
box
enabled 1010
# 2: no log file
set 1004 $app
set 1008 --record $record
press 1010
box
enabled 1010
# 3: no window name, detection off
set 1005 $log
press 1010
box
enabled 1010
# 4: executions 0, then 2147483648 (held as a negative number)
set 1007 Kairon Sample
set 1006 0
press 1010
box
enabled 1010
set 1006 2147483648
press 1010
box
enabled 1010
# 5: delay 0
set 1006 2
set 1011 0
press 1010
box
enabled 1010
# 6: two executions, no close method
set 1011 100
press 1010
box
enabled 1010
# 7: visible without detection
click 1019
click 1018
press 1010
box
enabled 1010
# 8: a close method without detection
click 1018
checked 1018
press 1010
box
enabled 1010
no-box 500
# Exact Match follows Window Name and keeps its check mark
click 1017
enabled 1023
click 1023
click 1017
enabled 1023
checked 1023
checked 1017
click 1017
enabled 1023
EOF
)
expected=$(cat <<'EOF'
dialog: Veltrane Kairon
get 1004: 
get 1008: 
get 1005: 
get 1007: 
get 1006: 1
get 1011: 1000
status: 
checked 1014: 0
checked 1017: 0
checked 1018: 0
checked 1019: 0
checked 1020: 0
checked 1021: 0
checked 1023: 0
checked 1015: 0
checked 1016: 0
enabled 1023: 1
enabled 1010: 1
box: No application selected | Please enter an application to run
enabled 1010: 1
box: No log file entered | Please enter a log file to save results to
enabled 1010: 1
box: No window name | Please enter the main window name so application can be closed automatically.
enabled 1010: 1
box: Invalid execution number | Please enter a valid number of executions to perform
enabled 1010: 1
box: Invalid execution number | Please enter a valid number of executions to perform
enabled 1010: 1
box: Invalid delay | Please enter a delay time above 0
enabled 1010: 1
box: Select close method | Please select at least one close method
enabled 1010: 1
box: Enter window name | Please select the Window name detection method and enter a window name\nor window cannot be checked if it is visible
enabled 1010: 1
checked 1018: 0
box: No window name | Please select the Window name detection method and enter a window name\nor application can not be closed.
enabled 1010: 1
enabled 1023: 1
enabled 1023: 0
checked 1023: 1
checked 1017: 0
enabled 1023: 1
EOF
)
expect_same "the dialog's answers" "$expected" "$actual"

# Validation never let a run start.
sleep 1
[ ! -e "$E2E_DIR/results.txt" ] || fail "a log was written"
[ ! -e "$E2E_DIR/record.txt" ] || fail "the application was launched"
kill -0 "$E2E_KAIRON_PID" || fail "Kairon.exe ended"
