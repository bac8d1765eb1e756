# Cross build for 32-bit Windows with MinGW-w64 (posix thread model, for std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# Floating point in SSE2 doubles, as the x86_64 build and the native tests
# compute it. Left to the x87 unit, intermediate results keep extended
# precision and a value that lands exactly on an edge in double arithmetic
# (a progress bar's block target, a gradient's last line) can come out a hair
# to one side of it, so the program we ship would draw differently from the
# one tested elsewhere. SSE2 is there on every processor that runs Windows 8
# or later, and on every x86-64 one.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
