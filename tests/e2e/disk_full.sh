#!/usr/bin/env bash
# The disk holding the log fills up during an unattended run of five
# launches: the log has room for this run's header, two timing lines and
# three bytes of the third. The run stops at that failed write, before a
# fourth launch, with the box "Unable to write to log file" and Run App
# enabled again; Kairon does not close itself, although the run is
# unattended, and stays until it is closed. Once there is room again, the
# next run starts a new line after the cut-off one.
#
# The small disk is a 64 KiB tmpfs, which needs root; elsewhere the test is
# skipped.
. "$(dirname "$0")/lib.sh"
e2e_begin
disk="$E2E_DIR/disk"
mkdir "$disk"
mount -t tmpfs -o size=64k tmpfs "$disk" 2>"$E2E_DIR/mount.err" ||
    skip "the full disk, because a small file system cannot be mounted here" \
        "($(id -un): $(tr '\n' ' ' <"$E2E_DIR/mount.err"))"
e2e_at_exit umount "$disk"

# tmpfs gives a file room a page at a time.
page=$(getconf PAGESIZE)
printf -v header '%s - 5 executions\r\n' "$app"
room=$(( ${#header} + 2 * 8 + 3 ))

# An earlier run's lines that leave `room` bytes in the log's last page:
# its header, then timing lines of 8 bytes, some of 9 for the odd bytes.
# The header's count has as many digits as the count it is worked out from.
earlier=$(( page - room ))
timings=0
for _ in 1 2; do
    printf -v earlier_header 'C:\\Apps\\Earlier.exe - %d executions\r\n' "$timings"
    timings=$(( (earlier - ${#earlier_header}) / 8 ))
done
printf -v earlier_header 'C:\\Apps\\Earlier.exe - %d executions\r\n' "$timings"
long_timings=$(( earlier - ${#earlier_header} - timings * 8 ))
{
    printf '%s' "$earlier_header"
    for ((i = 0; i < timings; ++i)); do
        [ $i -lt $long_timings ] && printf '10.5000\r\n' || printf '0.5000\r\n'
    done
} >"$disk/results.txt"
[ "$(stat -c %s "$disk/results.txt")" -eq "$earlier" ] || fail "the earlier run is not $earlier bytes"
cp "$disk/results.txt" earlier.txt
# Every other page taken: only the log's last page has room left.
dd if=/dev/zero of="$disk/filler" bs=$page 2>/dev/null || true
[ "$(df --output=avail -B1 "$disk" | tail -n 1 | tr -d ' ')" -eq 0 ] ||
    fail "the small disk is not full: $(df -B1 "$disk" | tail -n 1)"

record="$E2E_DIR/record.txt"
save_config --window "Kairon Sample" --exact --runs 5 --delay 100 \
    --log "$(kairon_winpath "$disk/results.txt")" --args "$(sample_args 300 "$record" 30000)" "$app"
start_kairon
actual=$(drive <<'EOF'
find 20000
box 40000
wait-enabled IDC_RUN 1 5000
no-box 2000
EOF
)
expected=$(cat <<'EOF'
dialog: Veltrane Kairon
box: Error | Unable to write to log file
EOF
)
expect_same "the dialog's answers" "$expected" "$actual"
kill -0 "$E2E_KAIRON_PID" 2>/dev/null || fail "Kairon closed itself after the failed write"
[ "$(grep -c ' start ' "$record")" -eq 3 ] ||
    fail "not three launches but $(grep -c ' start ' "$record")"
drive >/dev/null <<'EOF'
press IDC_CLOSE
wait-gone
EOF
wait_kairon_exit 10
[ "$KAIRON_EXIT" -eq 0 ] || fail "closed after the failed write: exit code $KAIRON_EXIT"

# The log: the earlier run untouched, this run's header and two timing
# lines, and the cut-off start of the third.
size=$(stat -c %s "$disk/results.txt")
[ "$size" -eq $page ] || fail "the log is $size bytes, not the whole page of $page"
cmp -n "$earlier" earlier.txt "$disk/results.txt" || fail "the earlier run's lines changed"
cut_off=$(tail -c +$(( earlier + 1 )) "$disk/results.txt")
[[ "$cut_off" =~ ^"$header"([0-9]\.[0-9]{4}$'\r\n'){2}[0-9]\.[0-9]$ ]] ||
    fail "not the header, two timing lines and 3 bytes of the third: $(printf '%q' "$cut_off")"

# Room again: one more launch, on a line of its own.
rm "$disk/filler"
save_config --window "Kairon Sample" --exact --runs 1 --delay 100 \
    --log "$(kairon_winpath "$disk/results.txt")" --args "$(sample_args 300 "$record" 30000)" "$app"
start_kairon
wait_kairon_exit 30
[ "$KAIRON_EXIT" -eq 0 ] || fail "the run with room again: exit code $KAIRON_EXIT"
mapfile -t lines < <(log_lines "$disk/results.txt")
expect_timing_line "${lines[-1]}" 0.3 5
cmp <(cat earlier.txt; printf '%s\r\n' "$cut_off" "$app - 1 executions" "${lines[-1]}") \
    "$disk/results.txt" ||
    fail "not the earlier lines, the cut-off one ended and the new run's: $(tail -c +$(( earlier + 1 )) "$disk/results.txt" | od -c)"

# kairon-time's JSON on the full disk: written beside itself first, so the
# JSON an earlier run left stays whole, and the run says so with status 1.
printf '{"earlier": true}\n' >"$disk/run.json"
dd if=/dev/zero of="$disk/filler" bs=$page 2>/dev/null || true
run_time --input-idle --runs 1 --delay 100 --log "$E2E_DIR/json-run.txt" \
    --json "$(kairon_winpath "$disk/run.json")" --args "$(sample_args 0 "$record" 5000)" "$app"
expect_same "JSON on a full disk: status (stderr: $(cat err.txt))" 1 "$STATUS"
grep -qxF "kairon-time: Error: Unable to write JSON file $(kairon_winpath "$disk/run.json")" err.txt ||
    fail "JSON on a full disk: no word of it: $(cat err.txt)"
expect_same "the earlier JSON" '{"earlier": true}' "$(cat "$disk/run.json")"
expect_same "nothing left beside it" "filler results.txt run.json" "$(ls "$disk" | tr '\n' ' ' | sed 's/ $//')"
