# What a run of setup.exe left in a Wine prefix, in the sections setup-sim's summary
# prints; sourced after wine-env.sh.
#   wine_summary RUN_DIR MARKER TEMPLATE_PREFIX
# MARKER is a file touched before the run (files newer than it are the run's);
# TEMPLATE_PREFIX is the prefix as it was before the run (its .reg files are compared with
# the run's, so the Wine session must have ended and saved its registry first).

# The lines of a Wine .reg file as "[key] value" lines, one per value; Wine's own comment
# lines (the time stamps of each key) are dropped.
wine_reg_values() {
  tr -d '\r' <"$1" | awk '
    /^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); next }
    /^[#;]/ || /^$/ || /^WINE REGISTRY/ { next }
    { print key " " $0 }'
}

# The "[key] value" lines of a hive (system or user) as the sandbox's summary writes them:
# the key under its root, its backslashes single ("\\" only in the value, as REGEDIT4 has it).
wine_reg_readable() {
  local root=HKEY_LOCAL_MACHINE
  [ "$1" = user ] && root=HKEY_CURRENT_USER
  awk -v root="$root" '{
    end = match($0, /\] [@"]/)
    key = substr($0, 2, end - 2)
    gsub(/\\\\/, "\\", key)
    print "[" root "\\" key "]" substr($0, end + 1) }'
}

wine_summary() {
  local run=$1 marker=$2 template=$3 prefix=$1/prefix
  echo "== files"
  # Wine's own bookkeeping in the prefix (registry files, caches) is not the run's.
  (cd "$prefix/drive_c" && find . -type f -newer "$marker" ! -path './users/*/AppData/Local/*' \
      ! -path './users/*/Temp/*' ! -path './windows/temp/*' -printf '%P\t%s\n' | sort) |
    while IFS=$'\t' read -r path size; do
      echo "C:\\${path//\//\\}  $size bytes"
    done

  echo "== registry values"
  local hive
  for hive in system user; do
    [ -f "$template/$hive.reg" ] && [ -f "$prefix/$hive.reg" ] || continue
    comm -13 <(wine_reg_values "$template/$hive.reg" | sort) \
      <(wine_reg_values "$prefix/$hive.reg" | sort) |
      grep -v -e '^\[Software\\\\Wine' -e '^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer' \
        -e '^\[System\\\\CurrentControlSet\\\\Control\\\\Session Manager' -e '^\[Volatile' \
        -e '^\[System\\\\CurrentControlSet\\\\Control\\\\Class' \
        -e '^\[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\Fonts' \
        -e '^\[Software\\\\Microsoft\\\\Windows\\\\Shell' \
      | wine_reg_readable "$hive"
  done

  echo "== INI entries"
  local ini
  while IFS= read -r ini; do
    tr -d '\r' <"$prefix/drive_c/$ini" | awk -v file="C:\\${ini//\//\\\\}" '
      /^\[/ { section = $0; next }
      NF { print file " " section " " $0 }'
  done < <(cd "$prefix/drive_c" && find . -iname '*.ini' -type f -newer "$marker" -printf '%P\n')

  echo "== Start menu"
  local menu
  for menu in "$prefix"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs \
              "$prefix"/drive_c/ProgramData/Microsoft/Windows/"Start Menu"/Programs; do
    [ -d "$menu" ] || continue
    (cd "$menu" && find . -newer "$marker" ! -name . -printf '%P\n' | sort) |
      sed 's/^/Start Menu\\Programs\\/; s/\//\\/g'
  done

  echo "== uninstall log"
  local uni
  while IFS= read -r uni; do
    echo "C:\\${uni//\//\\}"
    tr -d '\r' <"$prefix/drive_c/$uni" | sed 's/^/  /'
  done < <(cd "$prefix/drive_c" && find . -iname 'setup.uni' -type f -newer "$marker" -printf '%P\n')
}
