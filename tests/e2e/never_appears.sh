#!/usr/bin/env bash
# A window that never appears: the search gives up after its 5000 passes
# (about 50 s), writes its failure line and then the timing line, which
# includes the whole search, and the unattended run ends normally.
# The name searched for, "Kairon", is also part of the title of Kairon's
# own dialog ("Veltrane Kairon"), which must never count as the
# application's window: otherwise the run would close the program that is
# measuring.
. "$(dirname "$0")/lib.sh"
e2e_begin
record="$E2E_DIR/record.txt"
save_config --window Kairon --runs 1 --delay 100 --log results.txt \
    --args "--show never --record $(kairon_winpath "$record") --exit-after 160000" "$app"
started=$(date +%s)
start_kairon
wait_kairon_exit 170
[ "$KAIRON_EXIT" -eq 0 ] || fail "exit code $KAIRON_EXIT"
took=$(( $(date +%s) - started ))
[ $took -ge 50 ] || fail "Kairon ended after $took s, before the search could give up"

mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" -eq 3 ] || fail "the log has ${#lines[@]} lines, not 3"
expect_same "header" "$app - 1 executions" "${lines[0]}"
expect_same "the give-up line" "Failed to find window Kairon" "${lines[1]}"
expect_timing_line "${lines[2]}" 50.0 150
grep -q ' start ' "$record" || fail "the sample application was not launched"
