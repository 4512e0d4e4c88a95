#!/usr/bin/env bash
# Install, then uninstall, under Wine: the real setup.exe installs the scenario's medium
# (with uninstkp.exe beside it, as on a real medium) played by the robot, then the
# uninstaller is started with the command line of the uninstall entry and played by the
# robot too. The prefix's files (Start menu included) must then be as before the
# installation, but for the uninstaller itself, which goes at the next restart, and the
# registry must hold neither the product's values nor its uninstall entry.
# usage: run-uninstall.sh WORK_DIR WINE_LOADER SETUP.EXE UNINSTKP.EXE ROBOT.EXE SCENARIO_DIR
set -uo pipefail
loader=$2 setup=$3 uninstkp=$4 robot=$(realpath "$5") scenario=$(cd "$6" && pwd)
work=$(mkdir -p "$1" && cd "$1" && pwd)
source "$(dirname "$0")/wine-env.sh"

run="$work/runs/uninstall"
rm -rf "$run"
mkdir -p "$run/medium"
cp -r "$scenario/medium/." "$run/medium/"
cp "$setup" "$run/medium/SETUP.EXE"
cp "$uninstkp" "$run/medium/uninstkp.exe"

wine_prefix "$work" "$run" "$loader"
trap wine_cleanup EXIT
wine_xvfb "$run" || exit 125

# The files of the prefix that a program run may change on its own are left out.
list_files() {
  (cd "$run/prefix/drive_c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' \
    -prune -o -path './users/*/AppData/Local/Temp' -prune -o -print | LC_ALL=C sort)
}
"$WINELOADER" wineboot >/dev/null 2>&1
list_files >"$run/before.txt"

failed=0
wine_play "$run" "$run/medium" "$robot" "$scenario/install-answers" ||
  { echo "installation: robot exit code $?"; cat "$run/robot.out"; failed=1; }
cp "$run/transcript.txt" "$run/install-transcript.txt" 2>/dev/null

# The installation must have made what the uninstaller is to take away.
list_files >"$run/installed.txt"
for made in './DEMO/help/demo.hlp' './windows/demo.ini' './windows/uninstkp.exe'; do
  grep -qixF "$made" "$run/installed.txt" || { echo "not installed: $made"; failed=1; }
done
grep -qi '/Start Menu/Programs/Demo$' "$run/installed.txt" ||
  { echo "no Start-menu folder after the installation"; failed=1; }

entry='HKLM\Software\Microsoft\Windows\CurrentVersion\UnInstall\Demo'
command=$("$WINELOADER" reg query "$entry" /v UnInstallString 2>/dev/null | tr -d '\r' |
  sed -n 's/.*REG_SZ *//p')
[ -n "$command" ] || { echo "no uninstall entry after the installation"; failed=1; }
echo "uninstall command: $command"

# The uninstaller, as the entry starts it: the unquoted program, then its two arguments.
program=${command%% *}
eval "args=(${command#* })"
(timeout 120 "$WINELOADER" "$program" "${args[@]}" >"$run/uninstkp.out" 2>&1
 echo $? >"$run/uninstkp.rc") &
uninst_pid=$!
timeout 200 "$WINELOADER" "$robot" --answers "$(windows_path "$scenario/uninstall-answers")" \
  --transcript "$(windows_path "$run/uninstall-transcript")" --timeout 60 >"$run/robot2.out" 2>&1 ||
  { echo "uninstallation: robot exit code $?"; cat "$run/robot2.out"; failed=1; }
wait $uninst_pid
# The window's caption is seen only when it is up long enough for the robot to look.
tr -d '\r' <"$run/uninstall-transcript" | grep -v '^caption ' >"$run/uninstall-transcript.txt"
rc=$(cat "$run/uninstkp.rc")
[ "$rc" = 0 ] || { echo "uninstkp.exe exit code $rc"; failed=1; }
diff -u "$scenario/expected-uninstall" "$run/uninstall-transcript.txt" || failed=1

list_files | grep -vix './windows/uninstkp.exe' >"$run/after.txt"
diff -u "$run/before.txt" "$run/after.txt" || { echo "files differ from before"; failed=1; }
for key in "$entry" 'HKLM\Software\Demo'; do
  if "$WINELOADER" reg query "$key" >/dev/null 2>&1; then echo "still there: $key"; failed=1; fi
done

if [ "$failed" -eq 0 ]; then
  echo "uninstall round trip passed"
  exit 0
fi
echo "uninstall round trip failed (run folder $run)"
exit 1
