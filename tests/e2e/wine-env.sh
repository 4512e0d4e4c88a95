# Shared pieces of the runs under Wine; sourced by run-scenario.sh, run-demo.sh and
# scripts/demo.sh (bash, with `set -u`).
#
#   wine_arch LOADER                     win32 or win64: the prefix kind LOADER runs
#   wine_prefix WORK_DIR RUN_DIR LOADER  a prefix of the run's own in RUN_DIR/prefix, copied
#                                        from a template booted once in WORK_DIR; exports
#                                        WINEPREFIX, WINEARCH, WINELOADER, WINEDEBUG, HOME,
#                                        WINEDLLOVERRIDES and sets wine_server. With
#                                        SETUP_WINE_VERSION (win98, nt40, ...) the prefix
#                                        reports that Windows; for the 95 family (win95,
#                                        win98, winme) the CryptoAPI provider that knows
#                                        SHA-256 is taken away too, as those systems lack it
#   wine_xvfb RUN_DIR                    starts an Xvfb of its own and exports DISPLAY
#                                        (in the range SETUP_XVFB_DISPLAYS=FIRST-LAST if set)
#   wine_cleanup                         ends the prefix's wineserver and the Xvfb, if any
#   wine_passed RUN_DIR                  the run passed: ends the session and deletes its
#                                        prefix (SETUP_KEEP_PREFIX=1 keeps it)
#   windows_path HOST_PATH               the Windows path Wine gives a host path
#   wine_snapper RUN_DIR STOP_FILE &     takes RUN_DIR/shot-N.png when the robot asks for it
#                                        (RUN_DIR/snaps/request-N), until STOP_FILE exists
#   wine_drive LETTER HOST_DIR TYPE      makes HOST_DIR drive LETTER: of the prefix (a
#                                        dosdevices link) of TYPE floppy, cdrom or hd
#   wine_disk_changer RUN_DIR STOP_FILE LETTER DISKS_DIR &
#                                        puts DISKS_DIR/DISKn into drive LETTER: when the
#                                        robot asks for disk n, until STOP_FILE exists
#   wine_uninstall_entry CAPTION         prints the UnInstallString of the product's uninstall
#                                        entry; says and fails when it or its log digest is
#                                        missing
#   wine_uninstall RUN_DIR COMMAND ROBOT ANSWERS
#                                        starts the uninstaller as COMMAND (the entry's
#                                        UnInstallString) says, the robot playing ANSWERS;
#                                        leaves RUN_DIR/uninstall-transcript.txt (caption
#                                        lines left out), robot2.out and uninstkp.rc;
#                                        returns the robot's code
#   wine_picture / wine_stable           every file of the prefix's drive C: with its digest
#                                        and the registry; the same without what Wine or a
#                                        restart changes on their own (for before/after)

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
  local version=${SETUP_WINE_VERSION:-}
  [ -n "$version" ] || return 0
  "$loader" reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1 ||
    { echo "cannot make the prefix report $version" >&2; return 1; }
  case "$version" in
    win95 | win98 | winme) export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;rsaenh=d" ;;
  esac
}

# The run folder's name for NAME: NAME, and the Windows the prefix reports when it is set.
wine_run_name() { echo "$1${SETUP_WINE_VERSION:+-$SETUP_WINE_VERSION}"; }

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

# Every run's prefix is a full copy of the template, about 600 MB: a suite that kept them all
# would fill a build machine's disk. A failed run keeps its prefix for a look inside.
wine_passed() {
  wine_cleanup
  [ "${SETUP_KEEP_PREFIX:-0}" = 1 ] || rm -rf "$1/prefix"
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

#   wine_play RUN_DIR MEDIUM_DIR ROBOT ANSWERS [--program PROGRAM] [--disks LETTER DISKS_DIR]
#             [ROBOT_OPTION...]
#                                        runs MEDIUM_DIR/SETUP.EXE (or PROGRAM, such as
#                                        A:\SETUP.EXE) from that directory with the robot
#                                        playing ANSWERS (and the further options given);
#                                        leaves RUN_DIR/transcript.txt, robot.out, robot.rc,
#                                        setup.rc and the screenshots; returns robot's code.
#                                        With --disks the robot's `disk n` answers put
#                                        DISKS_DIR/DISKn into drive LETTER:
wine_play() {
  local run=$1 medium=$2 robot=$3 answers=$4 program=SETUP.EXE letter="" disks=""
  shift 4
  while [ $# -gt 0 ]; do
    case $1 in
      --program) program=$2; shift 2 ;;
      --disks) letter=$2 disks=$3; shift 3 ;;
      *) break ;;
    esac
  done
  rm -f "$run/robot.rc" "$run/setup.rc" "$run/transcript" "$run/transcript.txt"
  rm -rf "$run/snaps" "$run/changer"
  mkdir -p "$run/snaps" "$run/changer"
  (cd "$medium" && timeout 240 "$WINELOADER" "$program" >"$run/setup.out" 2>&1
   echo $? >"$run/setup.rc") &
  local setup_pid=$!
  wine_snapper "$run" "$run/robot.rc" &
  local snapper=$! changer=""
  local changing=()
  if [ -n "$disks" ]; then
    wine_disk_changer "$run" "$run/robot.rc" "$letter" "$disks" &
    changer=$!
    changing=(--changer "$(windows_path "$run/changer")")
  fi
  # The robot waits on window state (60 s at most for each answer); the outer limit only
  # catches a robot that hangs.
  timeout 300 "$WINELOADER" "$robot" --answers "$(windows_path "$answers")" \
    --transcript "$(windows_path "$run/transcript")" --snap-dir "$(windows_path "$run/snaps")" \
    --timeout 60 "${changing[@]}" "$@" >"$run/robot.out" 2>&1
  local robot_rc=$?
  echo $robot_rc >"$run/robot.rc"
  wait $snapper
  [ -z "$changer" ] || wait "$changer"
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

