#!/bin/bash
# Runs every test: the native unit tests, the suites and end-to-end tests
# under Wine, and a short fuzzing run. Ends with one line that sums them up.
set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${VC_BUILD:=$ROOT/build}"
export VC_BUILD
passed=0
failed=0

# Adds the counts of a CTest summary line to the totals.
count_ctest() {
  local line total bad
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1)
  if [[ -z "$line" ]]; then
    failed=$((failed + 1))
    return
  fi
  bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

log=$(mktemp)
# scripts/wine-run.sh starts a Wine program once more when Wine failed to
# launch it, and notes it here; a test that ran and failed is never run again.
export VC_WINE_RETRY_LOG=$(mktemp)
trap 'rm -f "$log" "$VC_WINE_RETRY_LOG"' EXIT

# Lists the programs that the last CTest run had to start twice.
report_retries() {
  if [[ -s "$VC_WINE_RETRY_LOG" ]]; then
    echo "-- started a second time (Wine did not launch them):"
    sed 's/^/   /' "$VC_WINE_RETRY_LOG"
    : >"$VC_WINE_RETRY_LOG"
  fi
}

echo "== include order of the source folders"
if "$ROOT/scripts/check-includes.sh"; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

echo "== native unit tests"
ctest --test-dir "$VC_BUILD/native" --output-on-failure -j "$(nproc)" 2>&1 | tee "$log"
count_ctest "$log"

echo "== threaded tests under the thread sanitizer"
ctest --test-dir "$VC_BUILD/tsan" --output-on-failure 2>&1 | tee "$log"
count_ctest "$log"

echo "== Windows tests under Wine"
# A test is never tried twice: a fault that shows in one run out of two must
# fail. Only a program that Wine did not start at all is started once more.
"$ROOT/scripts/wine-session.sh" ctest --test-dir "$VC_BUILD/win" --output-on-failure 2>&1 | tee "$log"
count_ctest "$log"
report_retries

echo "== the settings file and end-to-end tests on a Japanese system"
# Code page 932 and Japanese dates: what the program meets on a Japanese
# Windows. Wine takes the locale from the environment.
LC_ALL=ja_JP.UTF-8 "$ROOT/scripts/wine-session.sh" ctest --test-dir "$VC_BUILD/win" --output-on-failure \
  -R '^(wine\.(ProfileContract|SettingsFileWin)_test|e2e\..*)$' -E '^e2e\.faults$' 2>&1 | tee "$log"
count_ctest "$log"
report_retries

echo "== fuzzing the settings loader for ${VC_FUZZ_SECONDS:=60} s"
if "$ROOT/scripts/fuzz.sh" "$VC_FUZZ_SECONDS"; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
fi

echo "total: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
