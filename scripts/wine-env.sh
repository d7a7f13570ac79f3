# Sourced by the scripts that run Windows programs: the Wine prefix lives in
# the build folder, so nothing outside the project is touched.
VC_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${VC_BUILD:=$VC_ROOT/build}"
export WINEPREFIX="${WINEPREFIX:-$VC_BUILD/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
