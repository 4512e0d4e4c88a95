#!/usr/bin/env bash
# Shows that check-imports.sh refuses what it is there to refuse: each case spoils the list
# or a copy of a program, and the check must fail with the line that names the fault.
# usage: check-imports-test.sh LIST OBJDUMP PROGRAM.exe
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
list=$1 objdump=$2 program=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A copy of the program whose header asks for subsystem MAJOR.0 (the 16-bit field at 48
# bytes into the optional header, which follows the 4-byte signature and 20-byte file
# header at e_lfanew).
with_subsystem() {
  cp "$program" "$2"
  local pe
  pe=$(od -An -tu4 -j 60 -N 4 "$program" | tr -d ' ')
  printf "\\x$(printf %02x "$1")\\x00\\x00\\x00" | dd of="$2" bs=1 seek=$((pe + 72)) conv=notrunc status=none
}

name=$(basename "$program")
first=$(grep -m1 -E '^[A-Z0-9]+\.DLL ' "$list")
first_function=$(echo "$first" | awk '{ print $2 }')
grep -vxF "$first" "$list" >"$work/missing.txt"
{ cat "$list"; echo "KERNEL32.DLL GetTickCount64 SDK"; } >"$work/extra.txt"
{ cat "$list"; echo "$first" | awk '{ print $1, $2, "NOWHERE" }'; } >"$work/twice.txt"
sed "0,/^$(echo "$first" | awk '{ print $1 " " $2 }')/s//& NOWHERE #/" "$list" >"$work/unsourced.txt"
with_subsystem 5 "$work/$name"
cp "$program" "$work/plain.exe"

failures=0
# case NAME LIST PROGRAM EXPECTED: the check must fail and print a line holding EXPECTED.
case_() {
  local output
  if output=$(bash "$here/check-imports.sh" "$2" "$objdump" "$3" 2>&1); then
    echo "$1: the check passed"; failures=$((failures + 1))
  elif ! grep -qF -- "$4" <<<"$output"; then
    echo "$1: no line with \"$4\" in:"; echo "$output"; failures=$((failures + 1))
  fi
}
case_ "an import not in the list" "$work/missing.txt" "$work/plain.exe" "$first_function, which is not in"
case_ "an entry no program imports" "$work/extra.txt" "$work/plain.exe" "GetTickCount64 is imported by no program"
case_ "an entry listed twice" "$work/twice.txt" "$work/plain.exe" "is listed twice"
case_ "an entry without a known source" "$work/unsourced.txt" "$work/plain.exe" "names no known source"
case_ "a header asking for subsystem 5.0" "$list" "$work/$name" "asks for subsystem version 5.0"
[ "$failures" -eq 0 ] && echo "every spoilt input refused"
exit "$failures"
