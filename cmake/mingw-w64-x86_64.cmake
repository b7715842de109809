# Cross-build for 64-bit Windows with Debian's MinGW-w64; the programs run
# here under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KON2X_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
