#!/usr/bin/env bash
# Installs the demo medium of a MinGW build with the real setup.exe under Wine, in a prefix
# of its own: the i686 build (the product) under the 32-bit loader /usr/lib/wine/wine, or
# an x86_64 build under /usr/lib/wine/wine64 given as LOADER. With a DISPLAY the wizard
# opens there for a person to click through; without one the robot plays demo/answers.txt
# on a virtual display and a screenshot of every page and dialog goes to SCREENS_DIR. Then
# it prints what landed in the prefix.
# usage: demo-under-wine.sh WINDOWS_BUILD_DIR WORK_DIR SCREENS_DIR [LOADER]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
screens=$3
loader=${4:-/usr/lib/wine/wine}
source "$root/tests/e2e/wine-env.sh"
source "$root/tests/e2e/wine-summary.sh"
run=$work/run
rm -rf "$run"
"$root/scripts/make-demo.sh" "$build" "$run/medium" >/dev/null
wine_prefix "$work" "$run" "$loader"
trap wine_cleanup EXIT
touch "$run/marker"

if [ -n "${DISPLAY:-}" ]; then
  echo "== setup.exe opens on $DISPLAY: click through the wizard (the prefix is $run/prefix)"
  (cd "$run/medium" && "$loader" SETUP.EXE) || true
else
  echo "== No DISPLAY: the robot plays demo/answers.txt under a virtual display"
  wine_xvfb "$run"
  wine_virtual_desktop
  set +e
  wine_play "$run" "$run/medium" "$build/tests/e2e/robot.exe" "$root/demo/answers.txt"
  robot_rc=$?
  set -e
  rm -rf "$screens"
  mkdir -p "$screens"
  n=1
  while IFS= read -r line; do
    [ -f "$run/shot-$n.png" ] && cp "$run/shot-$n.png" "$screens/$(printf %02d "$n").png"
    echo "  $(printf %02d "$n").png  $line"
    n=$((n + 1))
  done <"$run/transcript.txt"
  echo "== Screenshots of every page and dialog in $screens"
  [ "$robot_rc" -eq 0 ] || { echo "The robot stopped (code $robot_rc):"; cat "$run/robot.out"; }
fi
# The Explorer window that the Start-menu folder opened keeps the session up: end it, which
# also writes the registry files that the summary compares.
wine_cleanup
echo "== What the installation left in the Wine prefix $run/prefix"
wine_summary "$run" "$run/marker" "$work/template-$WINEARCH" || true
exit "${robot_rc:-0}"
