#!/usr/bin/env bash
# The About box: its texts, centred over the main dialog and kept on the
# screen when the dialog sits off its left/top or right/bottom edge; Enter,
# Escape and OK each close it. The two file dialogs: their titles, and
# cancelling leaves the fields as they were; a file picked in the
# application's dialog gives the field its full path; naming an existing
# log brings the overwrite prompt, and confirming it gives the field the
# path; a log field holding a name the system refuses (a|b) gets a second
# dialog, an open dialog with an empty name.
. "$(dirname "$0")/lib.sh"
e2e_begin
log=$(kairon_winpath "$E2E_DIR/results.txt")
mkdir apps
: >apps/picked.exe
printf 'kept\r\n' >old.txt
start_kairon

actual=$(drive <<EOF
find 20000
about enter
move -300 -200
about escape
move 900 700
about ok
set IDC_APP_PATH $app
file-dialog IDC_BROWSE_APP
get IDC_APP_PATH
set IDC_LOG_PATH $log
file-dialog IDC_BROWSE_LOG
get IDC_LOG_PATH
set IDC_APP_PATH $(kairon_winpath apps)\\
browse IDC_BROWSE_APP
file-name picked.exe
file-press ok
file-gone
get IDC_APP_PATH
set IDC_LOG_PATH $(kairon_winpath .)\\
browse IDC_BROWSE_LOG
file-name old.txt
file-press ok
prompt yes
file-gone
get IDC_LOG_PATH
set IDC_LOG_PATH a|b
browse IDC_BROWSE_LOG
file-press cancel
file-gone
get IDC_LOG_PATH
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
    expect_same "$where: version" "Kairon V1.1 Build: 1110" "$version"
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

# The overwrite prompt and its text are the system's own.
prompt_re='^prompt: .+ \| .*replace it\?$'
grep -Eq "$prompt_re" <<<"$actual" || fail "no overwrite prompt: $actual"
# Windows refuses a|b as a starting name, and Kairon asks again through an
# open dialog with an empty name; Wine offers the name in its save dialog
# as it is, and never refuses it.
invalid_re='^file dialog: Enter a log filename \| &(Save \| name: a\|b|Open \| name: )$'
grep -Eq "$invalid_re" <<<"$actual" || fail "the dialog for a|b: $actual"
grep -q '^file dialog: .* | &Save | name: a|b$' <<<"$actual" &&
    e2e_log "the system took a|b as a starting name: no second dialog to see"

pickers=$(grep -v -E "^(about|dialog rect|screen)|$prompt_re|$invalid_re" <<<"$actual")
here=$(kairon_winpath .)
expected=$(cat <<EOF
dialog: Veltrane Kairon
file dialog: Select an application
get IDC_APP_PATH: ${app//\\/\\\\}
file dialog: Enter a log filename
get IDC_LOG_PATH: ${log//\\/\\\\}
file dialog: Select an application | &Open | name: 
get IDC_APP_PATH: ${here//\\/\\\\}\\\\apps\\\\picked.exe
file dialog: Enter a log filename | &Save | name: 
get IDC_LOG_PATH: ${here//\\/\\\\}\\\\old.txt
get IDC_LOG_PATH: a|b
EOF
)
expect_same "the file dialogs" "$expected" "$pickers"
[ "$(cat old.txt)" = $'kept\r' ] || fail "picking the existing log changed it"
