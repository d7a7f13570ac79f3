#!/bin/bash
# Runs one Windows program under the project's Wine prefix (CTest's emulator).
# A failing exit code is also said in the output: CTest judges the test
# suites by their output, where the code alone would go unseen.
#
# With VC_WINE_RETRY_LOG set (scripts/test.sh sets it), a program that never
# started is started once more, and the file named there gets a line that says
# so. "Never started" means it failed without a byte on its output: every test
# program prints GoogleTest's first line before anything else, so that is
# Wine failing to launch it, not a test failing. A program that printed
# anything is never run again, whatever its exit code.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
name=$(basename "$1")

if [[ -z "${VC_WINE_RETRY_LOG:-}" ]]; then
  wine "$@"
  rc=$?
else
  out=$(mktemp)
  trap 'rm -f "$out"' EXIT
  for attempt in 1 2; do
    wine "$@" | tee "$out"
    rc=${PIPESTATUS[0]}
    [[ $rc -eq 0 || -s "$out" || $attempt -eq 2 ]] && break
    msg="wine-run: $name did not start (exit code $rc, no output); starting it once more"
    echo "$msg" >&2
    echo "$msg" >>"$VC_WINE_RETRY_LOG"
  done
fi
[[ $rc -eq 0 ]] || echo "wine-run: $name ended with exit code $rc" >&2
exit "$rc"
