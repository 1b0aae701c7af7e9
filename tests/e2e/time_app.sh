#!/usr/bin/env bash
# scripts/time-app.sh, the command-line way to time an application: bad
# arguments get the usage and change nothing; two launches of the sample
# application give a config.txt of the options asked for, a log of exactly
# two timing lines, and the command's summary. Run from another folder with
# relative paths, in a work folder of the caller's, it keeps what was there
# and appends each run to the default log, showing only that run's lines.
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
    --log logs/results.txt --display) || fail "time-app failed: $out"

config=$(tr -d '\r' <"$KAIRON_TIME_APP_WORK/config.txt" | tail -n +4)
expect_same "config.txt lines 4 to 11" "$(printf '%s\n' 'Kairon Sample' 2 300 '0 1 1 0' '0 1 0' 0 1 1)" "$config"
mapfile -t lines < <(log_lines "$E2E_DIR/logs/results.txt")
expect_same "log header" "$(winpath "$SAMPLE_APP") - 2 executions" "${lines[0]}"
[ "${#lines[@]}" = 3 ] || fail "expected a header and two timing lines: ${lines[*]}"
expect_timing_line "${lines[1]}" 0.2 5
expect_timing_line "${lines[2]}" 0.2 5
[[ "$out" == *"== 2 timing lines, timed with the "* ]] || fail "no summary line: $out"

# A caller elsewhere, whose own work folder holds a file of its own.
mkdir -p "$E2E_DIR/caller/work"
echo 'not time-app'"'"'s' >"$E2E_DIR/caller/work/notes.txt"
cd "$E2E_DIR/caller" || fail "no caller folder"
relative_app=$(realpath --relative-to=. "$SAMPLE_APP")
header="$(winpath "$SAMPLE_APP") - 1 executions"
time_app_here() {
    KAIRON_EXE=$(realpath --relative-to=. "$KAIRON_EXE") KAIRON_TIME_APP_WORK=work \
        bash "$time_app" "$relative_app" --args "$(sample_args 100 "$E2E_DIR/record.txt" 30000)" \
        --window 'Kairon Sample' --runs 1 --delay 100 --display
}
out=$(time_app_here) || fail "time-app from another folder failed: $out"
expect_same "config.txt lines 1 to 3" \
    "$(printf '%s\n' "$(winpath "$SAMPLE_APP")" "$(sample_args 100 "$E2E_DIR/record.txt" 30000)" \
        "$(winpath work/results.txt)")" \
    "$(tr -d '\r' <work/config.txt | head -n 3)"
first=$(log_lines work/results.txt)

out=$(time_app_here) || fail "second time-app failed: $out"
mapfile -t both < <(log_lines work/results.txt)
[ "${#both[@]}" = 4 ] || fail "expected both runs' lines in the default log: ${both[*]}"
expect_same "the default log after two runs" "$(printf '%s\n' "$header" "${both[1]}" "$header" "${both[3]}")" \
    "$(printf '%s\n' "${both[@]}")"
expect_same "the first run's lines, kept" "$first" "$(printf '%s\n' "${both[@]:0:2}")"
expect_timing_line "${both[1]}" 0.1 5
expect_timing_line "${both[3]}" 0.1 5
expect_same "the second run's output, its own lines only" "$(printf '%s\n' "$header" "${both[3]}")" \
    "$(printf '%s\n' "$out" | sed -n '/, this run$/,/^== /p' | sed '1d;$d')"
# Without a native build there is no report to check.
[[ "$out" == *"== no report"* ]] ||
    [[ "$out" == *"Run 1: $(winpath "$SAMPLE_APP")"* && "$out" != *"Run 2:"* ]] ||
    fail "the report is not of this run alone: $out"
expect_same "the caller's file" "not time-app's" "$(cat work/notes.txt)"
