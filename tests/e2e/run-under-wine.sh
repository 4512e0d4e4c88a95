#!/usr/bin/env bash
# Runs one Windows program under Wine on its own Xvfb display and in a prefix of its own.
# usage: run-under-wine.sh WORK_DIR WINE_LOADER PROGRAM.exe [ARGUMENTS...]
# The prefix is made (wineboot) once in WORK_DIR and kept for later runs. The program's
# output goes to stdout; the exit status is the program's (124 when it ran too long).
set -uo pipefail
work=$1 loader=$2 program=$3
shift 3

source "$(dirname "$0")/wine-env.sh"
arch=$(wine_arch "$loader")
mkdir -p "$work/home"
export WINEPREFIX="$work/prefix-$arch" WINEARCH=$arch WINELOADER=$loader
export WINEDEBUG=-all HOME="$work/home"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
server=$wine_server

mkdir -p "$work/xvfb.$$"
cleanup() {
  wine_cleanup
  rm -rf "$work/xvfb.$$"
}
trap cleanup EXIT
wine_xvfb "$work/xvfb.$$" || exit 125

# One boot per prefix, however many runs start at once.
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 300 "$loader" wineboot --init >"$work/wineboot.log" 2>&1
    timeout 120 "$server" -w
  fi
) 9>"$work/prefix-$arch.lock"

timeout 300 "$loader" "$program" "$@"
