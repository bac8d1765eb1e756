#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests, then the
# Windows tests and the end-to-end tests under Wine with a private display.
# The Windows tests run in build/win32, or in build/win64 where this machine
# cannot run 32-bit programs (ILVO_WINE_ARCH=win32|win64 forces either); there
# the build/win32 ones then run in a virtual machine (scripts/vm32.sh) that
# can.
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
bash "$here/wine-tests.sh"

# Where this machine cannot run 32-bit programs, the tests above ran the
# x86_64 twin. The build we ship runs too, in an emulated x86-64 machine
# whose kernel can (scripts/vm32.sh), with the same set of tests.
if [ "$ILVO_MACHINE_RUNS_32BIT" = no ]; then
  echo "== The shipped 32-bit build (build/win32) under 32-bit Wine, in a virtual x86-64 machine (qemu-system-x86_64, TCG)"
  if [ "${ILVO_VM32:-1}" = 0 ]; then
    echo "Skipped: ILVO_VM32=0"
  else
    started="$(date +%s)"
    # One new prefix for the whole run. Longer limits per test and per wait:
    # the processor is emulated. The crash matrix (a run of the program for
    # every step of every operation) stays with the x86_64 run above.
    (cd "$ILVO_ROOT/build" &&
      bash "$here/vm32.sh" --timeout "${ILVO_VM32_TIMEOUT:-3000}" -- \
        env ILVO_WINE_ARCH=win32 \
            ILVO_SCREENSHOTS="$ILVO_ROOT/build/screenshots/win32" ILVO_TEST_TIMEOUT=1800 ILVO_WAIT_SCALE=4 \
            ILVO_TEST_EXCLUDE='^crash_matrix_e2e_tests$' \
            bash "$here/wine-tests.sh")
    echo "Virtual machine run of build/win32: $(( $(date +%s) - started )) s in all"
  fi
fi
