#!/usr/bin/env bash
# Builds the Windows build and runs the benchmarks of the real installer
# under Wine on a private display, then prints their table. Not a test: the
# figures depend on the machine and on whatever else runs on it.
#   ILVO_BENCH_RUNS=N        runs per figure (default 5)
#   ILVO_BENCH_LARGE_RUNS=N  runs of the 1 GiB install (default 3)
#   ILVO_BENCH_ONLY=wait|message|startup  one group of figures, no 1 GiB install
# The goals are ratios to yardsticks measured in the same run: the wait to a
# window that only redraws the bar's strip every 30 ms (bench/floor_window.cpp),
# the end message and the start-up to a bare window (bench/bare_window.cpp).
# The 1 GiB archive is made once and kept in build/bench-run/; the Wine prefix
# build/bench-run/wineprefix-<arch> can be deleted at any time.
# It measures the build this machine's Wine runs: the shipped 32-bit one, or
# its x86_64 twin where the machine cannot run 32-bit programs (ILVO_WINE_ARCH
# forces either); the table's heading names it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
source "$here/build.sh"
source "$here/wine-env.sh"

runs="${ILVO_BENCH_RUNS:-5}"
large_runs="${ILVO_BENCH_LARGE_RUNS:-3}"
only="${ILVO_BENCH_ONLY:-}"

echo "== Windows build"
build_windows

run_dir="$ILVO_ROOT/build/bench-run"
mkdir -p "$run_dir"
large="$run_dir/Ilvo-1GiB.yin"
free_mb() { df -Pm "$run_dir" | awk 'NR == 2 { print $4 }'; }

# The archive (about 800 MB) and one extraction of it (1 GiB) at a time, with room to spare.
large_args=()
only_args=()
if [ -n "$only" ]; then
  only_args=(--only "$only")
elif [ ! -f "$large" ]; then
  if [ "$(free_mb)" -ge 3072 ]; then
    echo "== Making the 1 GiB voice archive (once): $large"
    python3 "$ILVO_ROOT/tools/rar_standin/make_voice_archive.py" --size-mb 1024 --output "$large"
  else
    echo "bench: only $(free_mb) MB free below $run_dir; the 1 GiB archive and its extraction need about 3 GB." \
         "The 1 GiB install is skipped." >&2
  fi
fi
if [ -z "$only" ] && [ -f "$large" ]; then
  if [ "$(free_mb)" -ge 2048 ]; then
    large_args=(--large-archive "$large" --large-runs "$large_runs")
  else
    echo "bench: only $(free_mb) MB free below $run_dir; extracting 1 GiB needs about 2 GB." \
         "The 1 GiB install is skipped." >&2
  fi
fi

echo "== Benchmarks under Wine ($runs runs per figure, $large_runs of the 1 GiB install)"
trap wine_env_stop EXIT
export ILVO_OWN_DISPLAY=1
wine_env_start "$run_dir/wineprefix-$ILVO_WINE_ARCH"
b="$ILVO_ROOT/build/$ILVO_WINE_ARCH"
status=0
echo "Load average before: $(cut -d ' ' -f 1-3 /proc/loadavg)"
timeout 7200 "$ILVO_WINE" "$b/bench/installer_bench.exe" \
  --installer "$b/installer/window/IlvoInstaller.exe" \
  --extractor "$b/tools/rar_standin/Rar.exe" \
  --archive "$b/sample/Ilvo.yin" \
  --bare "$b/bench/bare_window.exe" \
  --floor "$b/bench/floor_window.exe" \
  --runs "$runs" "${large_args[@]}" "${only_args[@]}" || status=$?
echo
echo "Load average after: $(cut -d ' ' -f 1-3 /proc/loadavg) (2 cores; above 2, other work competed with the runs)"
echo "Re-run: bash scripts/bench.sh   (ILVO_BENCH_RUNS=N and ILVO_BENCH_LARGE_RUNS=N set the run counts;" \
     "ILVO_BENCH_ONLY=wait|message|startup runs one group)"
exit "$status"
