#!/usr/bin/env bash
# kairon-time --compare with two copies of the sample application, one
# starting in about 0.1 s and one about a second later (each copy's
# --delay in the options file beside it; the command line is the same for
# both): the copies take turns, baseline first, warm-ups before, as their
# own records of when they started show; each copy's times go to its own
# log in Kairon's format; the JSON lists every launch in the order it ran
# with its program; and --fail-if-slower fails with status 4 when the slow
# copy is APP, after the launches --max-runs added until it could tell, and
# passes with 0 the other way round.
. "$(dirname "$0")/lib.sh"
e2e_begin
# copy NAME DELAY: a copy of the sample in folder NAME that waits DELAY ms
# before its window and records its start into NAME-record.txt.
copy() {
    mkdir -p "$1"
    cp "$SAMPLE_APP" "$1/sample_app.exe"
    printf '%s\r\n' --delay "$2" --record "$(kairon_winpath "$E2E_DIR/$1-record.txt")" \
        >"$1/sample_app.options"
    : >"$1-record.txt"
}
copy fast 100
copy slow 1100
fast=$(kairon_winpath "$E2E_DIR/fast/sample_app.exe")
slow=$(kairon_winpath "$E2E_DIR/slow/sample_app.exe")
start_wine_processes

# The order the copies started in, from their records' counters, which
# are comparable between processes: "fast slow fast slow ...".
started_order() {
    awk '$2 == "start" { print $3, FILENAME }' fast-record.txt slow-record.txt |
        sort -n | sed 's/-record.txt$//' | awk '{ printf "%s%s", (NR > 1 ? " " : ""), $2 }'
}

# expect_log FILE APP LOW HIGH [N]: a header for APP's four launches and N
# (default 4) times in [LOW, HIGH]. Four launches a side: with three, no
# rank test can reach p < 0.05, and the gate cannot tell.
expect_log() {
    local lines
    mapfile -t lines < <(log_lines "$1")
    [ "${#lines[@]}" = $((${5:-4} + 1)) ] ||
        fail "$1: expected a header and ${5:-4} timing lines: ${lines[*]}"
    expect_same "$1: header" "$2 - 4 executions" "${lines[0]}"
    local line
    for line in "${lines[@]:1}"; do
        expect_timing_line "$line" "$3" "$4"
    done
}

# The slow copy as APP, against the fast one: the gate fails. It looks
# after 4, 6, 8, 10 and 12 launches a side at p < 0.01 each, which four
# launches cannot reach: it adds rounds, and can tell after six.
run_time --window 'Kairon Sample' --exact --warmup 1 --runs 4 --max-runs 12 --delay 300 \
    --args '--exit-after 30000' --json slower.json --log slower.txt \
    --compare "$fast" --fail-if-slower 5 "$slow"
expect_same "APP slower: status (stderr: $(cat err.txt))" 4 "$STATUS"
expect_same "APP slower: launch order" \
    "fast slow fast slow fast slow fast slow fast slow fast slow fast slow" "$(started_order)"
expect_log slower-baseline.txt "$fast" 0.1 0.95 6
expect_log slower.txt "$slow" 1.1 10 6
sed -E 's/[0-9]+\.[0-9]{4} s$/T s/' err.txt >progress.txt
expect_same "APP slower: progress" "$(printf '%s\n' 'baseline warmup 1/1: T s' 'warmup 1/1: T s' \
    'baseline launch 1/4: T s' 'launch 1/4: T s' 'baseline launch 2/4: T s' 'launch 2/4: T s' \
    'baseline launch 3/4: T s' 'launch 3/4: T s' 'baseline launch 4/4: T s' 'launch 4/4: T s' \
    'baseline launch 5 (added): T s' 'launch 5 (added): T s' \
    'baseline launch 6 (added): T s' 'launch 6 (added): T s')" \
    "$(cat progress.txt)"
grep -qF "Resources of $fast, median " out.txt && grep -qF "Resources of $slow, median " out.txt ||
    fail "APP slower: resources not named by their programs: $(cat out.txt)"
