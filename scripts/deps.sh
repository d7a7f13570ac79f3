#!/bin/bash
# Installs the Debian packages the build and the tests need, if missing.
set -euo pipefail

PACKAGES=(
  make cmake ninja-build g++ googletest
  clang-14 libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine
  xvfb xdotool imagemagick x11-utils
  fonts-ipafont-gothic
)

missing=()
for p in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
SUDO=()
[[ $(id -u) -eq 0 ]] || SUDO=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -q
"${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
