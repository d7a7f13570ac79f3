#!/bin/bash
# Usage: wine-session.sh COMMAND...
# Runs COMMAND with a ready Wine prefix, a virtual X display and one
# wineserver kept up for the whole run, and stops all of them afterwards
# (by their own pids), whatever COMMAND returns.
# VC_USE_DISPLAY=1 uses $DISPLAY instead of a virtual display.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

# One session at a time per prefix: a second session's wineserver -k would
# end the first one's programs. Children do not keep the lock (9>&-).
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9

XVFB_PID=""
cleanup() {
  wineserver -k >/dev/null 2>&1
  if [[ -n "$XVFB_PID" ]]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [[ "${VC_USE_DISPLAY:-0}" != 1 || -z "${DISPLAY:-}" ]]; then
  for n in $(seq 91 140); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 2560x1600x24 -nolisten tcp -dpi 96 >/dev/null 2>&1 9>&- &
    XVFB_PID=$!
    for _ in $(seq 1 100); do
      [[ -e /tmp/.X11-unix/X$n ]] && break
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.05
    done
    if [[ -e /tmp/.X11-unix/X$n ]]; then export DISPLAY=":$n"; break; fi
    XVFB_PID=""
  done
  [[ -n "$XVFB_PID" ]] || { echo "wine-session: no virtual display could be started" >&2; exit 1; }
fi

"$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" 9>&- || exit 1
wineserver -p >/dev/null 2>&1 9>&-
# Start Wine's own background processes now, detached from our output: a
# test program would otherwise start them with its output pipe, and whoever
# reads that pipe (CTest) would wait for them to end.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&-
"$@" 9>&-
