#!/usr/bin/env bash
# Builds everything (native and the 32-bit Windows cross build) warning-free and runs all tests.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DSETUP_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"

cmake -S . -B build-mingw -G Ninja -DSETUP_WERROR=ON -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build-mingw -j "$jobs"

cd build
ctest --output-on-failure -j "$jobs"
