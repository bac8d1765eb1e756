#!/usr/bin/env bash
# Makes the pictures the README shows, in docs/: the installer window absent,
# installed and busy during an install, and the control gallery. They are the
# screenshots the end-to-end and gallery tests take of the real programs
# under Wine on a private Xvfb, turned into small PNG files.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
source "$here/build.sh"
source "$here/wine-env.sh"

echo "== Windows build"
build_for_wine

tests="$ILVO_ROOT/build/$ILVO_WINE_ARCH"
shots="$ILVO_ROOT/build/pictures"
rm -rf "$shots" "$tests/wineprefix-pictures"
mkdir -p "$shots"
trap wine_env_stop EXIT
export ILVO_OWN_DISPLAY=1 ILVO_SCREENSHOTS="$shots"
wine_env_start "$tests/wineprefix-pictures"
(cd "$tests" && ctest --output-on-failure --timeout 600 -R '^(installer_e2e_tests|gallery_tests)$')

docs="$ILVO_ROOT/docs"
mkdir -p "$docs"
for name in state2-absent state1-installed installing gallery-main; do
  /usr/bin/convert "$shots/$name.bmp" -strip "$docs/$name.png"
done
ls -l "$docs"/*.png