wine_drive() {
  local letter=$1 dir=$2 type=$3
  ln -sfn "$dir" "$WINEPREFIX/dosdevices/${letter,,}:"
  "$WINELOADER" reg add 'HKLM\Software\Wine\Drives' /v "${letter,,}:" /d "$type" /f >/dev/null 2>&1
}

# The robot writes changer/change-K (the disk's number) whole and waits for changer/changed-K:
# "ok", or why the disk was not changed.
wine_disk_changer() {
  local run=$1 stop=$2 letter=$3 disks=$4 k=1 n reply
  while :; do
    if [ -f "$run/changer/change-$k" ]; then
      n=$(tr -dc '0-9' <"$run/changer/change-$k")
      if [ -n "$n" ] && [ -d "$disks/DISK$n" ]; then
        ln -sfn "$disks/DISK$n" "$WINEPREFIX/dosdevices/${letter,,}:"
        reply=ok
      else
        reply="there is no disk $n in $disks"
      fi
      echo "$reply" >"$run/changer/changed-$k.tmp"
      mv "$run/changer/changed-$k.tmp" "$run/changer/changed-$k"
      k=$((k + 1))
    elif [ -f "$stop" ]; then
      break
    else
      sleep 0.1
    fi
  done
}

# A picture of the prefix: every file of drive C: with its digest (what a program run may
# change on its own left out, and the uninstaller with WININIT.INI, where the 95 family
# keeps its deletion at the next restart), and the registry without the times Wine stamps on
# every key it saves and without the user's name and company, which are user data.
wine_picture() {
  timeout 60 "$wine_server" -w >/dev/null 2>&1
  (cd "$WINEPREFIX/drive_c" && find . \( -path ./windows/temp -o -path './users/*/Temp' -o \
    -path './users/*/AppData/Local/Temp' \) -prune -o -print | LC_ALL=C sort |
    while IFS= read -r f; do
      if [ -f "$f" ]; then echo "$f $(md5sum <"$f" | cut -c1-32)"; else echo "$f"; fi
    done | grep -vi -e '^\./windows/uninstkp\.exe ' -e '^\./windows/wininit\.ini ')
  for hive in system.reg user.reg; do
    echo "== $hive"
    sed -e 's/^\(\[.*\]\) [0-9]*$/\1/' -e '/^#time=/d' "$WINEPREFIX/$hive" |
      awk -v RS= -v ORS='\n\n' '!/^\[Software\\\\Tavrin\\\\Velmora Management Console\\\\Register\]/'
  done
}

# Keys Wine itself rewrites on every start, whatever runs; and the uninstaller's own file,
# which goes at the next restart: that pending deletion is by design.
wine_stable() {
  local volatile='^\[(Software\\\\Wine\\\\|System\\\\CurrentControlSet\\\\Control\\\\(DeviceClasses|Class)\\\\|Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\Fonts|Hardware\\\\)'
  v="$volatile" awk -v RS= -v ORS='\n\n' '$0 !~ ENVIRON["v"]' |
    grep -v '^"PendingFileRenameOperations"=.*uninstkp\.exe'
}

wine_uninstall_entry() {
  local entry="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\UnInstall\\$1" command
  command=$("$WINELOADER" reg query "$entry" /v UnInstallString 2>/dev/null | tr -d '\r' |
    sed -n 's/.*REG_SZ *//p')
  [ -n "$command" ] || { echo "no uninstall entry after the installation" >&2; return 1; }
  echo "uninstall command: $command" >&2
  "$WINELOADER" reg query "$entry" /v LogDigest 2>/dev/null | grep -q 'REG_SZ *[0-9a-f]\{64\}' ||
    { echo "no log digest in the uninstall entry" >&2; echo "$command"; return 1; }
  echo "$command"
}

wine_uninstall() {
  local run=$1 command=$2 robot=$3 answers=$4 program args robot_rc
  # The unquoted program, then its two arguments, as the entry starts it.
  program=${command%% *}
  eval "args=(${command#* })"
  (timeout 120 "$WINELOADER" "$program" "${args[@]}" >"$run/uninstkp.out" 2>&1
   echo $? >"$run/uninstkp.rc") &
  local uninst_pid=$!
  timeout 200 "$WINELOADER" "$robot" --answers "$(windows_path "$answers")" \
    --transcript "$(windows_path "$run/uninstall-transcript")" --timeout 60 >"$run/robot2.out" 2>&1
  robot_rc=$?
  wait $uninst_pid
  # The window's caption is seen only when it is up long enough for the robot to look.
  tr -d '\r' <"$run/uninstall-transcript" | grep -v '^caption ' >"$run/uninstall-transcript.txt"
  return $robot_rc
}
