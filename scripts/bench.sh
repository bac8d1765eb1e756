#!/usr/bin/env bash
# Builds the Windows build and runs the benchmarks of the real installer
# under Wine on a private display, then prints their table. Not a test: the
# figures depend on the machine and on whatever else runs on it.
#   ILVO_BENCH_RUNS=N        runs per figure (default 5)
#   ILVO_BENCH_LARGE_RUNS=N  runs of the 1 GiB install (default 3)
#   ILVO_BENCH_ONLY=wait|message|startup|frames  one group of figures, no 1 GiB install;
#                            large: the 1 GiB install alone
#   ILVO_BENCH_INSTALLER=EXE another IlvoInstaller.exe to measure (an older build,
#                            for a before-and-after table), with this build's yardsticks
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
  [ "$only" = frames ] || only_args=(--only "$only")
fi
if { [ -z "$only" ] || [ "$only" = large ]; } && [ ! -f "$large" ]; then
  if [ "$(free_mb)" -ge 3072 ]; then
    echo "== Making the 1 GiB voice archive (once): $large"
    python3 "$ILVO_ROOT/tools/rar_standin/make_voice_archive.py" --size-mb 1024 --output "$large"
  else
    echo "bench: only $(free_mb) MB free below $run_dir; the 1 GiB archive and its extraction need about 3 GB." \
         "The 1 GiB install is skipped." >&2
  fi
fi
if { [ -z "$only" ] || [ "$only" = large ]; } && [ -f "$large" ]; then
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
# installer_bench <more options>: the benchmark on this build's programs.
installer_bench() {
  timeout 7200 "$ILVO_WINE" "$b/bench/installer_bench.exe" \
    --installer "${ILVO_BENCH_INSTALLER:-$b/installer/window/IlvoInstaller.exe}" \
    --extractor "$b/tools/rar_standin/Rar.exe" \
    --archive "$b/sample/Ilvo.yin" \
    --bare "$b/bench/bare_window.exe" \
    --floor "$b/bench/floor_window.exe" "$@"
}
if [ "$only" != frames ]; then
  installer_bench --runs "$runs" "${large_args[@]}" "${only_args[@]}" || status=$?
fi

# Round trips per steady 30 ms frame, counted from outside: every thread of
# the program under strace for a few seconds once it animates steadily (the
# benchmark tells when, in "<name>.steady"). A write to a pipe is a request
# to the Wine server, a write to a socket one to the X server. The counts do
# not depend on the machine's speed or load, as the times above do.
count_frames() {
  local folder="$1" name="$2" pattern="$3" seconds=3 pid log
  for _ in $(seq 600); do [ -f "$folder/$name.steady" ] && break; sleep 0.1; done
  [ -f "$folder/$name.steady" ] || { echo "frames: $name never became steady" >&2; return 1; }
  pid="$(pgrep -f "$pattern" | head -n 1)"
  [ -n "$pid" ] || { echo "frames: no process for $name" >&2; touch "$folder/$name.counted"; return 1; }
  log="$folder/$name.strace"
  timeout -s INT "$seconds" strace -f -qq -y -e trace=write,writev,sendmsg -o "$log" -p "$pid" || true
  touch "$folder/$name.counted"
  awk -v name="$name" -v frames="$((seconds * 1000 / 30))" '
    / (write|writev)\([0-9]+<pipe:/ { server++ }
    / (write|writev|sendmsg)\([0-9]+<(UNIX|socket):/ { x11++ }
    END { printf "%-24s %6.1f to the Wine server, %5.1f to the X server\n", name, server / frames, x11 / frames }' "$log"
}

if [ -z "$only" ] || [ "$only" = frames ]; then
  frames_dir="$run_dir/frames"
  rm -rf "$frames_dir" && mkdir -p "$frames_dir"
  echo
  echo "Requests per steady 30 ms frame (strace, 3 s of each program's steady animation):"
  installer_bench --only frames --frames-folder "$frames_dir" &
  holder=$!
  count_frames "$frames_dir" floor '^[A-Z]:.*\\FloorWindow\.exe' || status=1
  count_frames "$frames_dir" installer '^[A-Z]:.*\\IlvoInstaller\.exe' || status=1
  count_frames "$frames_dir" installer-pointer-away '^[A-Z]:.*\\IlvoInstaller\.exe' || status=1
  wait "$holder" || status=1
fi

echo
echo "Load average after: $(cut -d ' ' -f 1-3 /proc/loadavg) (2 cores; above 2, other work competed with the runs)"
echo "Re-run: bash scripts/bench.sh   (ILVO_BENCH_RUNS=N and ILVO_BENCH_LARGE_RUNS=N set the run counts;" \
     "ILVO_BENCH_ONLY=wait|message|startup|large|frames runs one group; ILVO_BENCH_INSTALLER=EXE measures another build)"
exit "$status"
