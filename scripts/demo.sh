#!/usr/bin/env bash
# Builds the installer and starts it in a demo application folder under Wine.
# With a display (DISPLAY set) the window opens there; without one it runs on a
# private Xvfb, a screenshot of the window is saved and the program is closed.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
source "$here/build.sh"
source "$here/wine-env.sh"
build_windows

# The build this machine's Wine runs: the shipped 32-bit one, or its x86_64
# twin where the machine cannot run 32-bit programs.
built="$ILVO_ROOT/build/$ILVO_WINE_ARCH"
demo="$ILVO_ROOT/build/demo"
app="$demo/Ilvo 演示"
mkdir -p "$app/DATA"
cp "$built/installer/window/IlvoInstaller.exe" "$app/"
cp "$built/tools/rar_standin/Rar.exe" "$app/DATA/Rar.exe"
cp "$built/sample/Ilvo.yin" "$app/DATA/Ilvo.yin"

trap wine_env_stop EXIT
had_display="${DISPLAY:-}"
# One prefix per architecture: a prefix is made for one and cannot change.
wine_env_start "$demo/wineprefix-$ILVO_WINE_ARCH"
echo "Demo application folder: $app"
cd "$app"
if [ -n "$had_display" ]; then
  "$ILVO_WINE" IlvoInstaller.exe
else
  "$ILVO_WINE" explorer /desktop=IlvoDemo,480x320 IlvoInstaller.exe &
  runner=$!
  shot="$demo/screenshot.png"
  for _ in $(seq 1 100); do
    if xdotool search --name "Ilvo - " >/dev/null 2>&1; then break; fi
    sleep 0.2
  done
  sleep 1
  /usr/bin/import -window root -crop 480x320+0+0 +repage "$shot"
  echo "No display: the window ran on a private Xvfb; screenshot saved to $shot"
  kill "$runner" 2>/dev/null || true
fi
