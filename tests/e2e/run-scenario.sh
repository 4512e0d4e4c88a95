#!/usr/bin/env bash
# Plays one scenario against the real setup.exe under Wine: the scenario's medium folder
# (copied, with the program as SETUP.EXE), its answers played by the robot, and the
# robot's transcript compared with the scenario's `expected` file, in which @MEDIUM@ stands
# for the Windows path of the medium folder. A PNG screenshot is saved for each line the
# robot writes (shot-N.png in the run's folder).
#
# An expected line that starts with "? " may be missing from the transcript: a window that
# is up only for a moment (the progress window of a small installation) is seen by the
# robot on one run and not on the next. When the scenario has an `expected-files` file,
# each of its lines is a path below the run's prefix (drive_c/...) that must exist after
# the run; `absent-files` lists such paths that must not exist. In `expected-registry`
# each line is a key, a tab and a text that `reg query KEY /s` must print after the run
# (blanks squeezed to one), or "!" and a key that must not exist. A `dll-overrides` file
# adds its line to WINEDLLOVERRIDES for the run. A `prefix/` folder is copied over the
# run's prefix before the run (drive_c/... for files and folders already there). In
# `expected-ink` each line is a form's caption, a tab and a rectangle of its client area
# (LEFT,TOP,RIGHT,BOTTOM): while the form shows, text must be drawn there (robot --ink).
#
# Files built elsewhere join the run as further arguments PLACE=FILE, PLACE being below
# the run's folder: medium/NAME beside SETUP.EXE, or prefix/drive_c/... in the prefix.
# usage: run-scenario.sh WORK_DIR WINE_LOADER SETUP.EXE ROBOT.EXE SCENARIO_DIR [PLACE=FILE...]
set -uo pipefail
loader=$2 setup=$3 robot=$(realpath "$4") scenario=$(cd "$5" && pwd)
work=$(mkdir -p "$1" && cd "$1" && pwd)
shift 5
extras=("$@")
name=$(basename "$scenario")
source "$(dirname "$0")/wine-env.sh"

run="$work/runs/$name"
rm -rf "$run"
mkdir -p "$run/medium"
cp -r "$scenario/medium/." "$run/medium/"
rm -f "$run/medium/.keep"
cp "$setup" "$run/medium/SETUP.EXE"
# place_extras medium|prefix: copies the extra files meant for that part of the run.
place_extras() {
  local extra place
  for extra in "${extras[@]}"; do
    place=${extra%%=*}
    case "$place" in "$1"/*) ;; *) continue ;; esac
    mkdir -p "$(dirname "$run/$place")"
    cp "${extra#*=}" "$run/$place" || exit 1
  done
}
place_extras medium

wine_prefix "$work" "$run" "$loader"
trap wine_cleanup EXIT
wine_xvfb "$run" || exit 125
place_extras prefix
[ -d "$scenario/prefix" ] && cp -r "$scenario/prefix/." "$run/prefix/"
if [ -f "$scenario/dll-overrides" ]; then
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$(head -n1 "$scenario/dll-overrides")"
fi

ink=()
if [ -f "$scenario/expected-ink" ]; then
  ink=(--ink "$(windows_path "$scenario/expected-ink")" --ink-seen "$(windows_path "$run/ink-seen")")
fi
wine_play "$run" "$run/medium" "$robot" "$scenario/answers" "${ink[@]}"
robot_rc=$?

medium_win=$(windows_path "$run/medium" | sed 's/\\$//; s/\\/\\\\\\\\/g')
sed "s/@MEDIUM@/$medium_win/g" "$scenario/expected" >"$run/expected.all"
grep -v '^? ' "$run/expected.all" >"$run/expected"
sed -n 's/^? //p' "$run/expected.all" >"$run/optional"
grep -vxF -f "$run/optional" "$run/transcript.txt" >"$run/transcript.seen"

failed=0
if [ "$robot_rc" -ne 0 ]; then
  echo "robot exit code $robot_rc:"
  cat "$run/robot.out"
  # What Wine said about the program, such as a call into a DLL that lacked the function.
  echo "setup.exe's output (last lines):"
  tail -n 8 "$run/setup.out"
  failed=1
fi
diff -u "$run/expected" "$run/transcript.seen" || failed=1
if [ -f "$scenario/expected-files" ]; then
  while IFS= read -r file; do
    [ -z "$file" ] && continue
    [ -e "$run/prefix/$file" ] || { echo "not in the prefix after the run: $file"; failed=1; }
  done <"$scenario/expected-files"
fi
if [ -f "$scenario/absent-files" ]; then
  while IFS= read -r file; do
    [ -z "$file" ] && continue
    [ -e "$run/prefix/$file" ] && { echo "in the prefix after the run: $file"; failed=1; }
  done <"$scenario/absent-files"
fi
if [ -f "$scenario/expected-ink" ]; then
  while IFS=$'\t' read -r caption area most; do
    [ -n "${most:-}" ] && [ "$most" -gt 0 ] && continue
    echo "nothing drawn at $area of \"$caption\" (dark pixels: ${most:-none})"
    failed=1
  done < <(tr -d '\r' <"$run/ink-seen" 2>/dev/null || true)
  [ -s "$run/ink-seen" ] || { echo "the robot reported no ink"; failed=1; }
fi
if [ -f "$scenario/expected-registry" ]; then
  while IFS=$'\t' read -r key text; do
    [ -z "$key" ] && continue
    if [ "${key#!}" != "$key" ]; then
      "$WINELOADER" reg query "${key#!}" >/dev/null 2>&1 &&
        { echo "registry key after the run: ${key#!}"; failed=1; }
      continue
    fi
    "$WINELOADER" reg query "$key" /s 2>/dev/null | tr -d '\r' | tr -s ' \t' '  ' |
      grep -qF -- "$text" || { echo "registry: $key lacks $text"; failed=1; }
  done <"$scenario/expected-registry"
fi
if [ "$failed" -eq 0 ]; then
  echo "scenario $name passed"
  wine_passed "$run"
  exit 0
fi
echo "scenario $name failed (run folder $run)"
exit 1
