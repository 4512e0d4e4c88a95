#!/usr/bin/env bash
# Main job: builds the installer and the demo medium, then installs the demo.
# First the installation runs headless on the sandbox machine (setup-sim), playing the
# answers in demo/answers.txt, and prints what the user saw and what landed on the machine.
# Then the real setup.exe, the 32-bit product, installs the demo under 32-bit Wine in a
# prefix of its own: with a DISPLAY the wizard opens there for you to click through; without
# one the robot plays demo/answers.txt on a virtual display and a screenshot of every page
# and dialog is saved in build/demo-screens. Both ways end with a summary of what landed in
# the prefix. The build's own progress goes to build/demo-build.log.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=$(nproc)
mkdir -p build
log=build/demo-build.log
: >"$log"

# quietly COMMAND...: runs a build step with its output in the log; on failure says where
# the log is and shows its end.
quietly() {
  echo "\$ $*" >>"$log"
  if ! "$@" >>"$log" 2>&1; then
    echo "== The build failed; its output is in $log. The last lines:"
    tail -n 30 "$log"
    exit 1
  fi
}

echo "== Building the installer (build, build-mingw; progress in $log)"
quietly cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
quietly cmake --build build -j "$jobs" --target setup-sim setup-pack setup-check
quietly cmake -S . -B build-mingw -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
quietly cmake --build build-mingw -j "$jobs"

rm -rf build/demo-medium
scripts/make-demo.sh build-mingw build/demo-medium
rm -rf build/demo-machine
echo "== Installing the demo medium on the sandbox machine build/demo-machine"
build/tools/setup-sim/setup-sim --medium build/demo-medium --machine build/demo-machine \
  --answers demo/answers.txt --summary

# The same demo with the real setup.exe under 32-bit Wine. The 32-bit loader is itself a
# 32-bit Linux program: where the kernel refuses those, the x86_64 build of the same sources
# is installed under 64-bit Wine instead, and the output says so.
if [ -z "${DISPLAY:-}" ] && ! command -v Xvfb >/dev/null; then
  echo "== No DISPLAY and no Xvfb: the run under Wine is left out"
  exit 0
fi
build=build-mingw loader=/usr/lib/wine/wine
if ! "$loader" --version >/dev/null 2>&1; then
  if [ ! -x /usr/lib/wine/wine64 ]; then
    echo "== This machine cannot run 32-bit programs and has no 64-bit Wine: the run under Wine is left out"
    exit 0
  fi
  echo "== This machine cannot run 32-bit programs: the x86_64 build goes under 64-bit Wine"
  quietly cmake -S . -B build-mingw64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
  quietly cmake --build build-mingw64 -j "$jobs"
  build=build-mingw64 loader=/usr/lib/wine/wine64
fi
echo "== Installing the demo medium with $build/app/win32/setup.exe under $loader"
status=0
tests/e2e/demo-under-wine.sh "$build" build/demo-wine build/demo-screens "$loader" || status=$?
if [ "$build" != build-mingw ]; then
  echo "NOT RUN: the product build (build-mingw, i686) was not run under Wine: this machine cannot execute 32-bit programs"
fi
exit $status
