#!/usr/bin/env bash
# Applications that do not close when asked, in unattended runs. Kairon
# waits up to 5 s after the "until next iteration" countdown for the window
# to go, so one that takes 1.5 s is simply closed. One that refuses (a
# "Save changes?" nobody answers) stays: each launch still gets its real
# start-up time, from a window of its own even though the earlier ones are
# still open, and a "Failed to close" line after it. One whose thread hangs
# at the first close message cannot hang Kairon: the run ends by itself.
. "$(dirname "$0")/lib.sh"
e2e_begin
# unattended_run NAME TITLE ON_CLOSE EXECUTIONS CLOSE_OPTIONS LIMIT_S: the
# sample, recording into NAME-record.txt, shows its window 300 ms after
# its launch; the log is NAME.txt. Kairon must end by itself within
# LIMIT_S seconds. Sets took, the run's whole seconds.
unattended_run() {
    local name=$1 title=$2 on_close=$3 executions=$4 close_flags=$5 limit=$6 started
    # shellcheck disable=SC2086  # one option and its value, or three
    save_config --window "$title" --exact --runs "$executions" --delay 100 --log "$name.txt" \
        --args "--title \"$title\" --delay 300 --record $(kairon_winpath "$E2E_DIR/$name-record.txt") --exit-after 90000 --on-close $on_close" \
        $close_flags "$app"
    started=$(date +%s)
    start_kairon
    wait_kairon_exit "$limit"
    took=$(( $(date +%s) - started ))
    [ "$KAIRON_EXIT" -eq 0 ] || fail "$name: exit code $KAIRON_EXIT"
}

# expect_log NAME EXECUTIONS LINE...: the log holds the header and then
# these lines, where "timing" stands for a start-up time that includes the
# sample's 300 ms and not much more.
expect_log() {
    local name=$1 executions=$2 i=1 want
    shift 2
    mapfile -t lines < <(log_lines "$name.txt")
    [ "${#lines[@]}" -eq $(( $# + 1 )) ] ||
        fail "$name: the log has ${#lines[@]} lines, not $(( $# + 1 )): $(printf '[%s]' "${lines[@]}")"
    expect_same "$name: header" "$app - $executions executions" "${lines[0]}"
    for want in "$@"; do
        if [ "$want" = timing ]; then
            expect_timing_line "${lines[$i]}" 0.3 5
        else
            expect_same "$name: line $((i + 1))" "$want" "${lines[$i]}"
        fi
        i=$((i + 1))
    done
}

# Closed 1.5 s after WM_CLOSE: gone within the wait, so no failure line,
# and Kairon ended only after it was gone.
unattended_run slow "Kairon Slow Sample" slow:1500 1 "--close wm_close" 30
expect_same "slow: the sample's events when Kairon ended" "start visible WM_CLOSE destroyed" \
    "$(events_by_process "$E2E_DIR/slow-record.txt")"
expect_log slow 1 timing

# Never closed: three launches, three windows left open, each of them timed
# and sent WM_CLOSE once, each failure after its launch's time. Every
# launch waited the whole 5 s for its window.
unattended_run refuse "Kairon Sample" refuse 3 "--close wm_close" 60
expect_same "refuse: the sample's events" \
    "$(printf 'start visible WM_CLOSE\n%.0s' 1 2 3)" \
    "$(events_by_process "$E2E_DIR/refuse-record.txt")"
expect_log refuse 3 \
    timing "Failed to close Kairon Sample" \
    timing "Failed to close Kairon Sample" \
    timing "Failed to close Kairon Sample"
[ "$took" -ge 15 ] || fail "refuse: the run took $took s, less than three waits of 5 s"
e2e_log "the refused run took $took s"

# Hung at WM_CLOSE, with all three close messages on: the other two are
# sent to a window that does not answer.
unattended_run hang "Kairon Hung Sample" hang 2 \
    "--close wm_close --close syscommand --close altf4" 60
expect_same "hang: the sample's events" \
    "$(printf 'start visible WM_CLOSE\n%.0s' 1 2)" \
    "$(events_by_process "$E2E_DIR/hang-record.txt")"
expect_log hang 2 \
    timing "Failed to close Kairon Hung Sample" \
    timing "Failed to close Kairon Hung Sample"
e2e_log "the hung run took $took s"
