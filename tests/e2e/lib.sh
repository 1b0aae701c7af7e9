# shellcheck shell=bash
# Shared by the end-to-end tests: each test runs the real Kairon.exe, the
# sample application and the GUI driver under Wine, on an X server of its
# own, in a folder of its own, and cleans all of it up however it ends.
#
# The test's CMake entry sets:
#   KAIRON_EXE   Kairon.exe          SAMPLE_APP  sample_app.exe
#   GUI_DRIVER   gui_driver.exe      E2E_WORK    a folder for the Wine prefix
# A test sources this file, calls e2e_begin, and uses the helpers below.
# KEEP_E2E_TEMP=1 keeps the test's folder for a look afterwards.

set -euo pipefail

: "${KAIRON_EXE:?}" "${KAIRON_TIME:?}" "${SAMPLE_APP:?}" "${GUI_DRIVER:?}" "${E2E_WORK:?}"

# The Wine of the build under test (KAIRON_WINE_BITS, set by the test's
# CMake entry), its prefix in the build folder, and the X server helpers.
export KAIRON_WINEPREFIX="$E2E_WORK/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# shellcheck source=../../scripts/wine-env.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
kairon_require_wine

E2E_KAIRON_PID=""
# Kairon.exe's exit code, set by wait_kairon_exit.
export KAIRON_EXIT=""
E2E_DIR=""
E2E_STARTED=$(date +%s)
# Commands that undo what a test set up outside Wine (e2e_at_exit).
E2E_AT_EXIT=()
# The exit status that tells CTest a test was skipped (SKIP_RETURN_CODE).
E2E_SKIPPED=77

e2e_log() { printf '[%s] %s\n' "$(basename "$0" .sh)" "$*" >&2; }

fail() {
    e2e_log "FAIL: $*"
    exit 1
}

# Ends the test as skipped; the message says what was skipped and why.
skip() {
    e2e_log "skipped: $*"
    exit "$E2E_SKIPPED"
}

# e2e_at_exit COMMAND [ARG...]: run when the test ends, however it ends,
# after every Wine process is gone (so no file is held open) and before
# the test's folder is removed.
e2e_at_exit() {
    E2E_AT_EXIT+=("$(printf '%q ' "$@")")
}

# Ends Wine (every process of this prefix), the X server and the folder.
e2e_cleanup() {
    local status=$?
    trap - EXIT INT TERM
    kairon_session_end
    local undo
    for undo in "${E2E_AT_EXIT[@]}"; do
        eval "$undo" || e2e_log "at exit, failed: $undo"
    done
    if [ -n "$E2E_DIR" ]; then
        if [ "$status" -ne 0 ] && [ "$status" -ne "$E2E_SKIPPED" ] && [ -s "$E2E_DIR/wine.err" ]; then
            e2e_log "Wine's messages:"
            tail -n 20 "$E2E_DIR/wine.err" >&2
        fi
        if [ "${KEEP_E2E_TEMP:-0}" = 1 ]; then
            e2e_log "kept $E2E_DIR"
        else
            rm -rf "$E2E_DIR"
        fi
    fi
    local outcome=failed
    [ "$status" -eq 0 ] && outcome=passed
    [ "$status" -eq "$E2E_SKIPPED" ] && outcome=skipped
    e2e_log "$outcome in $(( $(date +%s) - E2E_STARTED )) s"
    exit "$status"
}

# The prefix is made once per build folder (about 20 s) and shared by the
# tests, which run one at a time. Every program in it runs inside one Wine
# virtual desktop, as on a Windows screen: windows get their frames and
# caption bars, and hiding one does not wait for a window manager that an
# X server of tests does not have (Wine waits up to two seconds for it).
e2e_warm_prefix() {
    mkdir -p "$E2E_WORK"
    (
        flock 9
        if [ ! -e "$WINEPREFIX/.kairon-e2e-ready" ]; then
            e2e_log "creating the Wine prefix $WINEPREFIX"
            rm -rf "$WINEPREFIX"
            kairon_prefix_ready
            kairon_virtual_desktop Default 1024x768
            touch "$WINEPREFIX/.kairon-e2e-ready"
        fi
    ) 9>"$E2E_WORK/wineprefix.lock"
}

