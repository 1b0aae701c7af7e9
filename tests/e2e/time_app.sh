#!/usr/bin/env bash
# scripts/time-app.sh, the command-line way to time an application: bad
# arguments get the usage and change nothing; two launches of the sample
# application give a config.txt of the options asked for, a log of exactly
# two timing lines, and the command's summary.
. "$(dirname "$0")/lib.sh"
e2e_begin
time_app="$(dirname "$0")/../../scripts/time-app.sh"
export KAIRON_TIME_APP_WORK="$E2E_DIR/work"

status=0
out=$(bash "$time_app" "$SAMPLE_APP" --window 'Kairon Sample' --close never 2>&1) || status=$?
expect_same "bad --close: status" 2 "$status"
[[ "$out" == *"usage: scripts/time-app.sh APP.exe --window TITLE"* ]] || fail "no usage: $out"
[ ! -e "$KAIRON_TIME_APP_WORK" ] || fail "bad arguments made the work folder"

out=$(bash "$time_app" "$SAMPLE_APP" --args "$(sample_args 200 "$E2E_DIR/record.txt" 30000)" \
    --window 'Kairon Sample' --exact --runs 2 --delay 300 --close syscommand --new-only \
    --log "$E2E_DIR/logs/results.txt" --display) || fail "time-app failed: $out"

config=$(tr -d '\r' <"$KAIRON_TIME_APP_WORK/config.txt" | tail -n +4)
expect_same "config.txt lines 4 to 11" "$(printf '%s\n' 'Kairon Sample' 2 300 '0 1 1 0' '0 1 0' 0 1 1)" "$config"
mapfile -t lines < <(log_lines "$E2E_DIR/logs/results.txt")
expect_same "log header" "$(winpath "$SAMPLE_APP") - 2 executions" "${lines[0]}"
[ "${#lines[@]}" = 3 ] || fail "expected a header and two timing lines: ${lines[*]}"
expect_timing_line "${lines[1]}" 0.2 5
expect_timing_line "${lines[2]}" 0.2 5
[[ "$out" == *"== 2 timing lines, timed with the "* ]] || fail "no summary line: $out"
