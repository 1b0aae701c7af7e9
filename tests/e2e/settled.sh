#!/usr/bin/env bash
# kairon-time --settled against the sample application's late drawing: its
# window is shown blank and painted a while later, after a blank spell far
# longer than the quiet time asked for. Timed to its settled content from
# the screen and from the window's own DC, the launch
# takes at least the drawing's delay, and the mark is the first capture of
# the content, not the end of the quiet time after it; timed to the window
# alone, the same launch is well below that delay. A window whose content
# moves for ever, and one that never draws, get "Failed to settle" and
# status 3 once 30 s have passed, each with its reason, and are closed like
# any launch's. A window another one covers does not settle from the
# screen, and does from its own DC, and the covering window is named.
# PrintWindow is refused where Windows is older than 8.1. A window shown
# late over another's content, and one partly off the screen, settle on
# their own content.
. "$(dirname "$0")/lib.sh"
e2e_begin wine-processes
record="$E2E_DIR/record.txt"
draw_ms=1500
quiet_ms=200
sample="--title \"Kairon Sample\" --record $(kairon_winpath "$record") --exit-after 60000"

# PrintWindow renders a window's full content from Windows 8.1 on: on an
# older system --capture print is refused. Wine says which Windows it is
# per program; its 32-bit prefixes say 7 unless told otherwise.
versions='HKCU\Software\Wine\AppDefaults\kairon-time.exe'
wine reg add "$versions" /v Version /d win7 /f >/dev/null 2>>"$E2E_DIR/wine.err"
run_time --window 'Kairon Sample' --runs 1 --settled 200 --capture print --log old.txt "$app"
expect_same "print on Windows 7: status" 2 "$STATUS"
expect_same "print on Windows 7: message" \
    "kairon-time: --capture print: needs Windows 8.1 or later, whose PrintWindow renders a window's full content" \
    "$(cat err.txt)"
[ ! -e old.txt ] || fail "a refused --capture print wrote its log"
# Where Windows says 10 it is taken. Wine's PrintWindow only sends the
# window WM_PRINT with a device context of the caller's, which another
# process cannot draw into: the pictures stay blank, until the window goes.
wine reg add "$versions" /v Version /d win10 /f >/dev/null 2>>"$E2E_DIR/wine.err"
run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --settled 200 --capture print \
    --log printed.txt --args "--title \"Kairon Sample\" --exit-after 1500" "$app"
wine reg delete "$versions" /f >/dev/null 2>>"$E2E_DIR/wine.err"
expect_same "print on Windows 10: progress (status $STATUS)" \
    "launch 1/1: Failed to settle Kairon Sample (its window went away)" "$(cat err.txt)"

# A blank picture never settles, however long the blank spell.
for capture in screen window; do
    run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --settled "$quiet_ms" \
        --capture "$capture" --json "settled-$capture.json" --log "settled-$capture.txt" \
        --args "$sample --draw-after $draw_ms" "$app"
    expect_same "settled, $capture: status (stderr: $(cat err.txt))" 0 "$STATUS"
    mapfile -t lines < <(log_lines "settled-$capture.txt")
    [ "${#lines[@]}" = 2 ] || fail "$capture: expected a header and a timing line: ${lines[*]}"
    expect_timing_line "${lines[1]}" 1.5 20
    expect_same "settled, $capture: progress" "launch 1/1: ${lines[1]} s" "$(cat err.txt)"
    grep -Eq '^  settled     [0-9]+\.[0-9]{4} s  \(1 of 1\)$' out.txt ||
        fail "no settled phase in the summary: $(cat out.txt)"
    python3 - "settled-$capture.json" "$draw_ms" "$quiet_ms" "$capture" <<'PYTHON' ||
import json, sys
with open(sys.argv[1]) as file:
    launch = json.load(file)["launches"][0]
draw, quiet = int(sys.argv[2]) / 1000, int(sys.argv[3]) / 1000
marks, settle = launch["marks"], launch["settle"]
assert launch["reached"] is True, launch
assert abs(marks["settled"] - launch["seconds"]) < 0.0002, launch
# Drawn draw seconds after it was shown, which follows its being found.
assert marks["settled"] >= marks["window"] + draw - 0.05, marks
# The first capture of the content, not the end of the quiet time after it.
assert marks["settled"] < marks["window"] + draw + quiet / 2, marks
# Blank pictures first, then the content, the first of it the mark.
assert settle["capture"] == sys.argv[4] and settle["covered"] is False, settle
assert settle["changes"] >= 1 and settle["pictures"] > settle["changes"], settle
assert abs(settle["content"] - marks["settled"]) < 0.0002, settle
PYTHON
        fail "settled-$capture.json: $(cat "settled-$capture.json")"
done
[ "$(grep -c ' drawn ' "$record")" = 2 ] || fail "the sample application did not draw: $(cat "$record")"

# The same launch timed to its window only.
run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --log found.txt \
    --args "$sample --draw-after $draw_ms" "$app"
expect_same "found: status (stderr: $(cat err.txt))" 0 "$STATUS"
mapfile -t lines < <(log_lines found.txt)
[ "${#lines[@]}" = 2 ] || fail "expected a header and a timing line: ${lines[*]}"
expect_timing_line "${lines[1]}" 0.0 1.0