# Every test's opening. It sets `app`, the sample application as Windows
# names it; `e2e_begin wine-processes` also starts Wine's own processes, for
# tests that compare kairon-time's standard error.
e2e_begin() {
    mkdir -p "$E2E_WORK/tmp"
    E2E_DIR=$(mktemp -d "$E2E_WORK/tmp/$(basename "$0" .sh).XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    kairon_start_xvfb || fail "no X server"
    kairon_wine_stop
    e2e_warm_prefix
    cd "$E2E_DIR"
    app=$(kairon_winpath "$SAMPLE_APP")
    [ "${1-}" != wine-processes ] || start_wine_processes
}

# Arguments that start the sample application with a window titled
# "Kairon Sample" after DELAY ms, recording into RECORD, gone after EXIT ms:
#   sample_args DELAY RECORD EXIT
sample_args() {
    printf -- '--title "Kairon Sample" --delay %s --record %s --exit-after %s' \
        "$1" "$(kairon_winpath "$2")" "$3"
}

# Wine's own processes (services, devices, the desktop) start with the first
# program of a session and write their troubles to its standard error: for
# tests that compare kairon-time's, they start with one whose errors nobody
# compares, and the server stays up so that they stay.
start_wine_processes() {
    wineserver -p
    wine cmd /c exit 0 </dev/null >/dev/null 2>>"$E2E_DIR/wine.err" || true
}

# time_output OUT ERR: kairon-time's output files as it wrote them, without
# Wine's CRs; lines of Wine's own about its processes move to wine.err,
# since they are not kairon-time's words.
time_output() {
    grep '^wine: ' "$2" >>"$E2E_DIR/wine.err" || true
    sed -i -e '/^wine: /d' -e 's/\r$//' "$2"
    sed -i 's/\r$//' "$1"
}

# run_time ARGS...: kairon-time with ARGS in the current folder; sets STATUS,
# its output in out.txt and err.txt (see time_output).
run_time() {
    STATUS=0
    wine "$KAIRON_TIME" "$@" </dev/null >out.txt 2>err.txt || STATUS=$?
    time_output out.txt err.txt
}

# config.txt in the current folder for kairon-time's options and APP, as
# Kairon's own writer writes it (kairon-time --save-config): unattended
# unless --attended. Settings the dialog would refuse are not written.
save_config() {
    wine "$KAIRON_TIME" --save-config config.txt "$@" </dev/null \
        >>"$E2E_DIR/wine.out" 2>"$E2E_DIR/save_config.err" ||
        fail "kairon-time --save-config $*: $(cat "$E2E_DIR/save_config.err")"
}

# config.txt in the current folder, one argument a line, CR LF line ends
# as a Windows editor writes them: for the files the writer never writes
# (settings the dialog refuses, or that only the dialog can hold), to see
# how Kairon takes them.
write_config() {
    : >config.txt
    local line
    for line in "$@"; do
        printf '%s\r\n' "$line" >>config.txt
    done
}

# Starts Kairon.exe in the current folder (so it reads config.txt there).
start_kairon() {
    wine "$KAIRON_EXE" </dev/null >>"$E2E_DIR/wine.out" 2>>"$E2E_DIR/wine.err" &
    E2E_KAIRON_PID=$!
}

# Waits up to $1 seconds for Kairon to end by itself; sets KAIRON_EXIT.
wait_kairon_exit() {
    local limit=$(( $1 * 10 )) waited=0
    while kill -0 "$E2E_KAIRON_PID" 2>/dev/null; do
        [ $waited -ge $limit ] && fail "Kairon.exe still running after $1 s"
        sleep 0.1
        waited=$((waited + 1))
    done
    KAIRON_EXIT=0
    wait "$E2E_KAIRON_PID" || KAIRON_EXIT=$?
    E2E_KAIRON_PID=""
}

# Starts the sample application outside Kairon; its arguments are passed on.
start_sample() {
    wine "$SAMPLE_APP" "$@" </dev/null >>"$E2E_DIR/wine.out" 2>>"$E2E_DIR/wine.err" &
}

# The sample application's record as one line per process, in the order
# the processes started: the events it received, without process ids and
# counter values ("start visible WM_CLOSE destroyed").
events_by_process() {
    awk '!($1 in seen) { seen[$1] = ++n; pid[n] = $1 }
         { events[$1] = events[$1] (events[$1] == "" ? "" : " ") \
               (($2 == "start" || $2 == "visible") ? $2 : substr($0, length($1) + 2)) }
         END { for (i = 1; i <= n; ++i) print events[pid[i]] }' "$1"
}

# Runs the driver with the script on stdin; its output goes to stdout. A
# failed command fails the test, with what the driver printed.
drive() {
    local out status=0
    out=$(wine "$GUI_DRIVER" 2>>"$E2E_DIR/wine.err") || status=$?
    printf '%s\n' "$out"
    if [ $status -ne 0 ]; then
        e2e_log "driver output:"
        printf '%s\n' "$out" >&2
        fail "the GUI driver failed (exit $status)"
    fi
}

# expect_same WHAT EXPECTED ACTUAL: exact comparison with a diff on failure.
expect_same() {
    if [ "$2" != "$3" ]; then
        e2e_log "$1 differs (- expected, + actual):"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") >&2 || true
        fail "$1"
    fi
}

# Waits up to $2 seconds until file $1 has a line matching regex $3.
wait_for_line() {
    local limit=$(( $2 * 10 )) waited=0
    until [ -f "$1" ] && grep -Eq "$3" "$1"; do
        [ $waited -ge $limit ] && fail "no line /$3/ in $1 within $2 s"
        sleep 0.1
        waited=$((waited + 1))
    done
}

# The log's bytes as lines, with each CR LF checked and taken off: fails if
# any line lacks its CR, or if the file does not end with CR LF.
log_lines() {
    local file=$1
    [ -s "$file" ] || fail "$file is missing or empty"
    [ "$(tail -c 2 "$file" | od -An -c | tr -d ' ')" = '\r\n' ] ||
        fail "$file does not end with CR LF"
    if LC_ALL=C grep -qv $'\r$' "$file"; then
        fail "$file has a line without CR: $(LC_ALL=C grep -nv $'\r$' "$file" | head -n 1)"
    fi
    tr -d '\r' <"$file"
}

# Whether a timing line's seconds lie in [low, high].
seconds_between() {
    awk -v s="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(s + 0 >= lo + 0 && s + 0 <= hi + 0) }'
}

# expect_timing_line LINE LOW HIGH: four decimals, within the bounds.
expect_timing_line() {
    [[ "$1" =~ ^[0-9]+\.[0-9]{4}$ ]] || fail "not a timing line: '$1'"
    seconds_between "$1" "$2" "$3" || fail "timing $1 s outside [$2, $3]"
}
