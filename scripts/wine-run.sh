#!/bin/bash
# Runs one Windows program under the project's Wine prefix (CTest's emulator).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec wine "$@"
