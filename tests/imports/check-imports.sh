#!/usr/bin/env bash
# Checks the import tables of Windows programs against a list of the functions that every
# Windows they are for exports (windows-exports.txt here, whose head says how it is made).
# usage: check-imports.sh LIST OBJDUMP PROGRAM.exe...
# Fails (exit 1) on an import that is not in the list, an import by ordinal, an entry of the
# list that no program imports, an entry without a known source, and a program whose header
# asks for a Windows or subsystem version above 4.0 (which those systems' loaders refuse as
# they refuse a missing import); prints one line for each.
set -euo pipefail
list=$1 objdump=$2
shift 2

headers_bad=0
for program in "$@"; do
  "$objdump" -p "$program" | awk -v program="$(basename "$program")" '
    $1 ~ /^(Major|Minor)(OSystem|Subsystem)Version$/ { version[$1] = $2 + 0 }
    END {
      split("OSystem Subsystem", kinds, " ")
      for (k in kinds) {
        major = version["Major" kinds[k] "Version"]; minor = version["Minor" kinds[k] "Version"]
        if (major > 4 || (major == 4 && minor > 0)) {
          printf "%s asks for %s version %d.%d; Windows 95 and NT 4.0 load 4.0 at most\n",
                 program, kinds[k] == "OSystem" ? "operating system" : "subsystem", major, minor
          bad = 1
        }
      }
      exit bad
    }' || headers_bad=1
done

imports=$(mktemp)
trap 'rm -f "$imports"' EXIT
for program in "$@"; do
  # "PROGRAM DLL FUNCTION" for each import; "PROGRAM DLL #" for one by ordinal.
  "$objdump" -p "$program" | awk -v program="$(basename "$program")" '
    /^The Import Tables/ { inside = 1; next }
    inside && /^The / { inside = 0 }
    !inside { next }
    /DLL Name:/ { dll = toupper($3); next }
    /^\t[0-9a-f]+\t +[0-9]+  [^ ]/ { print program, dll, $NF; next }
    /^\t[0-9a-f]+\t +[0-9]+ *$/ { print program, dll, "#" }'
done >"$imports"
[ -s "$imports" ] || { echo "no imports found in $* (is $objdump the right objdump?)"; exit 1; }

awk -v list="$(basename "$list")" '
  FNR == NR {
    sub(/#.*/, "")
    if (NF == 0) next
    if ($1 == "source") { sources[$2] = 1; next }
    key = toupper($1) " " $2
    if (key in listed) { print list ":" FNR ": " $1 " " $2 " is listed twice"; bad = 1 }
    listed[key] = FNR; source[key] = $3; count++
    next
  }
  {
    if ($3 == "#") { print $1 " imports a function of " $2 " by ordinal"; bad = 1; next }
    key = $2 " " $3
    used[key] = 1; total++
    if (!(key in listed)) {
      print $1 " imports " $2 " " $3 ", which is not in " list " (functions that Windows 95 and NT 4.0 both export)"
      bad = 1
    }
  }
  END {
    for (key in listed) {
      if (!(source[key] in sources)) { print list ":" listed[key] ": " key " names no known source"; bad = 1 }
      if (!(key in used)) { print list ":" listed[key] ": " key " is imported by no program: take it out"; bad = 1 }
    }
    printf "%d imports checked against %d entries: %s\n", total, count, bad ? "FAILED" : "all listed"
    exit bad
  }' "$list" "$imports" && [ "$headers_bad" -eq 0 ]
