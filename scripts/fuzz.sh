#!/usr/bin/env bash
# Fuzzes the design data parser, the extractor stand-in's command-line parser
# and its ZIP reader with libFuzzer (clang, natively), each for a bounded time.
#   bash scripts/fuzz.sh [seconds per target, default 60]
# A crash leaves its input in build/fuzz/findings/ and fails the run; turn it
# into a test before fixing it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
seconds="${1:-60}"
bash "$here/setup.sh"

build="$root/build/fuzz"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DILVO_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz_design_data fuzz_command_line fuzz_zip_archive

mkdir -p "$build/findings"
seed() {  # seed corpus: files a target is expected to meet
  local dir="$build/corpus/$1"; mkdir -p "$dir"; shift
  for f in "$@"; do [ -f "$f" ] && cp "$f" "$dir/"; done
  return 0
}
seed fuzz_design_data "$root/installer/window/form1.design"
seed fuzz_command_line
printf '"C:\\Voices\\DATA\\Rar.exe" x -o+ "C:\\Voices\\DATA\\Ilvo.yin" "C:\\Voices\\"' \
  > "$build/corpus/fuzz_command_line/install-line"
seed fuzz_zip_archive "$build/../native/sample/Ilvo-damaged.yin"

status=0
for target in fuzz_design_data fuzz_command_line fuzz_zip_archive; do
  echo "== $target for ${seconds}s"
  exe="$(find "$build" -name "$target" -type f -perm -u+x | head -n 1)"
  if ! "$exe" -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix="$build/findings/$target-" "$build/corpus/$target" 2>"$build/$target.log"; then
    echo "$target found a crash: see $build/findings/ and $build/$target.log"
    status=1
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$build/$target.log" || true
done
exit $status
