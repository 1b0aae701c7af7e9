#!/usr/bin/env bash
# Each close method, alone, in an unattended run of one execution: the
# sample application sees the message Kairon sent first, with the Alt-F4
# key data, and closes its window as an ordinary application does (Alt-F4
# leads on to SC_CLOSE and that to WM_CLOSE, in the default window
# procedure).
. "$(dirname "$0")/lib.sh"
e2e_begin
# The events of one record without the process ids and counter values.
events() {
    awk '{ $1 = ""; if ($2 == "start" || $2 == "visible") NF = 2; sub(/^ /, ""); print }' "$1"
}

run_with_close_flags() {
    local close=$1 record=$2
    # shellcheck disable=SC2086  # one --close or several
    save_config --window "Kairon Sample" --exact --runs 1 --delay 100 --log results.txt \
        --args "$(sample_args 200 "$record" 30000)" $close "$app"
    start_kairon
    wait_kairon_exit 30
    [ "$KAIRON_EXIT" -eq 0 ] || fail "close flags $flags: exit code $KAIRON_EXIT"
    # Alt-F4 reaches WM_CLOSE through a posted message, after Kairon moved on.
    wait_for_line "$record" 10 ' destroyed$'
}

run_with_close_flags "--close wm_close" "$E2E_DIR/wm_close.txt"
expect_same "WM_CLOSE alone" "$(printf '%s\n' start visible WM_CLOSE destroyed)" \
    "$(events "$E2E_DIR/wm_close.txt")"

run_with_close_flags "--close syscommand" "$E2E_DIR/sc_close.txt"
expect_same "WM_SYSCOMMAND alone" \
    "$(printf '%s\n' start visible "WM_SYSCOMMAND SC_CLOSE" WM_CLOSE destroyed)" \
    "$(events "$E2E_DIR/sc_close.txt")"

run_with_close_flags "--close altf4" "$E2E_DIR/alt_f4.txt"
expect_same "Alt-F4 alone" \
    "$(printf '%s\n' start visible "WM_SYSKEYDOWN VK_F4 0x203E0001" "WM_SYSCOMMAND SC_CLOSE" \
        WM_CLOSE destroyed)" \
    "$(events "$E2E_DIR/alt_f4.txt")"

# All three: the first closes the window; the others find it gone.
run_with_close_flags "--close wm_close --close syscommand --close altf4" "$E2E_DIR/all.txt"
expect_same "all three" "$(printf '%s\n' start visible WM_CLOSE destroyed)" \
    "$(events "$E2E_DIR/all.txt")"

# Each run left one timing line in the shared log, after its header.
mapfile -t lines < <(log_lines results.txt)
[ "${#lines[@]}" -eq 8 ] || fail "results.txt has ${#lines[@]} lines, not 8"
for i in 0 2 4 6; do
    expect_same "header $i" "$app - 1 executions" "${lines[$i]}"
    expect_timing_line "${lines[$((i + 1))]}" 0.2 10
done
