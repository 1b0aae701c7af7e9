#!/usr/bin/env bash
# Builds Kairon natively and for Windows and runs every test: the unit tests
# natively (with AddressSanitizer and UBSan) and under Wine, the Win32 and
# end-to-end tests under Wine in a private Xvfb, and a bounded fuzz run of
# the settings-file reader; then packs the release zip and checks it.
# Installs what the machine lacks first.
#
# Both Windows builds are made on every host, so the 32-bit product keeps
# compiling warning-free everywhere. The whole Windows suite runs under the
# Wine this host can start (scripts/wine-env.sh decides; KAIRON_WINE_BITS=64
# forces the 64-bit build); where the other kind of Wine starts too, the
# other build's unit, Win32 and report tests and kairon-time's end-to-end
# tests (label e2e-time) run under it as well, so that a fault of either path
# shows on either kind of host, and the zip's 64-bit kairon-time is timed
# everywhere. What a host cannot run is reported as skipped, with the reason.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== native build and unit tests (sanitizers on)"
cmake --preset native >/dev/null
cmake --build --preset native -j2
ctest --preset native -j2

echo "== fuzzing the settings-file reader (bounded: KAIRON_FUZZ_SECONDS, default 30)"
bash scripts/run-fuzz.sh

for preset in windows windows64; do
  echo "== Windows build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
done

echo "== release package"
bash scripts/package.sh
bash tests/package/check_package.sh

# The Windows tests of one build under its own Wine: windows_tests BITS
# [CTEST OPTIONS...]. A subshell, so each kind gets its own Wine, prefix and
# X server.
windows_tests() {
  (
    export KAIRON_WINE_BITS="$1"
    shift
    source scripts/wine-env.sh
    export KAIRON_WINEPREFIX="$WINEPREFIX"
    kairon_session_begin
    ctest --preset "$KAIRON_WINE_PRESET" "$@"
  )
}

source scripts/wine-env.sh
choice="Windows tests: $KAIRON_WINE_CHOICE"
echo "== $choice"
if [ "$KAIRON_WINE_OK" != 1 ]; then
  echo "FAILED: no Windows test could run. $choice" >&2
  exit 1
fi
windows_tests "$KAIRON_WINE_BITS"

other_bits=$((96 - KAIRON_WINE_BITS))
read -r other_ok other_choice <<<"$(unset KAIRON_WINE_CHOSEN_BITS
  KAIRON_WINE_BITS=$other_bits source scripts/wine-env.sh && echo "$KAIRON_WINE_OK $KAIRON_WINE_CHOICE")"
if [ "$other_ok" = 1 ]; then
  other="Windows tests but Kairon.exe's end-to-end ones: $other_bits-bit build under $other_bits-bit Wine (it starts here too)"
  echo "== $other"
  windows_tests "$other_bits" -LE '^e2e$'
else
  other="skipped: the $other_bits-bit build's Windows tests, because ${other_choice#none: }"
  echo "== $other"
fi

echo "== $choice"
echo "== $other"
echo "== all tests passed"
