# Shared pieces of the runs under Wine; sourced by run-scenario.sh, run-demo.sh and
# scripts/demo.sh (bash, with `set -u`).
#
#   wine_arch LOADER                     win32 or win64: the prefix kind LOADER runs
#   wine_prefix WORK_DIR RUN_DIR LOADER  a prefix of the run's own in RUN_DIR/prefix, copied
#                                        from a template booted once in WORK_DIR; exports
#                                        WINEPREFIX, WINEARCH, WINELOADER, WINEDEBUG, HOME,
#                                        WINEDLLOVERRIDES and sets wine_server
#   wine_xvfb RUN_DIR                    starts an Xvfb of its own and exports DISPLAY
#                                        (in the range SETUP_XVFB_DISPLAYS=FIRST-LAST if set)
#   wine_cleanup                         ends the prefix's wineserver and the Xvfb, if any
#   windows_path HOST_PATH               the Windows path Wine gives a host path
#   wine_snapper RUN_DIR STOP_FILE &     takes RUN_DIR/shot-N.png when the robot asks for it
#                                        (RUN_DIR/snaps/request-N), until STOP_FILE exists

wine_server=/usr/lib/wine/wineserver
wine_xvfb_pid=""

# The prefix kind a loader runs: the 32-bit loader /usr/lib/wine/wine makes win32 prefixes,
# /usr/lib/wine/wine64 win64 ones.
wine_arch() { case "$1" in *64) echo win64 ;; *) echo win32 ;; esac; }

wine_prefix() {
  local work=$1 run=$2 loader=$3 arch
  arch=$(wine_arch "$loader")
  mkdir -p "$work/home" "$run"
  # Booting a prefix takes 15-20 s; copying a booted one about 2 s. One boot for all runs,
  # however many start at once.
  local template="$work/template-$arch"
  (
    flock 9
    if [ ! -f "$template/system.reg" ]; then
      WINEPREFIX="$template" WINEARCH=$arch WINELOADER=$loader WINEDEBUG=-all HOME="$work/home" \
        timeout 300 "$loader" wineboot --init >"$work/wineboot.log" 2>&1
      WINEPREFIX="$template" timeout 120 "$wine_server" -w
    fi
  ) 9>"$work/template-$arch.lock"
  rm -rf "$run/prefix"
  cp -a "$template" "$run/prefix"
  export WINEPREFIX="$run/prefix" WINEARCH=$arch WINELOADER=$loader WINEDEBUG=-all
  export HOME="$work/home"
  # No Mono or Gecko prompts, no menu entries on the host, no crash debugger that hangs.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
}

wine_xvfb() {
  local run=$1 display_file="$1/display" first last n
  rm -f "$display_file"
  # Xvfb writes the display's number to fd 3 once it takes connections. Without
  # SETUP_XVFB_DISPLAYS it picks a free display itself, so that parallel runs never share
  # one; with SETUP_XVFB_DISPLAYS=FIRST-LAST (a machine whose users keep to ranges of their
  # own) the first free number of that range is taken.
  if [ -z "${SETUP_XVFB_DISPLAYS:-}" ]; then
    wine_xvfb_start "$run" -displayfd 3 && return 0
  else
    first=${SETUP_XVFB_DISPLAYS%-*} last=${SETUP_XVFB_DISPLAYS#*-}
    for n in $(seq "$first" "$last"); do
      [ -e "/tmp/.X$n-lock" ] && continue
      wine_xvfb_start "$run" ":$n" -displayfd 3 && return 0
    done
  fi
  echo "Xvfb did not start (see $run/xvfb.log)" >&2
  return 1
}

# wine_xvfb_start RUN_DIR XVFB_ARGS...: one try; exports DISPLAY when the server is up.
wine_xvfb_start() {
  local run=$1 display_file="$1/display"
  shift
  Xvfb "$@" -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >"$run/xvfb.log" 2>&1 &
  wine_xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$wine_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$display_file" ]; then
    kill "$wine_xvfb_pid" 2>/dev/null
    wine_xvfb_pid=""
    return 1
  fi
  export DISPLAY=":$(head -n1 "$display_file")"
}

wine_cleanup() {
  # The shell answers [CreateGroup] with an Explorer window that keeps the session alive:
  # the session is ended, not waited for.
  timeout 30 "$wine_server" -k >/dev/null 2>&1 || true
  timeout 30 "$wine_server" -w >/dev/null 2>&1 || true
  [ -z "$wine_xvfb_pid" ] || kill "$wine_xvfb_pid" 2>/dev/null || true
  wine_xvfb_pid=""
  return 0
}

windows_path() { "$WINELOADER" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

wine_snapper() {
  local run=$1 stop=$2 n=1
  mkdir -p "$run/snaps"
  while :; do
    if [ -f "$run/snaps/request-$n" ]; then
      xwd -root -silent | convert xwd:- "$run/shot-$n.png" 2>/dev/null
      touch "$run/snaps/done-$n"
      n=$((n + 1))
    elif [ -f "$stop" ]; then
      break
    else
      sleep 0.1
    fi
  done
}

#   wine_play RUN_DIR MEDIUM_DIR ROBOT ANSWERS [ROBOT_OPTION...]
#                                        runs MEDIUM_DIR/SETUP.EXE (from that directory)
#                                        with the robot playing ANSWERS (and the further
#                                        options given); leaves
#                                        RUN_DIR/transcript.txt, robot.out, robot.rc,
#                                        setup.rc and the screenshots; returns robot's code
wine_play() {
  local run=$1 medium=$2 robot=$3 answers=$4
  shift 4
  rm -f "$run/robot.rc" "$run/setup.rc" "$run/transcript" "$run/transcript.txt"
  rm -rf "$run/snaps"
  mkdir -p "$run/snaps"
  (cd "$medium" && timeout 240 "$WINELOADER" SETUP.EXE >"$run/setup.out" 2>&1
   echo $? >"$run/setup.rc") &
  local setup_pid=$!
  wine_snapper "$run" "$run/robot.rc" &
  local snapper=$!
  # The robot waits on window state (60 s at most for each answer); the outer limit only
  # catches a robot that hangs.
  timeout 300 "$WINELOADER" "$robot" --answers "$(windows_path "$answers")" \
    --transcript "$(windows_path "$run/transcript")" --snap-dir "$(windows_path "$run/snaps")" \
    --timeout 60 "$@" >"$run/robot.out" 2>&1
  local robot_rc=$?
  echo $robot_rc >"$run/robot.rc"
  wait $snapper
  # A program that outlives the robot (it failed) is ended with the session.
  [ "$robot_rc" -eq 0 ] || timeout 30 "$wine_server" -k >/dev/null 2>&1
  wait $setup_pid
  tr -d '\r' <"$run/transcript" >"$run/transcript.txt" 2>/dev/null
  return $robot_rc
}

# Makes every program of the prefix run in one virtual desktop of the screen's size, which
# draws the title bars and frames that a screen without a window manager lacks (for
# screenshots a person reads).
wine_virtual_desktop() {
  "$WINELOADER" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "$WINELOADER" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
    >/dev/null 2>&1
}
