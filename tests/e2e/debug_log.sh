#!/usr/bin/env bash
# A debug run's log, line by line: the header, the window state key, one
# initial-scan line per titled window (Kairon's own dialog among them) and
# their count, the loop banner, the search lines of windows that were not
# there before (the sample's among them, last before its timing line), the
# search-loop banner every 50 passes, and the timing line.
. "$(dirname "$0")/lib.sh"
e2e_begin
# The window appears after 1.2 s: more than 50 search passes of 10 ms.
save_config --window "Kairon Sample" --exact --debug --runs 1 --delay 100 --log results.txt \
    --args "--title \"Kairon Sample\" --delay 1200 --exit-after 30000" "$app"
start_kairon
wait_kairon_exit 40
[ "$KAIRON_EXIT" -eq 0 ] || fail "exit code $KAIRON_EXIT"

mapfile -t lines < <(log_lines results.txt)
n=${#lines[@]}
line_no=0
next_line() {
    [ $line_no -lt $n ] || fail "the log ends early, after line $line_no"
    line=${lines[$line_no]}
    line_no=$((line_no + 1))
}
expect_next() {
    next_line
    expect_same "line $line_no" "$1" "$line"
}

expect_next "$app - 1 executions"
expect_next "Window State Key:"
expect_next "0 = SW_HIDE"$'\t'"1=SW_SHOWNORMAL"$'\t'"2=SW_SHOWMINIMIZED"$'\t'"3=SW_MAXIMIZE 4=SW_SHOWNOACTIVATE"$'\t'"5=SW_SHOW"$'\t'"6=SW_MINIMIZE"$'\t'"7=SW_SHOWMINNOACTIVE"$'\t'"8=SW_SHOWNA"$'\t'"9=SW_RESTORE"

scan_re='^DEBUG Initial scan: Window name: (.*) \(Handle: 0x([0-9A-F]+) state: ([0-9])\)$'
scanned=0
own_dialog=""
declare -A before
while next_line && [[ "$line" =~ $scan_re ]]; do
    scanned=$((scanned + 1))
    before[${BASH_REMATCH[2]}]=1
    if [ "${BASH_REMATCH[1]}" = "Veltrane Kairon" ]; then own_dialog=${BASH_REMATCH[3]}; fi
done
[ $scanned -ge 1 ] || fail "no initial-scan lines"
expect_same "Kairon's own dialog in the scan (its state)" 1 "$own_dialog"
expect_same "the count after the scan" "Detected: $scanned windows" "$line"

expect_next ""
expect_next "*************** START LOOP# 1 ***************"
expect_next ""

search_re='^DEBUG: Window name: (.*) \(Handle: 0x([0-9A-F]+) state: ([0-9])\)$'
banners=0
last_title=""
while next_line; do
    if [[ "$line" =~ $search_re ]]; then
        [ -z "${before[${BASH_REMATCH[2]}]:-}" ] ||
            fail "a window of the initial scan has a search line: $line"
        last_title=${BASH_REMATCH[1]}
    elif [ -z "$line" ]; then
        banners=$((banners + 1))
        expect_next "*************** Search loop # $((banners * 50)) of 5000 ***************"
        expect_next ""
    else
        break
    fi
done
expect_same "the window found last" "Kairon Sample" "$last_title"
[ $banners -ge 1 ] || fail "no search-loop banner in 1.2 s of searching"
expect_timing_line "$line" 1.2 10
[ $line_no -eq $n ] || fail "lines after the timing line: ${lines[*]:$line_no}"
