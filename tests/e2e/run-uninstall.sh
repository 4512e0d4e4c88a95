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
# uninstaller must refuse, and the prefix and the copy must be as they were. With "com" the
# medium also brings two COM server DLLs into the installation folder, registered (REG): one
# the installation creates, and one that lay there, registered, before the installation;
# and a type library (REGTLB). After the uninstall the first one's class and the library
# are gone from the registry and the second one's class is still there (and the whole
# prefix is as before). With SETUP_WINE_VERSION the prefix reports that Windows
# (wine-env.sh); on the 95 family the uninstaller's own file goes through WININIT.INI.
# usage: run-uninstall.sh WORK_DIR WINE_LOADER SETUP.EXE UNINSTKP.EXE ROBOT.EXE SCENARIO_DIR
#                         [MODE [SERVER.DLL SERVER-BEFORE.DLL LIBRARY.TLB]]
set -uo pipefail
loader=$2 setup=$3 uninstkp=$4 robot=$(realpath "$5") scenario=$(cd "$6" && pwd) mode=${7:-}
# The classes the two servers register (tests/fixtures/CMakeLists.txt).
class_created='HKCR\CLSID\{6E1A52D0-3C1B-4F0E-9A57-2D3C4B5A6F01}'
class_before='HKCR\CLSID\{6E1A52D0-3C1B-4F0E-9A57-2D3C4B5A6F02}'
# The library's identity (tests/fixtures/Fixture.idl).
library='HKCR\TypeLib\{8C1B5E2A-3F4D-4E6A-9B7C-2D1E0F3A4B5C}'
work=$(mkdir -p "$1" && cd "$1" && pwd)
source "$(dirname "$0")/wine-env.sh"

run="$work/runs/$(wine_run_name "uninstall${mode:+-$mode}")"
rm -rf "$run"
mkdir -p "$run/medium"
cp -r "$scenario/medium/." "$run/medium/"
cp "$setup" "$run/medium/SETUP.EXE"
cp "$uninstkp" "$run/medium/uninstkp.exe"
if [ "$mode" = com ]; then
  cp "$8" "$run/medium/server.dll"
  cp "$9" "$run/medium/before.dll"
  cp "${10}" "$run/medium/fixture.tlb"
  printf 'COPYTOBASE=%s\r\n' server.dll,server.dll,REG before.dll,before.dll,REG \
    fixture.tlb,fixture.tlb,REGTLB >>"$run/medium/Setup.Inf"
fi

wine_prefix "$work" "$run" "$loader" || exit 1
trap wine_cleanup EXIT
wine_xvfb "$run" || exit 125

"$WINELOADER" wineboot >/dev/null 2>&1
c="$run/prefix/drive_c"
failed=0
# The registered value of a class's in-process server, or nothing.
server_of() {
  "$WINELOADER" reg query "$1\\InprocServer32" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'
}
if [ "$mode" = com ]; then
  # A product's server already there and registered, as the system's own would be.
  mkdir -p "$c/DEMO"
  cp "$9" "$c/DEMO/before.dll"
  "$WINELOADER" regsvr32 /s 'C:\DEMO\before.dll' >/dev/null 2>&1
  [ "$(server_of "$class_before")" = 'C:\DEMO\before.dll' ] ||
    { echo "the server that was there before could not be registered"; failed=1; }
fi
wine_picture | wine_stable >"$run/before.txt"

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
if [ "$mode" = com ]; then
  for pair in "$class_created=C:\DEMO\server.dll" "$class_before=C:\DEMO\before.dll"; do
    server=$(server_of "${pair%%=*}")
    echo "after the installation, ${pair%%=*}: $server"
    [ "$server" = "${pair#*=}" ] || { echo "not registered by the installation: ${pair#*=}"; failed=1; }
  done
  "$WINELOADER" reg query "$library" /s 2>/dev/null | grep -qiF 'C:\DEMO\fixture.tlb' ||
    { echo "the type library was not registered by the installation"; failed=1; }
fi

command=$(wine_uninstall_entry Demo) || failed=1

expected="$scenario/expected-uninstall" answers="$scenario/uninstall-answers" code=0
if [ "$mode" = tampered ]; then
  # An extra block that would delete a file of the system.
  printf 'COPYTOWIN=x,win.ini\r\n' >>"$run/prefix/drive_c/DEMO/setup.uni"
  wine_picture | wine_stable >"$run/before.txt"
  expected="$scenario/expected-tampered" answers="$scenario/tampered-answers" code=3
fi

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
  com) expected="$scenario/expected-com" ;;
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
  if [ "$mode" = com ]; then
    [ -z "$(server_of "$class_created")" ] ||
      { echo "the class of the server the installation made is still registered"; failed=1; }
    [ "$(server_of "$class_before")" = 'C:\DEMO\before.dll' ] ||
      { echo "the server that was there before lost its registration"; failed=1; }
    ! "$WINELOADER" reg query "$library" >/dev/null 2>&1 ||
      { echo "the type library is still registered"; failed=1; }
  fi
  wine_picture | wine_stable >"$run/after.txt"
  diff -u "$run/before.txt" "$run/after.txt" || { echo "the prefix differs from before"; failed=1; }
  # The uninstaller's own file goes at the next restart, after an uninstall that ran: on the
  # 95 family through the [rename] section of WININIT.INI, on NT through the system's list.
  # One that refused leaves it where it is.
  case "${SETUP_WINE_VERSION:-}" in
    win95 | win98 | winme)
      # (The file has the letter case the uninstaller gave it: WININIT.INI.)
      find "$run/prefix/drive_c/windows" -maxdepth 1 -iname wininit.ini -exec cat {} + |
        tr -d '\r' | grep -qix 'NUL=C:\\windows\\uninstkp\.exe' ;;
    *) grep -qi '^"PendingFileRenameOperations"=.*uninstkp\.exe' "$run/prefix/system.reg" ;;
  esac
  scheduled=$?
  if [ "$code" = 0 ] && [ "$scheduled" -ne 0 ]; then
    echo "uninstkp.exe is not deleted at the next restart"; failed=1
  elif [ "$code" != 0 ] && [ "$scheduled" -eq 0 ]; then
    echo "uninstkp.exe is deleted at the next restart though the uninstaller refused"; failed=1
  fi
fi

if [ "$failed" -eq 0 ]; then
  echo "uninstall round trip passed${mode:+ ($mode)}"
  wine_passed "$run"
  exit 0
fi
echo "uninstall round trip failed (run folder $run)"
exit 1
