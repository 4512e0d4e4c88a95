#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Safe to run again: it does nothing when everything is there.
set -euo pipefail

# Native build and unit tests; the two MinGW cross compilers in their win32-threads
# variants (the product is the i686 build; the x86_64 build of the same sources is a compile
# check); 32-bit Wine, which runs the product and whose Windows-side files give the type
# libraries their stdole2.tlb; a virtual X display and screenshot tools for the end-to-end
# runs; clang with its sanitizer and libFuzzer runtimes for the fuzzing build; the tools
# setup-pack hands images and signatures to (mtools for diskettes, xorriso for CDs,
# osslsigncode and openssl for Authenticode).
packages=(cmake ninja-build g++ libgtest-dev libgmock-dev libmspack-dev nettle-dev mscompress libstb-dev
          g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 mingw-w64-tools
          wine32:i386 fonts-wine xvfb xauth x11-apps imagemagick clang libclang-rt-14-dev
          mtools xorriso osslsigncode openssl)

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# install_missing PACKAGE...: installs those not installed yet.
updated=no
install_missing() {
  local missing=() p
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [ "$updated" = no ]; then
    "${sudo_cmd[@]}" apt-get update -q
    updated=yes
  fi
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
}

# wine32 is an i386 package: without the architecture apt does not know it.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture (for 32-bit Wine)"
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
install_missing "${packages[@]}"

# The 32-bit loader is itself a 32-bit Linux program; some kernels refuse those. Only there
# do the end-to-end runs fall back to the x86_64 build, which needs 64-bit Wine.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "32-bit programs do not run on this machine: installing 64-bit Wine for the x86_64 build"
  install_missing wine64
fi
