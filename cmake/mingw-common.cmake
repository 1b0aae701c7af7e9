# The MinGW-w64 cross build shared by both Windows toolchains. The including
# file sets KAIRON_MINGW_PROCESSOR (i686 or x86_64) and KAIRON_WINE_BITS
# (the Wine its programs run under).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KAIRON_MINGW_PROCESSOR})
set(KAIRON_MINGW_TRIPLET ${KAIRON_MINGW_PROCESSOR}-w64-mingw32)

# The posix thread model: GoogleTest needs std::mutex, which the win32
# model's compilers lack.
set(CMAKE_C_COMPILER ${KAIRON_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KAIRON_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KAIRON_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KAIRON_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Wine finds no MinGW runtime DLLs, so everything is linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs (tests included) run under the Wine of their own kind.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env KAIRON_WINE_BITS=${KAIRON_WINE_BITS}
    "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
