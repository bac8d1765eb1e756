# Sourced: configures and builds both builds below build/.
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
