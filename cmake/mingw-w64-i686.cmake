# Compile check for 32-bit Windows with Debian's MinGW-w64. SSE2 arithmetic
# keeps doubles at double precision (no x87 excess precision), so results
# match the other builds.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KON2X_MINGW_PREFIX i686-w64-mingw32)

set(CMAKE_C_COMPILER ${KON2X_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KON2X_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KON2X_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KON2X_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
