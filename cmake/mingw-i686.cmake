# Cross-compiles Kairon for 32-bit Windows with MinGW-w64, the product, and
# runs the resulting programs (tests included) under 32-bit Wine.
set(KAIRON_MINGW_PROCESSOR i686)
set(KAIRON_WINE_BITS 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
