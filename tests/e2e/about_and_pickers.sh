#!/usr/bin/env bash
# The About box: its texts, centred over the main dialog and kept on the
# screen when the dialog sits off its left/top or right/bottom edge; Enter,
# Escape and OK each close it. The two file dialogs: their titles, and
# cancelling leaves the fields as they were.
. "$(dirname "$0")/lib.sh"
e2e_begin

app=$(winpath "$SAMPLE_APP")
log=$(winpath "$E2E_DIR/results.txt")
start_kairon

actual=$(drive <<EOF
find 20000
about enter
move -300 -200
about escape
move 900 700
about ok
set 1004 $app
file-dialog 1002
get 1004
set 1005 $log
file-dialog 1003
get 1005
no-box 300
EOF
)

# Each About box's lines, checked against the dialog's rectangle: centred,
# then clamped to the screen.
check_about() {
    local block=$1 where=$2
    local caption maker version web
    caption=$(sed -n 's/^about caption: //p' <<<"$block")
    maker=$(sed -n 's/^about maker: //p' <<<"$block")
    version=$(sed -n 's/^about version: //p' <<<"$block")
    web=$(sed -n 's/^about web: //p' <<<"$block")
    expect_same "$where: caption" "Veltrane Kairon" "$caption"
    expect_same "$where: version" "Kairon V1.0 Build: 1010" "$version"
    [[ "$maker" == *Veltrane* ]] || fail "$where: the maker line names no Veltrane: '$maker'"
    [[ "$web" =~ ^[^\ ]+\.example(/.*)?$ ]] || fail "$where: not an address under .example: '$web'"

    local al at ar ab dl dt dr db sw sh
    read -r al at ar ab <<<"$(sed -n 's/^about rect: //p' <<<"$block")"
    read -r dl dt dr db <<<"$(sed -n 's/^dialog rect: //p' <<<"$block")"
    read -r sw sh <<<"$(sed -n 's/^screen: //p' <<<"$block")"
    local w=$((ar - al)) h=$((ab - at)) pw=$((dr - dl)) ph=$((db - dt))
    local x=$(((pw - w) / 2 + dl)) y=$(((ph - h) / 2 + dt))
    if [ $x -lt 0 ]; then x=0; elif [ $((x + w)) -gt "$sw" ]; then x=$((sw - w)); fi
    if [ $y -lt 0 ]; then y=0; elif [ $((y + h)) -gt "$sh" ]; then y=$((sh - h)); fi
    expect_same "$where: About box position over dialog $dl,$dt-$dr,$db" "$x $y" "$al $at"
    ABOUT_X=$al ABOUT_Y=$at ABOUT_W=$w ABOUT_H=$h SCREEN_W=$sw SCREEN_H=$sh
}

blocks=$(awk '/^about caption:/ { n++ } /^(about|dialog rect|screen)/ { print n ": " $0 }' <<<"$actual")
block() { sed -n "s/^$1: //p" <<<"$blocks"; }

check_about "$(block 1)" "where the dialog was"
check_about "$(block 2)" "dialog off the left and top"
expect_same "clamped to the left and top" "0 0" "$ABOUT_X $ABOUT_Y"
check_about "$(block 3)" "dialog off the right and bottom"
expect_same "clamped to the right and bottom" \
    "$((SCREEN_W - ABOUT_W)) $((SCREEN_H - ABOUT_H))" "$ABOUT_X $ABOUT_Y"

pickers=$(grep -v -E '^(about|dialog rect|screen)' <<<"$actual")
expected=$(cat <<EOF
dialog: Veltrane Kairon
file dialog: Select an application
get 1004: ${app//\\/\\\\}
file dialog: Enter a log filename
get 1005: ${log//\\/\\\\}
EOF
)
expect_same "the file dialogs" "$expected" "$pickers"
