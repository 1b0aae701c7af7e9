#!/usr/bin/env bash
# Builds the settings-file fuzz target with clang (libFuzzer, ASan, UBSan)
# through the fuzz preset, so that its language level, warnings and
# sanitizers are the build's own, and runs it for a bounded time from the
# committed seed corpus.
#
#   KAIRON_FUZZ_SECONDS  how long to fuzz (default 30)
#   KAIRON_FUZZ_CXX      the clang++ to use (default: clang++)
#
# Exits non-zero if the build fails or the fuzzer finds a crash, a leak or
# a broken invariant; the failing input is left in build/fuzz/artifacts.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$here/build/fuzz"
seconds="${KAIRON_FUZZ_SECONDS:-30}"
cxx="${KAIRON_FUZZ_CXX:-clang++}"

cd "$here"
cmake --preset fuzz -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build --preset fuzz -j2

mkdir -p "$out/corpus" "$out/artifacts"

# New inputs go to build/fuzz/corpus; the committed seeds are only read.
# Inputs of several whole buffers are allowed from the start, so that lines
# longer than their fields, and files longer than one read, are exercised.
exec "$out/fuzz/config_file_fuzz" \
    -max_total_time="$seconds" \
    -max_len=12000 \
    -len_control=0 \
    -timeout=10 \
    -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/" \
    "$out/corpus" "$here/fuzz/corpus"
