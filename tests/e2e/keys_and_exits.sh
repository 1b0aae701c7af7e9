#!/usr/bin/env bash
# The main dialog's keys and exits. Enter and Escape leave it open and
# start nothing, although its settings would run at once. The Close button
# ends Kairon with exit code 0, and so does the close box (WM_SYSCOMMAND
# SC_CLOSE, or WM_CLOSE as the box leads to), idle or while a run counts
# down.
. "$(dirname "$0")/lib.sh"
e2e_begin
record="$E2E_DIR/record.txt"
save_config --attended --window "Kairon Sample" --exact --runs 1 --delay 3000 --log results.txt \
    --args "$(sample_args 0 "$record" 20000)" "$app"

start_kairon
actual=$(drive <<'EOF'
find 20000
key enter
key escape
no-box 500
status
enabled IDC_RUN
press IDC_CLOSE
wait-gone
EOF
)
expected=$(cat <<'EOF'
dialog: Veltrane Kairon
status: 
enabled IDC_RUN: 1
EOF
)
expect_same "after Enter and Escape" "$expected" "$actual"
wait_kairon_exit 10
[ "$KAIRON_EXIT" -eq 0 ] || fail "Close button: exit code $KAIRON_EXIT"
[ ! -e results.txt ] || fail "a key started a run: results.txt exists"
[ ! -e "$record" ] || fail "a key launched the application"

# end_kairon WHEN HOW: idle, or counting down before the first launch.
while read -r when how; do
    start_kairon
    run_first=""
    if [ "$when" = counting ]; then
        run_first=$'press IDC_RUN\nwait-status 10000 Iteration: 1 - 3 seconds until application is launched'
    fi
    drive >/dev/null <<EOF
find 20000
$run_first
$how
wait-gone
EOF
    wait_kairon_exit 10
    [ "$KAIRON_EXIT" -eq 0 ] || fail "$how, $when: exit code $KAIRON_EXIT"
done <<'EOF'
idle close-box
counting close-box
counting wm-close
EOF
[ ! -e "$record" ] || fail "a run went on to launch the application"
