#!/bin/bash
# Usage: fuzz.sh SECONDS [report]
# Fuzzes the settings loader for SECONDS over the seed corpus and what
# earlier runs found (kept under the build folder). With "report", ends with
# the runs a second as a benchmark line instead. Exits non-zero on a finding,
# whose input libFuzzer leaves in the build folder as crash-*.
set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${VC_BUILD:=$ROOT/build}"
seconds=${1:-60}
log=$(mktemp)
# A measurement starts from the seeds alone, so that it measures the same
# work each time.
if [[ "${2:-}" == report ]]; then
  corpus=$(mktemp -d)
  trap 'rm -rf "$log" "$corpus"' EXIT
else
  corpus="$VC_BUILD/fuzz-corpus"
  mkdir -p "$corpus"
  trap 'rm -f "$log"' EXIT
fi
# Allocation stacks are not collected on every allocation (a finding is
# replayed with the defaults for them): it halves the cost of a run.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=0}"
cd "$VC_BUILD"
"$VC_BUILD/fuzz/tests/fuzz/settings_fuzz" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
  -dict="$ROOT/tests/fuzz/settings.dict" -print_final_stats=1 "$corpus" "$ROOT/tests/fuzz/corpus" >"$log" 2>&1
status=$?
if [[ $status -ne 0 ]]; then
  grep -v '^stat::' "$log" | tail -40
  exit $status
fi
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
if [[ "${2:-}" == report ]]; then
  verdict=MISS
  [[ ${rate:-0} -ge 1000 ]] && verdict=PASS
  echo "bench fuzz_runs_per_second: $rate runs/s over $runs runs in $seconds s (target >= 1000) $verdict"
else
  echo "fuzzing: $runs runs in $seconds s ($rate a second), no finding"
fi
