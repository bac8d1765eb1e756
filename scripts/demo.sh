#!/usr/bin/env bash
# Builds the installer and starts it in a demo application folder under Wine.
# With a display (DISPLAY set) the window opens there; without one it runs on a
# private Xvfb, a screenshot of the window is saved and the program is closed.
#
# ILVO_WINE_ARCH=win32 on a machine that cannot run 32-bit programs runs the
# shipped 32-bit build in the virtual machine of scripts/vm32.sh instead; its
# window cannot reach this machine's display, so it always runs on the
# machine's own Xvfb there and the screenshot is saved.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${ILVO_DEMO_IN_VM32:-}" ]; then
  bash "$here/setup.sh"
fi
source "$here/build.sh"
if [ "${ILVO_WINE_ARCH:-}" = win32 ] && [ -z "${ILVO_DEMO_IN_VM32:-}" ] &&
   ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  build_win32
  echo "Windows path: win32 in a virtual x86-64 machine (scripts/vm32.sh), this machine cannot run 32-bit programs (/lib/ld-linux.so.2 --version fails)"
  cd "$ILVO_ROOT/build"
  exec bash "$here/vm32.sh" --timeout 1800 -- env -u DISPLAY ILVO_DEMO_IN_VM32=1 bash "$here/demo.sh"
fi
source "$here/wine-env.sh"
if [ -z "${ILVO_DEMO_IN_VM32:-}" ]; then build_windows; fi

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
  # The window shows within seconds here, within a minute or two in the
  # emulated machine.
  waits=100
  if [ -n "${ILVO_DEMO_IN_VM32:-}" ]; then shot="$demo/screenshot-win32-vm.png" waits=900; fi
  for _ in $(seq 1 "$waits"); do
    if xdotool search --name "Ilvo - " >/dev/null 2>&1; then break; fi
    sleep 0.2
  done
  if [ -n "${ILVO_DEMO_IN_VM32:-}" ]; then sleep 5; else sleep 1; fi
  /usr/bin/import -window root -crop 480x320+0+0 +repage "$shot"
  echo "No display: the window ran on a private Xvfb; screenshot saved to $shot"
  kill "$runner" 2>/dev/null || true
fi
