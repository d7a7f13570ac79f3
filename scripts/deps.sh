#!/bin/bash
# Installs the Debian packages the build and the tests need, if missing.
set -euo pipefail

PACKAGES=(
  make cmake ninja-build g++ googletest
  clang libclang-rt-dev
  g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine
  xvfb xdotool imagemagick x11-utils
  fonts-ipafont-gothic locales
)

missing=()
for p in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

SUDO=()
[[ $(id -u) -eq 0 ]] || SUDO=(sudo)
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${SUDO[@]}" apt-get update -q
  "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A Japanese system for Wine (code page 932, Japanese dates): Wine takes its
# locale from the environment, and Debian has none until it is made.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  echo "Making the ja_JP.UTF-8 locale"
  "${SUDO[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
