#!/usr/bin/env bash
# Makes dist/, the folder a publisher ships: the 32-bit IlvoInstaller.exe, a
# DATA folder with a note saying that Rar.exe and Ilvo.yin go there, and a
# README.txt in Chinese and English. The publisher adds the voice bank's
# Rar.exe and Ilvo.yin to DATA\ and ships the folder.
#   bash scripts/release.sh [target folder]   (default: dist/ in the tree)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
source "$here/build.sh"

dist="${1:-$ILVO_ROOT/dist}"
build="$ILVO_ROOT/build/win32"
echo "== 32-bit build of IlvoInstaller.exe"
build_win32 IlvoInstaller

echo "== $dist"
rm -rf "$dist"
cmake --install "$build" --component release --prefix "$dist"
(cd "$dist" && find . -type f | sort)
