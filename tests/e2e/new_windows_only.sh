#!/usr/bin/env bash
# An older window with the sample's title is already open when the run
# starts. Whether "New windows only" is on or off, it was there before the
# launch, so it is neither timed nor closed: the new one is found and
# closed.
. "$(dirname "$0")/lib.sh"
e2e_begin

app=$(winpath "$SAMPLE_APP")

# run_against_old_window NEW_WINDOWS_ONLY OLD_RECORD NEW_RECORD
run_against_old_window() {
    local only=$1 old=$2 new=$3
    start_sample --title "Kairon Sample" --record "$(winpath "$old")" --exit-after 60000
    wait_for_line "$old" 20 ' visible '
    # The new window shows 1 s after its launch.
    write_config "$app" \
        "$(sample_args 1000 "$new" 8000)" \
        results.txt "Kairon Sample" 1 100 "0 1 1 0" "1 0 0" 0 "$only" 1
    start_kairon
    wait_kairon_exit 30
    [ "$KAIRON_EXIT" -eq 0 ] || fail "new windows only $only: exit code $KAIRON_EXIT"
}

closed() { grep -q ' WM_CLOSE$' "$1"; }

run_against_old_window 0 "$E2E_DIR/old1.txt" "$E2E_DIR/new1.txt"
wait_for_line "$E2E_DIR/new1.txt" 10 ' destroyed$'
closed "$E2E_DIR/old1.txt" && fail "off: the old window was closed"
mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" -eq 2 ] || fail "the log has ${#lines[@]} lines, not 2"
# Not the old window, found at once: the new one, a second after its launch.
expect_timing_line "${lines[1]}" 1.0 10

run_against_old_window 1 "$E2E_DIR/old2.txt" "$E2E_DIR/new2.txt"
wait_for_line "$E2E_DIR/new2.txt" 10 ' destroyed$'
closed "$E2E_DIR/old2.txt" && fail "on: the old window was closed"
mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" -eq 4 ] || fail "the log has ${#lines[@]} lines, not 4"
expect_timing_line "${lines[3]}" 1.0 10
