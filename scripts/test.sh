#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, then the
# Windows tests and the end-to-end tests under Wine with a private display.
# The Windows tests run in build/win32, or in build/win64 where this machine
# cannot run 32-bit programs (ILVO_WINE_ARCH=win32|win64 forces either).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
source "$here/build.sh"
source "$here/wine-env.sh"

echo "== native build and unit tests"
build_native
(cd "$ILVO_ROOT/build/native" && ctest --output-on-failure -j "$JOBS")

echo "== Windows builds"
build_windows

# The shipped 32-bit programs are checked on every machine, without running them.
echo "== Checks of the shipped 32-bit programs"
(cd "$ILVO_ROOT/build/win32" && ctest --output-on-failure -L static)

echo "== Windows and end-to-end tests under Wine ($ILVO_WINE_ARCH)"
tests="$ILVO_ROOT/build/$ILVO_WINE_ARCH"
trap wine_env_stop EXIT
export ILVO_OWN_DISPLAY=1
# A new prefix every run, so the registry starts clean.
rm -rf "$tests/wineprefix"
wine_env_start "$tests/wineprefix"
# The end-to-end tests install into the root of a drive too.
wine_env_map_drive y "$tests/drive-y"
mkdir -p "$ILVO_ROOT/build/screenshots"
export ILVO_SCREENSHOTS="$ILVO_ROOT/build/screenshots"
(cd "$tests" && ctest --output-on-failure --timeout 600 -LE static)
for shot in "$ILVO_SCREENSHOTS"/*.bmp; do
  if [ -e "$shot" ]; then /usr/bin/convert "$shot" "${shot%.bmp}.png"; fi
done
echo "Screenshots: $ILVO_SCREENSHOTS"
