#!/usr/bin/env bash
# Runs the Windows and end-to-end tests of build/$ILVO_WINE_ARCH under Wine
# (ctest -LE static), in one new prefix for the whole run on a private Xvfb,
# both ended when it ends. scripts/test.sh calls it on this machine, and in
# the virtual machine of scripts/vm32.sh for the shipped 32-bit build where
# this machine cannot run it. Screenshots go to $ILVO_SCREENSHOTS, by default
# build/screenshots.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/build.sh"
source "$here/wine-env.sh"

tests="$ILVO_ROOT/build/$ILVO_WINE_ARCH"
trap wine_env_stop EXIT
export ILVO_OWN_DISPLAY=1
now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

# A new prefix every run, so the registry starts clean; or one the caller
# has just copied from a skeleton (ILVO_PREFIX_LAID=1).
started="$(now)"
if [ "${ILVO_PREFIX_LAID:-}" != 1 ]; then rm -rf "$tests/wineprefix"; fi
wine_env_start "$tests/wineprefix"
prefix_seconds="$(seconds_since "$started")"
echo "Prefix ready in $prefix_seconds s"
# The end-to-end tests install into the root of a drive too.
wine_env_map_drive y "$tests/drive-y"
export ILVO_SCREENSHOTS="${ILVO_SCREENSHOTS:-$ILVO_ROOT/build/screenshots}"
mkdir -p "$ILVO_SCREENSHOTS"

started="$(now)"
set +e
# ILVO_TEST_EXCLUDE: a ctest -E pattern of test programs not run here.
exclude=()
if [ -n "${ILVO_TEST_EXCLUDE:-}" ]; then exclude=(-E "$ILVO_TEST_EXCLUDE"); fi
(cd "$tests" && ctest --output-on-failure --timeout "${ILVO_TEST_TIMEOUT:-600}" -LE static "${exclude[@]}")
result=$?
set -e
tests_seconds="$(seconds_since "$started")"
for shot in "$ILVO_SCREENSHOTS"/*.bmp; do
  if [ -e "$shot" ]; then /usr/bin/convert "$shot" "${shot%.bmp}.png"; fi
done
echo "Screenshots: $ILVO_SCREENSHOTS"
echo "Times ($ILVO_WINE_ARCH): prefix $prefix_seconds s, tests $tests_seconds s"
exit "$result"
