# Cross-build for WebAssembly (wasm32-wasi, WASI preview 1) with Debian's
# clang-19, lld-19 and the libc++-19 wasm32 packages; the programs run under
# node:wasi here and in the browser page. The target has no threads and no
# exceptions, and its libc++ has no std::from_chars for double.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_C_COMPILER clang-19)
set(CMAKE_CXX_COMPILER clang++-19)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(KON2X_WASI ON)
set(KON2X_THREADS OFF CACHE BOOL "" FORCE)
set(KON2X_EXCEPTIONS OFF CACHE BOOL "" FORCE)
set(KON2X_FROM_CHARS OFF CACHE BOOL "" FORCE)
set(KON2X_TESTS OFF CACHE BOOL "" FORCE)

# The stack first, so that an overflow traps instead of overwriting static
# data; 1 MiB of it. A fixed memory limit (2 GiB), so that running out of
# memory happens at the same size in every host.
set(KON2X_WASI_MEMORY 2147483648 CACHE STRING "The programs' memory limit in bytes (a multiple of 64 KiB)")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--stack-first -Wl,-z,stack-size=1048576 -Wl,--strip-all")
