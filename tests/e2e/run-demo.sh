#!/usr/bin/env bash
# Installs the demo medium with the real setup.exe under Wine, the robot playing
# demo/answers.txt, then checks what landed in the prefix: the product's files, the COM
# server's own registry key (written by its DllRegisterServer), the script's registry
# item, the INI entries, the Start-menu folder and the uninstall entry with the log's
# digest; and prints the summary of the run. With MODE "cd" setup-pack also writes a CD
# image of the medium, the files xorriso reads back out of it (by their Joliet names) are
# drive D: of the prefix, and the program runs as D:\SETUP.EXE. With SETUP_WINE_VERSION the
# prefix reports that Windows (wine-env.sh).
# usage: run-demo.sh WORK_DIR WINE_LOADER WINDOWS_BUILD_DIR ROBOT.EXE [MODE]
set -uo pipefail
loader=$2 robot=$(realpath "$4") mode=${5:-}
work=$(mkdir -p "$1" && cd "$1" && pwd)
build=$(cd "$3" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/wine-env.sh"
source "$here/wine-summary.sh"

run="$work/runs/$(wine_run_name "demo${mode:+-$mode}")"
rm -rf "$run"
mkdir -p "$run"
medium="$run/medium" program=SETUP.EXE
[ "$mode" = cd ] && medium="$run/cd" program='D:\SETUP.EXE'
"$root/scripts/make-demo.sh" "$build" "$run/medium" ${mode:+--iso "$run/demo.iso"} \
  >"$run/make-demo.out" 2>&1 || { cat "$run/make-demo.out"; exit 1; }
if [ "$mode" = cd ]; then
  xorriso -no_rc -osirrox on -read_fs norock -indev "$run/demo.iso" -extract / "$medium" \
    >"$run/xorriso.out" 2>&1 || { cat "$run/xorriso.out"; exit 1; }
  chmod -R u+w "$medium"
  # setup-pack's list of what it wrote stays in the folder; the CD holds the medium alone.
  [ ! -e "$medium/.setup-pack" ] || { echo "the CD image holds setup-pack's list"; exit 1; }
  diff -r -x .setup-pack "$run/medium" "$medium" ||
    { echo "the CD image differs from the medium"; exit 1; }
fi

wine_prefix "$work" "$run" "$loader" || exit 1
trap wine_cleanup EXIT
wine_xvfb "$run" || exit 125
[ "$mode" = cd ] && wine_drive D "$medium" cdrom
touch "$run/marker"

wine_play "$run" "$medium" "$robot" "$root/demo/answers.txt" --program "$program"
robot_rc=$?
# The Explorer window that [CreateGroup] opened keeps the session alive: end it, which
# also writes the registry files.
timeout 30 "$wine_server" -k >/dev/null 2>&1
timeout 30 "$wine_server" -w >/dev/null 2>&1

failed=0
fail() {
  echo "FAILED: $*"
  failed=1
}
if [ "$robot_rc" -ne 0 ]; then
  fail "robot exit code $robot_rc"
  cat "$run/robot.out"
fi
echo "== what the robot saw"
cat "$run/transcript.txt"

drive="$run/prefix/drive_c"
dest="$drive/Program Files/Demo Office"
# The demo ends through its finish page with the restart declined, after the disk prompt.
grep -qx 'caption "Installation program terminated."' "$run/transcript.txt" ||
  fail "the finish page of a successful installation did not show"
grep -q '^message "Installation" info OK "Please, insert disk #2' "$run/transcript.txt" ||
  fail "no prompt for disk 2"
for file in demo.exe help/demo.hlp data.dat demo.lng setup.uni; do
  [ -s "$dest/$file" ] || fail "missing: C:\\Program Files\\Demo Office\\$file"
done
# The medium's SZDD files are expanded to the sizes the script's tags give.
cmp -s "$build/demo/demo.exe" "$dest/demo.exe" || fail "demo.exe differs from the built one"
cmp -s "$root/demo/medium/data.dat" "$dest/data.dat" || fail "data.dat differs from the source"
cmp -s "$root/demo/medium/demo_de.lng" "$dest/demo.lng" || fail "demo.lng is not the German file"
[ -s "$drive/windows/system32/democtl.ocx" ] || fail "missing: the COM server in the system directory"

regs=$(cat "$run/prefix/system.reg" "$run/prefix/user.reg" 2>/dev/null | tr -d '\r')
has_key() { grep -qiF "[$1]" <<<"$regs" || fail "no registry key $1"; }
has_key 'Software\\Tavrin\\Demo Office\\Control'
has_key 'Software\\Tavrin\\Demo Office'
grep -A3 -iF '[Software\\Tavrin\\Demo Office]' "$run/prefix/system.reg" | tr -d '\r' |
  grep -qx '"Version"="2.0"' || fail "HKLM\\SOFTWARE\\Tavrin\\Demo Office has no Version 2.0"
has_key 'Software\\Microsoft\\Windows\\CurrentVersion\\UnInstall\\Demo Office'
# The entry holds the log's digest, which the installer computes itself on every Windows.
grep -A8 -iF '[Software\\Microsoft\\Windows\\CurrentVersion\\UnInstall\\Demo Office]' \
  "$run/prefix/system.reg" | tr -d '\r' | grep -qx '"LogDigest"="[0-9a-f]\{64\}"' ||
  fail "the uninstall entry holds no digest of the log"
has_key 'Software\\Tavrin\\Setup\\Records\\Demo Office\\1'
# The type library of the build's word size, registered from the system directory (its
# key is win32 or win64 as the prefix is).
has_key "Software\\\\Classes\\\\Typelib\\\\{6A2F4C10-52B1-4D8E-9F3A-7C0E1B2D3F40}\\\\1.0\\\\0\\\\$WINEARCH"

ini="$drive/windows/demo.ini"
if [ -f "$ini" ]; then
  for entry in '\[Paths\]' 'Home=C:\\Program Files\\Demo Office' '\[Options\]' 'Language=English'; do
    tr -d '\r' <"$ini" | grep -qx "$entry" || fail "demo.ini lacks $entry"
  done
else
  fail "missing: C:\\windows\\demo.ini"
fi
ls -d "$drive"/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs/"Demo Office" \
  >/dev/null 2>&1 || fail "no Start-menu folder \"Demo Office\""

wine_summary "$run" "$run/marker" "$work/template-$WINEARCH"
if [ "$failed" -eq 0 ]; then
  echo "demo installed under Wine"
  wine_passed "$run"
  exit 0
fi
echo "demo run failed (run folder $run)"
exit 1
