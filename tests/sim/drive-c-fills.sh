#!/usr/bin/env bash
# An installation that fills drive C: the machine directory is a small file system of its
# own (tmpfs in a private mount namespace), and the medium's file does not fit. The copy
# fails with its message, and registry.reg must still be saved with what the run wrote:
# the uninstall record of the state before. Skipped (77) where no mount namespace can be
# had.
# usage: drive-c-fills.sh SETUP-SIM
set -u
sim=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/medium" "$work/machine"
printf 'English language file\r\n' >"$work/medium/ENG.LNG"
head -c 1048576 /dev/zero >"$work/medium/big.bin"
printf '%s\r\n' 'CAPTION=Demo' 'INSTTO=C:\DEMO' 'PROCESS=1100000' 'UNINSTALL=YES' \
  'LANG=English,ENG.LNG,LANG.DLL' 'COPYTOBASE=big.bin,big.bin $$1048576$$' >"$work/medium/Setup.Inf"
cat >"$work/answers" <<'ANSWERS'
click nextBut
click nextBut
type PageBEdit1 Jan
type PageBEdit2 Firm
click nextBut
click nextBut
click nextBut
click nextBut
click nextBut
# big.bin fills the drive
reply OK
# and so the language file finds no room either
reply OK
click cancBut
click Button2
ANSWERS

unshare --user --map-root-user --mount true 2>/dev/null ||
  { echo "no private mount namespace here: skipped"; exit 77; }
# The whole machine directory, registry.reg beside drive_c, lies on the 512 KiB file system.
unshare --user --map-root-user --mount bash -c '
  mount -t tmpfs -o size=512k none "$1/machine" || exit 77
  "$2" --medium "$1/medium" --machine "$1/machine" --answers "$1/answers" --free-kb C=100000 \
    >"$1/transcript" 2>"$1/stderr"
  echo $? >"$1/code"
  cp "$1/machine/registry.reg" "$1/registry.reg" 2>/dev/null
  exit 0' - "$work" "$sim"
status=$?
[ "$status" -eq 77 ] && { echo "tmpfs cannot be mounted here: skipped"; exit 77; }

failed=0
code=$(cat "$work/code" 2>/dev/null)
if [ "$code" != 0 ]; then
  echo "setup-sim exit code ${code:-none}, expected 0"
  cat "$work/stderr"
  failed=1
fi
grep -q '^message "Copying error of the file" error OK "Destination file  \\x84C:\\\\DEMO\\\\BIG.BIN' \
  "$work/transcript" || { echo "the full drive was not reported"; failed=1; }
# The language file finds no room either: result 8.
grep -qx 'result 8' "$work/transcript" || { echo "the run did not end with result 8"; failed=1; }
if [ ! -f "$work/registry.reg" ]; then
  echo "registry.reg was not saved"
  failed=1
else
  tr -d '\r' <"$work/registry.reg" |
    grep -A100 -F '[HKEY_LOCAL_MACHINE\SOFTWARE\Tavrin\Setup\Records\Demo\1]' |
    grep -q '^"[0-9]*"="=file	.*C:\\\\DEMO\\\\big.bin' ||
    { echo "registry.reg lacks the record of C:\\DEMO\\big.bin"; failed=1; }
fi
[ "$failed" -eq 0 ] || { cat "$work/transcript"; exit 1; }
echo "registry.reg saved with the record on a full drive C"
