#!/usr/bin/env bash
# Main job: builds the installer and the demo medium, then installs the demo.
# The installation runs headless on the sandbox machine (setup-sim), playing the answers in
# demo/answers.txt, and prints what the user saw and what landed on the machine.
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