# Content that moves every 50 ms never keeps still for 200 ms.
moving="$E2E_DIR/moving-record.txt"
started=$(date +%s)
run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --settled 200 \
    --json moving.json --log moving.txt \
    --args "--title \"Kairon Sample\" --animate 50 --record $(kairon_winpath "$moving") --exit-after 90000" \
    "$app"
took=$(( $(date +%s) - started ))
expect_same "moving: status (stderr: $(cat err.txt))" 3 "$STATUS"
[ $took -ge 30 ] || fail "ended after $took s, before the wait could give up"
mapfile -t lines < <(log_lines moving.txt)
expect_same "moving: log" "$(printf '%s\n' "$app - 1 executions" 'Failed to settle Kairon Sample')" \
    "$(printf '%s\n' "${lines[@]:0:2}")"
[ "${#lines[@]}" = 3 ] || fail "expected a header, the failure and a timing line: ${lines[*]}"
expect_timing_line "${lines[2]}" 30.0 45
expect_same "moving: progress" \
    "launch 1/1: Failed to settle Kairon Sample (its content kept changing)" "$(cat err.txt)"
grep -qx '  Failures:               not settled 1' out.txt ||
    fail "the summary does not count the launch that did not settle: $(cat out.txt)"
expect_same "moving: the window is closed" "start visible WM_CLOSE destroyed" \
    "$(events_by_process "$moving")"
python3 - moving.json <<'PYTHON' || fail "moving.json: $(cat moving.json)"
import json, sys
with open(sys.argv[1]) as file:
    launch = json.load(file)["launches"][0]
assert launch["reached"] is False, launch
assert launch["failure"] == "Failed to settle Kairon Sample", launch
assert "settled" not in launch["marks"] and "window" in launch["marks"], launch
PYTHON

# A window that never draws stays blank: it does not settle, and says so.
started=$(date +%s)
run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --settled 200 --log blank.txt \
    --args "$sample --draw-after 100000" "$app"
took=$(( $(date +%s) - started ))
expect_same "blank: status (stderr: $(cat err.txt))" 3 "$STATUS"
[ $took -le 35 ] || fail "a window that never drew took $took s to give up"
expect_same "blank: progress" "launch 1/1: Failed to settle Kairon Sample (it stayed blank)" \
    "$(cat err.txt)"

# A window created hidden over another program's content: blank until it is
# shown, not that content.
start_sample --title "Kairon Beneath" --at 100,100 --size 400x300 --exit-after 60000
sleep 2
run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --settled 200 --json hidden.json \
    --log hidden.txt --args "$sample --at 100,100 --size 400x300 --show-after 1500" "$app"
expect_same "hidden: status (stderr: $(cat err.txt))" 0 "$STATUS"
python3 -c 'import json, sys; l = json.load(open(sys.argv[1]))["launches"][0]; m, s = l["marks"], l["settle"]
assert m["settled"] >= m["window"] + 1.45 and s["content"] == m["settled"], l
assert s["picture_ms"] > 0 and 0 < s["resolution_ms"] < 200, s' hidden.json || fail "hidden.json: $(cat hidden.json)"

# Partly off the screen, it settles on its content, never while blank: from
# the screen past the left, right and bottom edges; from its own DC past the
# right and bottom (Wine 8 leaves a black band in a window's own DC past the
# left edge, pixels that are not the window's).
for capture in screen window; do
    at=-200,500
    [ "$capture" = window ] && at=600,500
    run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --settled 200 \
        --capture "$capture" --json "off-$capture.json" --log "off-$capture.txt" \
        --args "$sample --at $at --size 1400x400 --draw-after $draw_ms" "$app"
    expect_same "off the screen, $capture: status (stderr: $(cat err.txt))" 0 "$STATUS"
    python3 -c 'import json, sys; m = json.load(open(sys.argv[1]))["launches"][0]["marks"]
assert m["settled"] >= m["window"] + int(sys.argv[2]) / 1000 - 0.05, m' "off-$capture.json" "$draw_ms" ||
        fail "off-$capture.json: $(cat "off-$capture.json")"
done

# A window above every other, over the whole desktop: the screen shows it,
# not the window timed, which its own DC still has.
start_sample --title "Kairon Cover" --topmost --size 1024x768 --exit-after 60000
sleep 2
run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --settled 200 --log covered.txt \
    --json covered.json --args "$sample" "$app"
expect_same "covered: status (stderr: $(cat err.txt))" 3 "$STATUS"
expect_same "covered: progress" "launch 1/1: Failed to settle Kairon Sample (another window covered it: \"Kairon Cover\", class \"KaironSampleWindow\"; --capture print reads covered windows)" \
    "$(cat err.txt)"
python3 -c 'import json, sys; s = json.load(open(sys.argv[1]))["launches"][0]["settle"]; assert s["covered"] is True and s["content"] is None and s["covered_by"] == {"title": "Kairon Cover", "class": "KaironSampleWindow"}, s' \
    covered.json || fail "covered.json: $(cat covered.json)"
run_time --window 'Kairon Sample' --exact --runs 1 --delay 300 --settled 200 --capture window \
    --log covered.txt --args "$sample" "$app"
expect_same "covered, its own DC: status (stderr: $(cat err.txt))" 0 "$STATUS"
