#!/usr/bin/env bash
# Runs one Windows program under Wine on its own Xvfb display and in a prefix of its own.
# usage: run-under-wine.sh WORK_DIR WINE_LOADER PROGRAM.exe [ARGUMENTS...]
# The prefix is made (wineboot) once in WORK_DIR and kept for later runs. The program's
# output goes to stdout; the exit status is the program's (124 when it ran too long).
set -uo pipefail
work=$1 loader=$2 program=$3
shift 3

case "$loader" in
  *64) arch=win64 ;;
  *) arch=win32 ;;
esac
mkdir -p "$work/home"
export WINEPREFIX="$work/prefix-$arch" WINEARCH=$arch WINELOADER=$loader
export WINEDEBUG=-all HOME="$work/home"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
server=/usr/lib/wine/wineserver

# Xvfb picks a free display itself and writes its number to fd 3.
display_file="$work/display.$$"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
cleanup() {
  timeout 30 "$server" -k >/dev/null 2>&1
  kill "$xvfb_pid" 2>/dev/null
  rm -f "$display_file"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
if [ ! -s "$display_file" ]; then
  echo "Xvfb did not start" >&2
  exit 125
fi
export DISPLAY=":$(head -n1 "$display_file")"

# One boot per prefix, however many runs start at once.
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 300 "$loader" wineboot --init >"$work/wineboot.log" 2>&1
    timeout 120 "$server" -w
  fi
) 9>"$work/prefix-$arch.lock"

timeout 300 "$loader" "$program" "$@"
