# Sourced: configures and builds the builds below build/.
#   build/native  g++: the portable logic and its unit tests
#   build/win32   MinGW i686: the shipped programs, and their tests where the
#                 machine runs 32-bit programs
#   build/win64   MinGW x86_64: the same tree, for the Windows tests where it
#                 does not (ILVO_WINE_ARCH=win64)
ILVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc)"

build_native() {
  cmake -S "$ILVO_ROOT" -B "$ILVO_ROOT/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$ILVO_ROOT/build/native" -j "$JOBS"
}

build_win32() {
  cmake -S "$ILVO_ROOT" -B "$ILVO_ROOT/build/win32" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ILVO_ROOT/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$ILVO_ROOT/build/win32" -j "$JOBS"
}

build_win64() {
  cmake -S "$ILVO_ROOT" -B "$ILVO_ROOT/build/win64" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ILVO_ROOT/cmake/mingw-x86_64.cmake" >/dev/null
  cmake --build "$ILVO_ROOT/build/win64" -j "$JOBS"
}

# The build whose programs run under Wine on this machine: build/$ILVO_WINE_ARCH
# (wine-env.sh sets ILVO_WINE_ARCH). The i686 build is made on every machine.
build_windows() {
  build_win32
  if [ "$ILVO_WINE_ARCH" = win64 ]; then build_win64; fi
}
