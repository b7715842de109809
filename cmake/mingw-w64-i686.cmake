# Compile check for 32-bit Windows with Debian's MinGW-w64. SSE2 arithmetic
# keeps doubles at double precision (no x87 excess precision), so results
# would match the other builds.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KON2X_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
