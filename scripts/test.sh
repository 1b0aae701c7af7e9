#!/usr/bin/env bash
# Builds Kairon natively and for Windows and runs every test: the unit tests
# natively (with AddressSanitizer and UBSan) and under Wine, the Win32 and
# end-to-end tests under Wine in a private Xvfb, and a bounded fuzz run of
# the settings-file reader. Installs what the machine lacks first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== native build and unit tests (sanitizers on)"
cmake --preset native >/dev/null
cmake --build --preset native -j2
ctest --preset native

echo "== fuzzing the settings-file reader (bounded: KAIRON_FUZZ_SECONDS, default 30)"
bash scripts/run-fuzz.sh

echo "== Windows build and tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2
(
  source scripts/wine-session.sh
  ctest --preset windows
)

echo "== all tests passed"
