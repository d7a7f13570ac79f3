#!/bin/bash
# Runs the benchmarks (under Wine, and the portable ones natively); each
# ends with `bench NAME: ... PASS|MISS`.
set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${VC_BUILD:=$ROOT/build}"
export VC_BUILD
status=0
# The page-load bench meets a share that answers late: the library that makes
# a folder slow goes into every Wine process (it waits only in a process whose
# environment names a folder).
slowfs="$VC_BUILD/win/tests/slowfs/libvcslowfs.so"
[[ -f "$slowfs" ]] && export LD_PRELOAD="$slowfs${LD_PRELOAD:+:$LD_PRELOAD}"
for b in "$VC_BUILD"/win/bench/*_bench.exe; do
  echo "== $(basename "$b")"
  "$ROOT/scripts/wine-session.sh" "$ROOT/scripts/wine-run.sh" "$b" || status=1
done
for b in "$VC_BUILD"/bench-native/bench/native/*_bench; do
  [[ -x "$b" ]] || continue
  echo "== $(basename "$b")"
  "$b" || status=1
done
for b in "$ROOT"/bench/*_bench.sh; do
  [[ -e "$b" ]] || continue
  echo "== $(basename "$b")"
  "$ROOT/scripts/wine-session.sh" bash "$b" || status=1
done
echo "== fuzz_runs_per_second"
"$ROOT/scripts/fuzz.sh" 60 report || status=1
exit $status
