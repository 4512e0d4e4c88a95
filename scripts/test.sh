#!/usr/bin/env bash
# Builds everything warning-free (native, the 32-bit Windows product, and the 64-bit Windows
# build of the same sources as a compile check) and runs every test: the unit tests and
# setup-sim runs of the native build, then the end-to-end runs of the product under 32-bit
# Wine, then the fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DSETUP_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"

cmake -S . -B build-mingw -G Ninja -DSETUP_WERROR=ON -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build-mingw -j "$jobs"

cmake -S . -B build-mingw64 -G Ninja -DSETUP_WERROR=ON -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
cmake --build build-mingw64 -j "$jobs"

# The end-to-end runs take the product, the i686 build, under the 32-bit loader. Only where
# this machine cannot start a 32-bit program at all do they take the x86_64 build under
# 64-bit Wine instead, and then the output says so at the start and at the very end.
e2e_build=build-mingw
not_run=""
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  e2e_build=build-mingw64
  not_run="NOT RUN: the product build (build-mingw, i686) was not run under Wine: this machine cannot execute 32-bit programs; the end-to-end tests ran on the x86_64 build under wine64"
  echo "$not_run"
fi

status=0
(cd build && ctest --output-on-failure -j "$jobs" --timeout 300) || status=1
# A Wine run on a loaded machine can lose a window race now and then: a failed Wine test is
# run once more before it counts as failed. A build whose configuration found no loader
# has no tests, which must not pass.
echo "== End-to-end tests under Wine ($e2e_build)"
(cd "$e2e_build" && ctest --output-on-failure --timeout 600 --repeat until-pass:2 --no-tests=error) ||
  status=1
# Last, every fuzzing harness for a bounded time (SETUP_FUZZ_SECONDS, 60 s by default).
scripts/fuzz.sh || status=1
if [ -n "$not_run" ]; then
  echo
  echo "$not_run"
fi
exit $status
