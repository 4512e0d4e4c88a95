#!/usr/bin/env bash
# A diskette set under Wine, made as a vendor makes it and installed as a user installs it:
# setup-pack lays the product out on 1.44 MB disks, signs the (stripped) programs and writes
# the diskette images; the files read back out of the images are the disks; drive A: of the
# prefix holds disk 1, and the robot changes the disk at each of the installer's prompts.
# Then the uninstaller, started as the uninstall entry says, must leave the prefix as it was
# before the installation.
# usage: run-disk-set.sh WORK_DIR WINE_LOADER WINDOWS_BUILD_DIR ROBOT.EXE STRIP
# (STRIP: the toolchain's strip; SETUP_PACK names a setup-pack other than build/'s)
set -uo pipefail
loader=$2 robot=$(realpath "$4") strip=$5
work=$(mkdir -p "$1" && cd "$1" && pwd)
build=$(cd "$3" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
scenario=$here/disk-set
source "$here/wine-env.sh"

pack=${SETUP_PACK:-$root/build/tools/setup-pack/setup-pack}
if [ ! -x "$pack" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
  cmake --build "$root/build" --target setup-pack >/dev/null
fi

run="$work/runs/disk-set"
rm -rf "$run"
mkdir -p "$run/product/help" "$run/programs" "$run/disks"
failed=0
fail() {
  echo "FAILED: $*"
  failed=1
}

# The product: the demo's program, help, data and languages, and samples that take a disk
# of their own, so that the set has a middle disk however small the programs are.
cp "$build/demo/demo.exe" "$run/product/"
cp "$root/demo/medium/help/demo.hlp" "$run/product/help/"
for file in data.dat demo_en.lng demo_de.lng Present.bmp; do
  cp "$root/demo/medium/$file" "$run/product/"
done
yes 'a sample line of the disk demo' | head -c 1400000 >"$run/product/samples.dat"
# What ships is stripped, and signed after that.
for program in setup uninstkp; do
  "$strip" -o "$run/programs/$program.exe" "$build/app/win32/$program.exe" || exit 1
done
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$run/key.pem" -out "$run/cert.pem" \
  -days 2 -subj "/CN=Disk Demo Vendor" >/dev/null 2>&1 || exit 1
"$pack" --script "$scenario/Setup.Inf" --files "$run/product" --out "$run/medium" \
  --programs "$run/programs" --disk-size 1440 --images --sign "$run/cert.pem" "$run/key.pem" \
  >"$run/pack.out" 2>&1 || { cat "$run/pack.out"; exit 1; }
cat "$run/pack.out"

# The disks are what the images hold, read back with mtools.
disks=0
while [ -f "$run/medium/DISK$((disks + 1)).img" ]; do
  disks=$((disks + 1))
  image="$run/medium/DISK$disks.img"
  [ "$(stat -c %s "$image")" = 1474560 ] || fail "DISK$disks.img is no 1.44 MB diskette"
  mkdir -p "$run/disks/DISK$disks"
  mcopy -i "$image" -s -n '::/*' "$run/disks/DISK$disks/" || fail "cannot read DISK$disks.img"
  diff -r "$run/medium/DISK$disks" "$run/disks/DISK$disks" || fail "DISK$disks.img differs"
done
[ "$disks" -ge 3 ] || fail "a set of $disks disks: the run wants a middle disk"
for program in "DISK1/setup.exe" "DISK$disks/uninstkp.exe"; do
  osslsigncode verify -CAfile "$run/cert.pem" -in "$run/disks/$program" >/dev/null 2>&1 ||
    fail "$program off the diskette: the signature does not verify"
done

# A "disk N" and its "reply OK" for every disk the installer asks for.
prompts=$(tr -d '\r' <"$run/disks/DISK1/Setup.Inf" | sed -n 's/^DISK=\([0-9]*\)$/\1/p')
awk -v disks="$prompts" '$0 == "@DISKS@" {
    n = split(disks, d, "\n"); for (i = 1; i <= n; i++) print "disk " d[i] "\nreply OK"; next }
  { print }' "$scenario/install-answers" >"$run/install-answers"

wine_prefix "$work" "$run" "$loader"
trap wine_cleanup EXIT
wine_xvfb "$run" || exit 125
"$WINELOADER" wineboot >/dev/null 2>&1
wine_drive A "$run/disks/DISK1" floppy
wine_picture | wine_stable >"$run/before.txt"

wine_play "$run" "$run/disks/DISK1" "$robot" "$run/install-answers" --program 'A:\SETUP.EXE' \
  --disks A "$run/disks" ||
  { fail "installation: robot exit code $?"; cat "$run/robot.out"; }
echo "== what the robot saw"
cat "$run/transcript.txt"
for disk in $prompts; do
  grep -qxF "message \"Installation\" info OK \"Please, insert disk #$disk into drive A: .\"" \
    "$run/transcript.txt" || fail "no prompt for disk $disk in drive A:"
done
grep -q 'CD-ROM or disk with file' "$run/transcript.txt" && fail "a file was not found on its disk"
dest="$run/prefix/drive_c/Program Files/Disk Demo"
for file in demo.exe help/demo.hlp samples.dat data.dat; do
  cmp -s "$run/product/$file" "$dest/$file" || fail "C:\\Program Files\\Disk Demo\\$file"
done
cmp -s "$run/product/demo_en.lng" "$dest/demo.lng" || fail "the language file"

# The uninstall, as the entry starts it: back to the picture before the installation.
if command=$(wine_uninstall_entry "Disk Demo"); then
  wine_uninstall "$run" "$command" "$robot" "$scenario/uninstall-answers" ||
    { fail "uninstallation: robot exit code $?"; cat "$run/robot2.out"; }
  [ "$(cat "$run/uninstkp.rc")" = 0 ] || fail "uninstkp.exe exit code $(cat "$run/uninstkp.rc")"
  diff -u "$scenario/expected-uninstall" "$run/uninstall-transcript.txt" || fail "uninstall messages"
  wine_picture | wine_stable >"$run/after.txt"
  diff -u "$run/before.txt" "$run/after.txt" || fail "the prefix differs from before"
else
  fail "no uninstall entry that the uninstaller would accept"
fi

if [ "$failed" -eq 0 ]; then
  echo "disk set of $disks diskettes installed and uninstalled under Wine"
  wine_passed "$run"
  exit 0
fi
echo "disk set run failed (run folder $run)"
exit 1