for line in "Run 1: $fast" "Run 2: $slow" "Run 1, the baseline, is the reference; run 2 is $slow." \
    'Comparison against run 1' 'Gate failed: run 2.' \
    '  Launches:               6 of 4 completed (launches were added, as kairon-time --max-runs adds them)' \
    'The gate looked after 4 and 6 launches a side, each look at p < 0.01 (0.05 split between 5 planned looks): it could tell after 6 of at most 12.'; do
    grep -qxF "$line" out.txt || fail "APP slower: no line '$line' in: $(cat out.txt)"
done
python3 - slower.json "$fast" "$slow" <<'EOF_PY' || fail "slower.json: $(cat slower.json)"
import json, sys
with open(sys.argv[1]) as file:
    doc = json.load(file)
assert doc["application"] == sys.argv[3] and doc["baseline"] == sys.argv[2], doc
order = [(l["program"], l["warmup"], l["launch"]) for l in doc["launches"]]
assert order == [("baseline", True, 1), ("app", True, 1)] + [
    (program, False, n) for n in range(1, 7) for program in ("baseline", "app")], order
EOF_PY

# The fast copy as APP, against the slow one, its log named: the gate passes.
: >fast-record.txt
: >slow-record.txt
run_time --window 'Kairon Sample' --exact --runs 4 --delay 300 \
    --args '--exit-after 30000' --log faster.txt --baseline-log slow-times.txt \
    --compare "$slow" --fail-if-slower 5 "$fast"
expect_same "APP faster: status (stderr: $(cat err.txt))" 0 "$STATUS"
expect_same "APP faster: launch order" "slow fast slow fast slow fast slow fast" "$(started_order)"
expect_log slow-times.txt "$slow" 1.1 10
expect_log faster.txt "$fast" 0.1 0.95
[ ! -e faster-baseline.txt ] || fail "--baseline-log named the log, yet faster-baseline.txt was written"
grep -qxF 'Gate passed.' out.txt || fail "APP faster: the gate did not pass: $(cat out.txt)"

# Two options that name one file, as Windows sees it, are refused before
# anything is launched or written, new files too; a log that is no results log (a file of
# notes) leaves the gate nothing to judge, and it says so with status 5.
: >fast-record.txt
printf 'before\r\n' >faster.txt
run_time --window 'Kairon Sample' --exact --runs 2 --delay 100 --log faster.txt \
    --baseline-log .\\FASTER.TXT --compare "$slow" --fail-if-slower 5 "$fast"
expect_same "one log twice: status" 2 "$STATUS"
expect_same "one log twice: message" \
    'kairon-time: --baseline-log and --log name one file: .\FASTER.TXT and faster.txt' "$(cat err.txt)"
run_time --window 'Kairon Sample' --runs 2 --log faster.txt --json faster.txt "$fast"
expect_same "the JSON over the log: status" 2 "$STATUS"
expect_same "the log untouched" before "$(tr -d '\r' <faster.txt)"
# A JSON that does not exist yet, named as the new log by another spelling
# (the "\\?\" prefix, a folder reached through a link): one file all the
# same, refused, and nothing is made, not even the log.
mkdir real
ln -s real linked
for json in "\\\\?\\$(kairon_winpath real/fresh.txt)" 'linked\FRESH.txt'; do
    run_time --window 'Kairon Sample' --runs 2 --log 'real\fresh.txt' --json "$json" "$fast"
    expect_same "a new JSON as $json: status" 2 "$STATUS"
    expect_same "a new JSON as $json: message" \
        "kairon-time: --json and --log name one file: $json and real\\fresh.txt" "$(cat err.txt)"
    expect_same "a new JSON as $json: files made" "" "$(ls -A real)"
done
[ ! -s fast-record.txt ] || fail "a refused command line launched the application"
printf 'Notes on this build\r\n' >notes.txt
run_time --window 'Kairon Sample' --exact --runs 2 --delay 100 --args '--exit-after 30000' \
    --log notes.txt --compare "$slow" --fail-if-slower 5 "$fast"
expect_same "a log of notes: status (stderr: $(cat err.txt))" 5 "$STATUS"
grep -q '^kairon-time: no comparison: notes.txt: not a results log' err.txt ||
    fail "a log of notes: no word of why: $(cat err.txt)"
if grep -q '^Gate passed' out.txt; then
    fail "a log of notes passed the gate: $(cat out.txt)"
fi
