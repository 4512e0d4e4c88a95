#!/usr/bin/env bash
# Main job: builds the installer and the demo medium, then installs the demo.
# First the installation runs headless on the sandbox machine (setup-sim), playing the
# answers in demo/answers.txt, and prints what the user saw and what landed on the machine.
# Then, where Wine is installed, the real setup.exe installs the demo in a Wine prefix of its
# own: with a DISPLAY the wizard opens there for you to click through; without one the robot
# plays demo/answers.txt on a virtual display and a screenshot of every page and dialog is
# saved in build/demo-screens. Both ways end with a summary of what landed in the prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs" --target setup-sim
cmake -S . -B build-mingw -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build-mingw -j "$jobs"

scripts/make-demo.sh build-mingw build/demo-medium
rm -rf build/demo-machine
echo "== Installing the demo medium on the sandbox machine build/demo-machine"
build/tools/setup-sim/setup-sim --medium build/demo-medium --machine build/demo-machine \
  --answers demo/answers.txt --summary

# The same demo with the real setup.exe under Wine, where this machine has it. Wine here runs
# 64-bit Windows programs only, so the x86_64 build of the same sources is the one installed.
loader=/usr/lib/wine/wine64
if [ ! -x "$loader" ] || { [ -z "${DISPLAY:-}" ] && ! command -v Xvfb >/dev/null; }; then
  echo "== No 64-bit Wine or no Xvfb: the run under Wine is left out"
  exit 0
fi
cmake -S . -B build-mingw64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
cmake --build build-mingw64 -j "$jobs"

tests/e2e/demo-under-wine.sh build-mingw64 build/demo-wine build/demo-screens
