#!/bin/bash
# Starts Vellumcraft under Wine. With $DISPLAY set it runs there until it is
# closed; without, it runs on a virtual display long enough for a screenshot.
set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${VC_BUILD:=$ROOT/build}"
export VC_BUILD
EXE="$VC_BUILD/win/Vellumcraft.exe"
[[ -f "$EXE" ]] || { echo "run: $EXE has not been built" >&2; exit 1; }
RUNDIR="$VC_BUILD/run"
mkdir -p "$RUNDIR"
cp "$EXE" "$RUNDIR/"
SHOT="$VC_BUILD/screenshots/run.png"
mkdir -p "$(dirname "$SHOT")"

if [[ -n "${DISPLAY:-}" ]]; then
  export VC_USE_DISPLAY=1
  exec "$ROOT/scripts/wine-session.sh" bash -c '
    wine "$1" &
    pid=$!
    sleep 4
    import -window root "$2" 2>/dev/null && echo "screenshot: $2"
    wait $pid' _ "$RUNDIR/Vellumcraft.exe" "$SHOT"
fi
"$ROOT/scripts/wine-session.sh" bash -c '
  wine "$1" &
  sleep 4
  # No window manager gives the Wine desktop the keyboard focus; without it
  # every caption is drawn inactive.
  xdotool search --name "Wine desktop" windowfocus 2>/dev/null
  sleep 1
  import -window root "$2" && echo "screenshot: $2"' _ "$RUNDIR/Vellumcraft.exe" "$SHOT"
