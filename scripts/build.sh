# Sourced: configures and builds the builds below build/.
#   build/native  g++: the portable logic and its unit tests
#   build/win32   MinGW i686: the shipped programs, and their tests where the
#                 machine runs 32-bit programs
#   build/win64   MinGW x86_64: the same tree, for the Windows tests where it
#                 does not (ILVO_WINE_ARCH=win64)
ILVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc)"

# Each build_* function builds the targets it is given, or else everything.

# configure_and_build <build folder> <toolchain file, or empty> [target...]
configure_and_build() {
  local folder="$1" toolchain="$2"
  shift 2
  cmake -S "$ILVO_ROOT" -B "$folder" -DCMAKE_BUILD_TYPE=Release \
    ${toolchain:+-DCMAKE_TOOLCHAIN_FILE="$toolchain"} >/dev/null
  if [ $# -gt 0 ]; then
    cmake --build "$folder" -j "$JOBS" --target "$@"
  else
    cmake --build "$folder" -j "$JOBS"
  fi
}

build_native() { configure_and_build "$ILVO_ROOT/build/native" "" "$@"; }
build_win32() { configure_and_build "$ILVO_ROOT/build/win32" "$ILVO_ROOT/cmake/mingw-i686.cmake" "$@"; }
build_win64() { configure_and_build "$ILVO_ROOT/build/win64" "$ILVO_ROOT/cmake/mingw-x86_64.cmake" "$@"; }

# The build whose programs run under Wine here, build/$ILVO_WINE_ARCH
# (wine-env.sh sets ILVO_WINE_ARCH).
build_for_wine() {
  if [ "$ILVO_WINE_ARCH" = win64 ]; then build_win64 "$@"; else build_win32 "$@"; fi
}

# The i686 build, made on every machine, and the one whose programs run under
# Wine here when that is the x86_64 one.
build_windows() {
  build_win32
  if [ "$ILVO_WINE_ARCH" = win64 ]; then build_win64; fi
}
