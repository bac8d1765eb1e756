#!/usr/bin/env bash
# Builds ControlGallery.exe and starts it under Wine: the push buttons, the
# progress bars in every look with the busy runner, and QORSkin on two windows
# (its defaults, and ChangeSize False) to try by hand. With a display (DISPLAY
# set) the windows open there; without one they run on a private Xvfb, a
# screenshot is saved after a few seconds and the program is ended.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
source "$here/build.sh"
source "$here/wine-env.sh"

# Only the gallery, in the build whose programs run under Wine here.
build_for_wine ControlGallery
build="$ILVO_ROOT/build/$ILVO_WINE_ARCH"
exe="$build/controls/gallery/ControlGallery.exe"

out="$ILVO_ROOT/build/gallery"
mkdir -p "$out"
trap wine_env_stop EXIT
had_display="${DISPLAY:-}"
# One prefix per architecture: a prefix is made for one and cannot change.
wine_env_start "$out/wineprefix-$ILVO_WINE_ARCH"
if [ -n "$had_display" ]; then
  "$ILVO_WINE" "$exe"
else
  "$ILVO_WINE" "$exe" &
  runner=$!
  shot="$out/screenshot.png"
  for _ in $(seq 1 100); do
    if xdotool search --name "^ControlGallery$" >/dev/null 2>&1; then break; fi
    sleep 0.2
  done
  sleep 2
  /usr/bin/import -window root "$shot"
  echo "No display: the gallery ran on a private Xvfb; screenshot saved to $shot"
  kill "$runner" 2>/dev/null || true
fi
