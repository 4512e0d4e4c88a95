#!/usr/bin/env bash
# Install, then uninstall, under Wine: the real setup.exe installs the scenario's medium
# (with uninstkp.exe beside it, as on a real medium) played by the robot, then the
# uninstaller is started with the command line of the uninstall entry and played by the
# robot too. Every file of the prefix (with its bytes) and its registry must then be as
# before the installation, but for the uninstaller itself, which goes at the next restart,
# and the user's name and company, which are user data.
#
# With MODE "tampered" a block is added to setup.uni after the installation: the
# uninstaller must refuse it, and the prefix must be exactly as the installation left it.
# With MODE "link" the help directory is replaced by a link to another directory after the
# installation: nothing there may be deleted, and the closing message must say why. With
# "file-links" the program is replaced by a symbolic link to another file (which Wine shows
# without a reparse bit) and the product's INI file by a hard link to SYSTEM.INI: neither
# may be changed, and the closing message must say why. With "log-link" setup.uni, and with
# "folder-link" the whole installation folder, is replaced by a symbolic link to a copy: the
# uninstaller must refuse, and the prefix and the copy must be as they were.
# usage: run-uninstall.sh WORK_DIR WINE_LOADER SETUP.EXE UNINSTKP.EXE ROBOT.EXE SCENARIO_DIR [MODE]
set -uo pipefail
loader=$2 setup=$3 uninstkp=$4 robot=$(realpath "$5") scenario=$(cd "$6" && pwd) mode=${7:-}
work=$(mkdir -p "$1" && cd "$1" && pwd)
source "$(dirname "$0")/wine-env.sh"

run="$work/runs/uninstall${mode:+-$mode}"
rm -rf "$run"
mkdir -p "$run/medium"
cp -r "$scenario/medium/." "$run/medium/"
cp "$setup" "$run/medium/SETUP.EXE"
cp "$uninstkp" "$run/medium/uninstkp.exe"

wine_prefix "$work" "$run" "$loader"
trap wine_cleanup EXIT
wine_xvfb "$run" || exit 125

"$WINELOADER" wineboot >/dev/null 2>&1
wine_picture | wine_stable >"$run/before.txt"

failed=0
wine_play "$run" "$run/medium" "$robot" "$scenario/install-answers" ||
  { echo "installation: robot exit code $?"; cat "$run/robot.out"; failed=1; }
cp "$run/transcript.txt" "$run/install-transcript.txt" 2>/dev/null

# The installation must have made what the uninstaller is to take away.
wine_picture >"$run/installed.txt"
for made in './DEMO/help/demo.hlp' './windows/demo.ini'; do
  grep -qiF "$made " "$run/installed.txt" || { echo "not installed: $made"; failed=1; }
done
grep -qi '/Start Menu/Programs/Demo$' "$run/installed.txt" ||
  { echo "no Start-menu folder after the installation"; failed=1; }

command=$(wine_uninstall_entry Demo) || failed=1

expected="$scenario/expected-uninstall" answers="$scenario/uninstall-answers" code=0
if [ "$mode" = tampered ]; then
  # An extra block that would delete a file of the system.
  printf 'COPYTOWIN=x,win.ini\r\n' >>"$run/prefix/drive_c/DEMO/setup.uni"
  wine_picture | wine_stable >"$run/before.txt"
  expected="$scenario/expected-tampered" answers="$scenario/tampered-answers" code=3
fi

c="$run/prefix/drive_c"
case "$mode" in
  link)
    # The help directory the installation made is replaced by a link to another directory
    # holding a file of the same name: nothing may be deleted through it.
    rm -rf "$c/DEMO/help"
    mkdir -p "$c/OTHER"
    echo "not the product's" >"$c/OTHER/demo.hlp"
    ln -s ../OTHER "$c/DEMO/help"
    expected="$scenario/expected-link"
    ;;
  file-links)
    mkdir -p "$c/VICTIM"
    echo "not the product's" >"$c/VICTIM/keep.txt"
    rm -f "$c/DEMO/demo.exe"
    ln -s ../VICTIM/keep.txt "$c/DEMO/demo.exe"
    ini=$(find "$c/windows" -maxdepth 1 -iname demo.ini)
    system_ini=$(find "$c/windows" -maxdepth 1 -iname system.ini)
    rm -f "$ini"
    ln "$system_ini" "$ini"
    system_sum=$(md5sum <"$system_ini")
    expected="$scenario/expected-file-links"
    ;;
  log-link | folder-link)
    mkdir -p "$c/COPY"
    if [ "$mode" = log-link ]; then
      cp "$c/DEMO/setup.uni" "$c/COPY/setup.uni"
      rm "$c/DEMO/setup.uni"
      ln -s ../COPY/setup.uni "$c/DEMO/setup.uni"
    else
      cp -r "$c/DEMO/." "$c/COPY/"
      rm -rf "$c/DEMO"
      ln -s COPY "$c/DEMO"
    fi
    wine_picture | wine_stable >"$run/before.txt"
    expected="$scenario/expected-not-the-log" answers="$scenario/tampered-answers" code=3
    ;;
esac

wine_uninstall "$run" "$command" "$robot" "$answers" ||
  { echo "uninstallation: robot exit code $?"; cat "$run/robot2.out"; failed=1; }
rc=$(cat "$run/uninstkp.rc")
[ "$rc" = "$code" ] || { echo "uninstkp.exe exit code $rc, expected $code"; failed=1; }
diff -u "$expected" "$run/uninstall-transcript.txt" || failed=1

if [ "$mode" = link ]; then
  [ "$(cat "$c/OTHER/demo.hlp" 2>/dev/null)" = "not the product's" ] ||
    { echo "a file was deleted through the link"; failed=1; }
  [ -L "$c/DEMO/help" ] || { echo "the link is gone"; failed=1; }
elif [ "$mode" = file-links ]; then
  [ "$(cat "$c/VICTIM/keep.txt" 2>/dev/null)" = "not the product's" ] ||
    { echo "the file the link leads to was changed or deleted"; failed=1; }
  [ -L "$c/DEMO/demo.exe" ] || { echo "the link is gone"; failed=1; }
  [ "$(md5sum <"$system_ini")" = "$system_sum" ] ||
    { echo "SYSTEM.INI was changed through the hard link"; failed=1; }
else
  wine_picture | wine_stable >"$run/after.txt"
  diff -u "$run/before.txt" "$run/after.txt" || { echo "the prefix differs from before"; failed=1; }
fi

if [ "$failed" -eq 0 ]; then
  echo "uninstall round trip passed${mode:+ ($mode)}"
  wine_passed "$run"
  exit 0
fi
echo "uninstall round trip failed (run folder $run)"
exit 1
