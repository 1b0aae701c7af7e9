#!/usr/bin/env bash
# An empty window name with detection on passes validation, but matches no
# window: every title "contains" the empty string, and taking the first
# titled window would send close messages to whatever program owns it.
# Here an unrelated window is open, and the launched sample shows its own;
# the search gives up after its 5000 passes and neither is closed.
. "$(dirname "$0")/lib.sh"
e2e_begin
bystander="$E2E_DIR/bystander.txt"
record="$E2E_DIR/record.txt"
start_sample --title "Bystander" --record "$(kairon_winpath "$bystander")" --exit-after 170000
wait_for_line "$bystander" 20 ' visible '

write_config "$app" \
    "$(sample_args 200 "$record" 160000)" \
    results.txt "" 1 100 "0 1 0 0" "1 1 1" 0 0 1
start_kairon
wait_kairon_exit 170
[ "$KAIRON_EXIT" -eq 0 ] || fail "exit code $KAIRON_EXIT"

mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" -eq 3 ] || fail "the log has ${#lines[@]} lines, not 3"
expect_same "the give-up line" "Failed to find window " "${lines[1]}"
expect_timing_line "${lines[2]}" 50.0 150
grep -q ' visible ' "$record" || fail "the sample's window did not show"
if grep -Eq 'WM_|destroyed' "$bystander" "$record"; then
    fail "a window was sent a close message: $(grep -E 'WM_|destroyed' "$bystander" "$record")"
fi
