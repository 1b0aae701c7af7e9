#!/usr/bin/env bash
# Installs, idempotently, what a fresh Debian 12 machine lacks to build Kairon
# for Windows, run it under Wine and run its tests natively and under Wine.
# Both kinds of build and Wine are installed on every host: the 32-bit ones
# (the product) and the 64-bit ones (for hosts whose kernel cannot start
# 32-bit programs; i386 packages install there, they just cannot run).
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest binutils
  g++-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine32:i386 wine64
  xvfb xauth imagemagick x11-utils
  python3 python3-yaml libcli11-dev nlohmann-json3-dev fonts-wine
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ] || [ -n "${need_update:-}" ]; then
  echo "Installing: ${missing[*]:-(package lists only)}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  if [ "${#missing[@]}" -gt 0 ]; then
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi
