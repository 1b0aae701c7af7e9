#!/usr/bin/env bash
# The release zip's own example, as a new user runs it: the zip unpacked,
# its config-example.txt copied as config.txt into a folder of its own, the
# zip's Kairon.exe started there. It must time three launches of Notepad by
# itself, close each, and end with exit code 0, leaving the log beside
# config.txt: an example that needed a path no machine has would leave
# Kairon waiting on a warning box. The zip is packed from this build
# (KAIRON_ZIP names one to use instead); a 64-bit build, which is never the
# product and has no zip, lays out the same two files itself.
. "$(dirname "$0")/lib.sh"
e2e_begin
zip="${KAIRON_ZIP:-}"
if [ -z "$zip" ] && [ -f "$KAIRON_BUILD_DIR/CPackConfig.cmake" ]; then
    cpack --config "$KAIRON_BUILD_DIR/CPackConfig.cmake" -B "$E2E_DIR/pack" \
        >"$E2E_DIR/cpack.out" 2>&1 || fail "cpack: $(tail -n 5 "$E2E_DIR/cpack.out")"
    zip=$(ls "$E2E_DIR"/pack/Kairon-*-win32.zip)
fi
if [ -n "$zip" ]; then
    python3 -m zipfile -e "$zip" unpacked
else
    e2e_log "no zip in this build: its Kairon.exe and package/config-example.txt instead"
    mkdir unpacked
    cp "$KAIRON_EXE" unpacked/Kairon.exe
    sed 's/$/\r/' "$(dirname "$0")/../../package/config-example.txt" >unpacked/config-example.txt
fi
mkdir example
cp unpacked/config-example.txt example/config.txt
cd example
KAIRON_EXE="$E2E_DIR/unpacked/Kairon.exe"
start_kairon
wait_kairon_exit 120
[ "$KAIRON_EXIT" -eq 0 ] || fail "Kairon.exe ended with exit code $KAIRON_EXIT"
mapfile -t lines < <(log_lines notepad-startup.txt)
[ "${#lines[@]}" -eq 4 ] || fail "the log has ${#lines[@]} lines: $(printf '[%s]' "${lines[@]}")"
expect_same "the log's header" 'C:\Windows\notepad.exe - 3 executions' "${lines[0]}"
for line in "${lines[@]:1}"; do
    expect_timing_line "$line" 0.0001 30
done
