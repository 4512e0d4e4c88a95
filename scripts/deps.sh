#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Safe to run again: it does nothing when everything is there.
set -euo pipefail

# Native build and unit tests; the two MinGW cross compilers (the product is the i686 build;
# the x86_64 build of the same sources is what 64-bit Wine runs here); Wine, a virtual X
# display and screenshot tools for the end-to-end runs; clang with its sanitizer and libFuzzer
# runtimes for the fuzzing build.
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libmspack-dev nettle-dev mscompress libstb-dev
          g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
          wine64 fonts-wine xvfb xauth x11-apps imagemagick clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
