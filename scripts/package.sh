#!/usr/bin/env bash
# Builds the release (the 32-bit product, Kairon.exe; kairon-time.exe and
# kairon-report.exe from the 64-bit build; the 32-bit kairon-time as
# kairon-time32.exe; all Release) and packs it:
# build/package/Kairon-<version>-win32.zip and build/package/SHA256SUMS.
# Installs what the machine lacks first. Runs on any host: packing needs no
# Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target Kairon kairon-time
cmake --preset windows64 >/dev/null
cmake --build --preset windows64 -j2 --target kairon-report kairon-time
rm -rf build/package
(cd build/windows && cpack --config CPackConfig.cmake >/dev/null)
cd build/package
zip="$(ls Kairon-*-win32.zip)"
sha256sum "$zip" > SHA256SUMS
echo "wrote build/package/$zip"
cat SHA256SUMS
