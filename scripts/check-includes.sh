#!/bin/bash
# Usage: check-includes.sh [SRC_DIR [BASELINE]]
# Checks that the source folders include one another in one direction only:
#   app -> tabwindow -> generalsettings -> pagesettings -> pageview -> settings -> common
# A folder may include itself and the folders to its right; resources/ may be
# included from anywhere and includes only itself. Includes without a folder
# name are the file's own folder and always fine.
#
# Includes that break the order today are listed in the baseline
# ("file: included", one a line): they pass, so the check can hold while they
# are moved one by one. Any other break fails, and so does a baseline line
# that no longer occurs, so the list only ever gets shorter.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SRC=${1:-$ROOT/src}
BASELINE=${2:-$ROOT/scripts/include-baseline.txt}
ORDER="app tabwindow generalsettings pagesettings pageview settings common resources"

found=$(cd "$SRC" && grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' -- * |
  awk -v order="$ORDER" '
    BEGIN { n = split(order, names, " "); for (i = 1; i <= n; i++) rank[names[i]] = i }
    {
      file = substr($0, 1, index($0, ":") - 1)
      split($0, q, "\""); included = q[2]
      split(file, f, "/"); split(included, g, "/")
      from = f[1]; to = g[1]
      if (to == from || to == "resources") next
      if ((from in rank) && (to in rank) && from != "resources" && rank[to] > rank[from]) next
      print "src/" file ": " included
    }' | LC_ALL=C sort -u)
known=$(grep -vE '^[[:space:]]*(#|$)' "$BASELINE" 2>/dev/null | LC_ALL=C sort -u || true)

new=$(LC_ALL=C comm -23 <(printf '%s\n' "$found" | sed '/^$/d') <(printf '%s\n' "$known" | sed '/^$/d'))
gone=$(LC_ALL=C comm -13 <(printf '%s\n' "$found" | sed '/^$/d') <(printf '%s\n' "$known" | sed '/^$/d'))
left=$(LC_ALL=C comm -12 <(printf '%s\n' "$found" | sed '/^$/d') <(printf '%s\n' "$known" | sed '/^$/d') | sed '/^$/d' | wc -l)

status=0
if [[ -n "$new" ]]; then
  echo "check-includes: these includes go against the folder order ($ORDER):"
  sed 's/^/  /' <<<"$new"
  status=1
fi
if [[ -n "$gone" ]]; then
  echo "check-includes: fixed, so take these lines out of ${BASELINE#"$ROOT"/}:"
  sed 's/^/  /' <<<"$gone"
  status=1
fi
echo "check-includes: $left known include(s) against the folder order left in the baseline"
exit $status
