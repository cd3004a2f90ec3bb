#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  cmake ninja-build make ccache
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64
  xvfb xauth x11-utils
  openjdk-17-jdk-headless maven
  googletest
  clang-14 libclang-rt-14-dev
  python3 python3-pip unzip
  g++ osslsigncode openssl
  shellcheck
)

# One query for the whole list keeps a run with nothing missing quick; only when
# something is not installed is each package asked after on its own.
all_installed() {
  local states
  states=$(dpkg-query -W -f='${db:Status-Abbrev}\n' "${packages[@]}" 2>/dev/null) || return 1
  ! grep -qv '^ii' <<<"$states"
}
missing=()
if ! all_installed; then
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
fi

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run as root" >&2
    exit 1
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The posix thread model gives std::thread and friends; pick it for both compilers.
for arch in i686 x86_64; do
  for tool in gcc g++; do
    posix="/usr/bin/${arch}-w64-mingw32-${tool}-posix"
    if [ -x "$posix" ] && [ "$(readlink -f "/usr/bin/${arch}-w64-mingw32-${tool}")" != "$(readlink -f "$posix")" ]; then
      update-alternatives --set "${arch}-w64-mingw32-${tool}" "$posix" >/dev/null 2>&1 || true
    fi
  done
done
echo "setup: ok"
