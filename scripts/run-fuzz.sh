#!/usr/bin/env bash
# Builds the settings-file fuzz target with clang (libFuzzer, ASan, UBSan)
# and runs it for a bounded time from the committed seed corpus.
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

mkdir -p "$out/corpus" "$out/artifacts"

"$cxx" -std=c++17 -g -O1 -Wall -Wextra -Werror \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -fno-omit-frame-pointer -I "$here" \
    "$here/fuzz/config_file_fuzz.cpp" "$here/config/config_file.cpp" \
    "$here/ui/config_fields.cpp" \
    "$here/tests/fake_platform.cpp" \
    -o "$out/config_file_fuzz"

# New inputs go to build/fuzz/corpus; the committed seeds are only read.
# Inputs of several whole buffers are allowed from the start, so that lines
# longer than their fields, and files longer than one read, are exercised.
exec "$out/config_file_fuzz" \
    -max_total_time="$seconds" \
    -max_len=12000 \
    -len_control=0 \
    -timeout=10 \
    -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/" \
    "$out/corpus" "$here/fuzz/corpus"
