#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with Clang into build-fuzz and runs each one for
# SECONDS (default 60) on its seed corpus. New inputs go to build-fuzz/corpus/<target>
# (kept between runs, never into the tree); a crash, leak, time-out or out-of-memory input
# is saved as build-fuzz/findings/<target>/<kind>-<hash> and the script exits 1 after
# running the rest.
#
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
#   SECONDS  run time of each target (default 60)
#   TARGET   run only these (fuzz_profile_keyboard, fuzz_link_replies, ...)
# Reproduce a finding: build-fuzz/bin/<target> <file>
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
case "$seconds" in
  '' | *[!0-9]*)
    echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2
    exit 2
    ;;
esac
[ $# -gt 0 ] && shift

if [ ! -f build-fuzz/build.ninja ]; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DREROV_FUZZ=ON -DREROV_BUILD_TESTS=OFF -DREROV_BUILD_BENCH=OFF
fi
cmake --build build-fuzz --target fuzz_targets --parallel "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for seeds in fuzz/corpus/*/; do
    targets+=("$(basename "$seeds")")
  done
fi

# The sanitizers' reports must end the run (a leak included); symbolised stacks for the log.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=()
for target in "${targets[@]}"; do
  program="build-fuzz/bin/$target"
  if [ ! -x "$program" ]; then
    echo "fuzz: no target $target" >&2
    failed+=("$target")
    continue
  fi
  work="build-fuzz/corpus/$target"
  findings="build-fuzz/findings/$target"
  mkdir -p "$work" "$findings"
  echo "fuzz: $target for ${seconds}s"
  # One process, one job: CI has two cores and the targets run one after the other.
  # A profile document is a few hundred KiB at most; 256 KiB inputs reach every section.
  if "$program" "$work" "fuzz/corpus/$target" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=262144 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"build-fuzz/$target.log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "build-fuzz/$target.log" | tail -n 2 || true
  else
    echo "fuzz: $target FAILED; log build-fuzz/$target.log, input in $findings/" >&2
    grep -E '^==[0-9]+==ERROR|^SUMMARY|runtime error|^ALARM|out-of-memory' "build-fuzz/$target.log" | head -n 5 >&2 || true
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: ${#targets[@]} targets ran ${seconds}s each without a finding"
