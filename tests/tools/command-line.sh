#!/usr/bin/env bash
# Command-line manners of the three tools: --help to standard output with exit 0,
# --version, an unknown option named on standard error; setup-check's exit codes.
# usage: command-line.sh SETUP_SIM SETUP_CHECK SETUP_PACK
set -uo pipefail
sim=$1 check=$2 pack=$3
failed=0
fail() {
  echo "FAILED: $*"
  failed=1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for tool in "$sim" "$check" "$pack"; do
  name=$(basename "$tool")
  out=$("$tool" --help 2>"$work/err"); rc=$?
  [ $rc -eq 0 ] || fail "$name --help exit $rc"
  case "$out" in "usage: $name "*) ;; *) fail "$name --help prints no usage: $out" ;; esac
  [ -s "$work/err" ] && fail "$name --help wrote to standard error"
  out=$("$tool" --version); rc=$?
  [ $rc -eq 0 ] && [ "$out" = "$name (Tavrin Setup) 2.0" ] || fail "$name --version: $rc $out"
  out=$("$tool" --frobnicate 2>"$work/err"); rc=$?
  [ $rc -ne 0 ] || fail "$name accepted --frobnicate"
  [ -z "$out" ] || fail "$name wrote to standard output for a bad option"
  grep -q "^$name: unknown option --frobnicate$" "$work/err" || fail "$name does not name the option"
done

mkdir -p "$work/clean" "$work/bad" "$work/none"
printf 'InstTo=C:\\App\r\nPROCESS=3\r\nLANG=English,en.lng,app.lng\r\n' >"$work/clean/Setup.Inf"
printf 'abc' >"$work/clean/en.lng"
printf 'COPYTOBASE=missing.dat,m.dat$$1$$\r\n' >"$work/bad/Setup.Inf"
out=$("$check" "$work/clean"); rc=$?
[ $rc -eq 0 ] && [ "$out" = "0 errors, 0 warnings" ] || fail "clean medium: $rc $out"
"$check" "$work/bad" >/dev/null; rc=$?
[ $rc -eq 1 ] || fail "medium with errors: exit $rc"
"$check" "$work/none" >/dev/null 2>&1; rc=$?
[ $rc -eq 2 ] || fail "folder without Setup.Inf: exit $rc"

[ $failed -eq 0 ] && echo "command lines as they should be"
exit $failed
