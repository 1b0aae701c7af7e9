#!/usr/bin/env bash
# Older windows that the window name matches are already open when the run
# starts: one with the sample's own title, and one whose title merely
# contains the name, as a user's open document in the same program may
# ("Quarterly report.txt - Kairon Sample", exact match off). Whether "New
# windows only" is on or off, only the window of this launch counts: an
# older one is neither timed nor sent a close message, and the new one,
# shown 1 s after its launch, is timed and closed.
. "$(dirname "$0")/lib.sh"
e2e_begin
# run_against_old_window NEW_WINDOWS_ONLY EXACT_MATCH OLD_TITLE OLD_RECORD NEW_RECORD
run_against_old_window() {
    local only=$1 exact=$2 title=$3 old=$4 new=$5
    local options=()
    [ "$only" = 1 ] && options+=(--new-only)
    [ "$exact" = 1 ] && options+=(--exact)
    start_sample --title "$title" --record "$(kairon_winpath "$old")" --exit-after 60000
    wait_for_line "$old" 20 ' visible '
    save_config --window "Kairon Sample" "${options[@]}" --runs 1 --delay 100 --log results.txt \
        --args "$(sample_args 1000 "$new" 8000)" "$app"
    start_kairon
    wait_kairon_exit 30
    [ "$KAIRON_EXIT" -eq 0 ] || fail "new windows only $only: exit code $KAIRON_EXIT"
    wait_for_line "$new" 10 ' destroyed$'
}

run_against_old_window 0 1 "Kairon Sample" "$E2E_DIR/old1.txt" "$E2E_DIR/new1.txt"
run_against_old_window 0 0 "Quarterly report.txt - Kairon Sample" \
    "$E2E_DIR/old2.txt" "$E2E_DIR/new2.txt"
run_against_old_window 1 1 "Kairon Sample" "$E2E_DIR/old3.txt" "$E2E_DIR/new3.txt"

# No old window was sent anything (each was there for the later runs too).
for old in old1 old2 old3; do
    expect_same "$old: the old window's events" "start visible" \
        "$(events_by_process "$E2E_DIR/$old.txt")"
done
for new in new1 new2 new3; do
    expect_same "$new: the new window's events" "start visible WM_CLOSE destroyed" \
        "$(events_by_process "$E2E_DIR/$new.txt")"
done
mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" -eq 6 ] || fail "the log has ${#lines[@]} lines, not 6"
for i in 0 2 4; do
    expect_same "header $i" "$app - 1 executions" "${lines[$i]}"
    expect_timing_line "${lines[$((i + 1))]}" 1.0 10
done
