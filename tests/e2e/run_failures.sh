#!/usr/bin/env bash
# The two failures that end a run started from the dialog. A log that
# cannot be opened: its box, nothing launched, Run App enabled again. An
# application that cannot be launched: the system's own text for the error
# in the box, a log holding the header only, Run App enabled again.
. "$(dirname "$0")/lib.sh"
e2e_begin
record="$E2E_DIR/record.txt"
missing_app=$(kairon_winpath "$E2E_DIR/no-such-app.exe")
save_config --attended --window "Kairon Sample" --exact --runs 1 --delay 100 \
    --log "$(kairon_winpath "$E2E_DIR/no-such-folder/results.txt")" \
    --args "--record $(kairon_winpath "$record") --exit-after 20000" "$app"
start_kairon

actual=$(drive <<EOF
find 20000
command IDC_RUN
box
wait-enabled IDC_RUN 1
set IDC_APP_PATH $missing_app
set IDC_LOG_PATH results.txt
command IDC_RUN
box
wait-enabled IDC_RUN 1
status
systext 2
EOF
)
expected_text=$(printf '%s\n' "$actual" | sed -n 's/^systext 2: //p')
[ -n "$expected_text" ] || fail "the system has no text for error 2"
expected=$(cat <<EOF
dialog: Veltrane Kairon
box: Error | Unable to open log file
box: Error - Unable to launch process | $expected_text
status: Iteration: 1 - Launching Application
systext 2: $expected_text
EOF
)
expect_same "the dialog's answers" "$expected" "$actual"

[ ! -e "$record" ] || fail "the application was launched although the log could not be opened"
[ ! -e "$E2E_DIR/no-such-folder" ] || fail "a folder was created for the log"
cmp <(printf '%s\r\n' "$missing_app - 1 executions") results.txt ||
    fail "the log is not the header alone: $(od -c results.txt | head)"
kill -0 "$E2E_KAIRON_PID" || fail "Kairon.exe ended"
