# Cross-compiles Kairon's sources for 64-bit Windows with MinGW-w64 and runs
# the resulting programs (tests included) under 64-bit Wine. Its
# kairon-time.exe and kairon-report.exe are the release's; its Kairon.exe is
# never the product: it exists so that hosts that cannot start 32-bit
# programs (and so cannot run 32-bit Wine) still run the whole Windows suite.
set(KAIRON_MINGW_PROCESSOR x86_64)
set(KAIRON_WINE_BITS 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
