#!/bin/bash
# Prints the lines of the program (src/), of its tests (tests/) and their
# ratio; with a revision, also that ratio for the lines added since it.
# Tracked and new files count; generated ones are not in the tree.
set -eu
cd "$(dirname "${BASH_SOURCE[0]}")/.."
count() { git ls-files -co --exclude-standard "$1" | xargs -r cat | wc -l; }
src=$(count src)
tests=$(count tests)
echo "program $src lines, tests $tests lines: tests are $((100 * tests / src)) % of the program"
if [[ $# -ge 1 ]]; then
  added() { git diff --numstat "$1" -- "$2" | awk '{ n += $1 } END { print n + 0 }'; }
  new() { git ls-files -o --exclude-standard "$1" | xargs -r cat | wc -l; }
  s=$(( $(added "$1" src) + $(added "$1" bench) + $(new src) + $(new bench) ))
  t=$(( $(added "$1" tests) + $(new tests) ))
  echo "since $1: $s program lines and $t test lines added: tests are $((100 * t / (s > 0 ? s : 1))) % of the program lines"
fi
