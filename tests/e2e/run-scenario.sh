#!/usr/bin/env bash
# Plays one scenario against the real setup.exe under Wine: the scenario's medium folder
# (copied, with the program as SETUP.EXE), its answers played by the robot, and the
# robot's transcript compared with the scenario's `expected` file, in which @MEDIUM@ stands
# for the Windows path of the medium folder. A PNG screenshot is saved for each line the
# robot writes (shot-N.png in the run's folder).
# usage: run-scenario.sh WORK_DIR WINE_LOADER SETUP.EXE ROBOT.EXE SCENARIO_DIR
set -uo pipefail
work=$1 loader=$2 setup=$3 robot=$4 scenario=$5
name=$(basename "$scenario")
case "$loader" in
  *64) arch=win64 ;;
  *) arch=win32 ;;
esac
server=/usr/lib/wine/wineserver
run="$work/runs/$name"
rm -rf "$run"
mkdir -p "$run/medium" "$run/snaps" "$work/home"
cp -r "$scenario/medium/." "$run/medium/"
rm -f "$run/medium/.keep"
cp "$setup" "$run/medium/SETUP.EXE"

# A prefix of this run's own, copied from a template booted once for all runs.
template="$work/template-$arch"
(
  flock 9
  if [ ! -f "$template/system.reg" ]; then
    WINEPREFIX="$template" WINEARCH=$arch WINELOADER=$loader WINEDEBUG=-all HOME="$work/home" \
      timeout 300 "$loader" wineboot --init >"$work/wineboot.log" 2>&1
    WINEPREFIX="$template" timeout 120 "$server" -w
  fi
) 9>"$work/template-$arch.lock"
cp -a "$template" "$run/prefix"
export WINEPREFIX="$run/prefix" WINEARCH=$arch WINELOADER=$loader WINEDEBUG=-all
export HOME="$work/home"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"

display_file="$run/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >"$run/xvfb.log" 2>&1 &
xvfb_pid=$!
cleanup() {
  timeout 30 "$server" -k >/dev/null 2>&1
  kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 125; }
export DISPLAY=":$(head -n1 "$display_file")"

windows_path() { "$loader" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

(cd "$run/medium" && timeout 120 "$loader" SETUP.EXE >"$run/setup.out" 2>&1; echo $? >"$run/setup.rc") &
setup_pid=$!

# Screenshots on the robot's request, until it ends.
(
  n=1
  while :; do
    if [ -f "$run/snaps/request-$n" ]; then
      xwd -root -silent | convert xwd:- "$run/shot-$n.png" 2>/dev/null
      touch "$run/snaps/done-$n"
      n=$((n + 1))
    elif [ -f "$run/robot.rc" ]; then
      break
    else
      sleep 0.1
    fi
  done
) &
snapper=$!

timeout 180 "$loader" "$robot" --answers "$(windows_path "$scenario/answers")" \
  --transcript "$(windows_path "$run/transcript")" --snap-dir "$(windows_path "$run/snaps")" \
  --timeout 60 >"$run/robot.out" 2>&1
robot_rc=$?
echo $robot_rc >"$run/robot.rc"
wait $snapper
wait $setup_pid

medium_win=$(windows_path "$run/medium" | sed 's/\\$//; s/\\/\\\\\\\\/g')
sed "s/@MEDIUM@/$medium_win/g" "$scenario/expected" >"$run/expected"
tr -d '\r' <"$run/transcript" >"$run/transcript.txt" 2>/dev/null
if [ "$robot_rc" -ne 0 ]; then
  echo "robot exit code $robot_rc:"; cat "$run/robot.out"
fi
if diff -u "$run/expected" "$run/transcript.txt"; then
  [ "$robot_rc" -eq 0 ] && { echo "scenario $name passed"; exit 0; }
fi
echo "scenario $name failed (run folder $run)"
exit 1
