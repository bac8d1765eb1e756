#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, then the
# Windows tests and the end-to-end tests under Wine with a private display.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
source "$here/build.sh"
source "$here/wine-env.sh"

echo "== native build and unit tests"
build_native
(cd "$ILVO_ROOT/build/native" && ctest --output-on-failure -j "$JOBS")

echo "== Windows build"
build_win32

echo "== Windows and end-to-end tests under Wine"
trap wine_env_stop EXIT
export ILVO_OWN_DISPLAY=1
# A new prefix every run, so the registry starts clean.
rm -rf "$ILVO_ROOT/build/win32/wineprefix"
wine_env_start "$ILVO_ROOT/build/win32/wineprefix"
# The end-to-end tests install into the root of a drive too.
wine_env_map_drive y "$ILVO_ROOT/build/win32/drive-y"
mkdir -p "$ILVO_ROOT/build/screenshots"
export ILVO_SCREENSHOTS="$ILVO_ROOT/build/screenshots"
(cd "$ILVO_ROOT/build/win32" && ctest --output-on-failure --timeout 600)
for shot in "$ILVO_SCREENSHOTS"/*.bmp; do
  if [ -e "$shot" ]; then /usr/bin/convert "$shot" "${shot%.bmp}.png"; fi
done
echo "Screenshots: $ILVO_SCREENSHOTS"
