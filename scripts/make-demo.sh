#!/usr/bin/env bash
# Lays out the demo installation medium: Setup.Inf, the product's files compressed with
# mscompress (SZDD), the language files, help, Present.bmp and the uninstaller.
#   scripts/make-demo.sh WINDOWS_BUILD_DIR OUT_DIR
# WINDOWS_BUILD_DIR is a MinGW build of this project (it holds setup.exe, the demo programs
# and uninstkp.exe when built).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=$(cd "$1" && pwd)
out=$2
src=$root/demo/medium

rm -rf "$out"
mkdir -p "$out/help"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# compress SOURCE MEDIUM_NAME: puts SOURCE on the medium as MEDIUM_NAME, SZDD-compressed,
# and prints its expanded size.
compress() {
  local name
  name=$(basename "$1")
  cp "$1" "$work/$name"
  mscompress "$work/$name"
  mv "$work/${name}_" "$out/$2"
  stat -c %s "$1"
}

exe=$(compress "$win/demo/demo.exe" demo.ex_)
hlp=$(compress "$src/help/demo.hlp" help/demo.hl_)
ocx=$(compress "$win/demo/democtl.ocx" democtl.oc_)
tlb=0
if [ -f "$win/demo/demo.tlb" ]; then tlb=$(compress "$win/demo/demo.tlb" demo.tl_); fi
dat=$(compress "$src/data.dat" data.da_)
compress "$src/demo_en.lng" demo_en.dl_ >/dev/null
compress "$src/demo_de.lng" demo_de.dl_ >/dev/null
cp "$src/Present.bmp" "$out/"
for program in setup uninstkp; do
  [ -f "$win/app/win32/$program.exe" ] && cp "$win/app/win32/$program.exe" "$out/"
done
if [ -f "$win/app/win32/SETUP.EXE" ]; then cp "$win/app/win32/SETUP.EXE" "$out/setup.exe"; fi

total=$((exe + hlp + ocx + tlb + dat))
{
  echo "InstTo=C:\\Program Files\\Demo Office"
  echo "CAPTION=Demo Office"
  echo "OSTYPE=WIN95/NT"
  echo "PROCESS=$total"
  echo "UNINSTALL=YES"
  echo "COMPRESSED=YES"
  echo "REBOOT=YES"
  echo "LANG=English,demo_en.dl_,demo.lng"
  echo "LANG=Deutsch,demo_de.dl_,demo.lng"
  echo "MakeGroup=YES"
  echo "COPYTOBASE=demo.ex_,demo.exe\$\$$exe\$\$"
  echo "COPYTOBASE=help\\demo.hl_,help\\demo.hlp\$\$$hlp\$\$"
  echo "COPYTOWINSYS=democtl.oc_,democtl.ocx,REG\$\$$ocx\$\$"
  [ "$tlb" != 0 ] && echo "COPYTOWINSYS=demo.tl_,demo.tlb,REGTLB\$\$$tlb\$\$"
  echo "GROUP ITEM"
  echo "FILE=<TOPATH>\\demo.exe"
  echo "TITLE=Demo Office"
  echo "PATH=<TOPATH>"
  echo "END OF GROUP ITEM"
  echo "GROUP ITEM"
  echo "FILE=notepad.exe <TOPATH>\\help\\demo.hlp"
  echo "TITLE=Demo Office Help"
  echo "PATH=<TOPATH>\\help"
  echo "END OF GROUP ITEM"
  echo "REGISTRY ITEM"
  echo "KEYROOT=HKEY_LOCAL_MACHINE"
  echo "KEYLEVEL=SOFTWARE\\Tavrin\\Demo Office"
  echo "KEYNAME=Version"
  echo "KEYNAMEVALUE=2.0"
  echo "KEYTYPE=STRING"
  echo "END OF REGISTRY ITEM"
  echo "REGISTRY ITEM"
  echo "KEYROOT=HKEY_LOCAL_MACHINE"
  echo "KEYLEVEL=SOFTWARE\\Tavrin\\Demo Office"
  echo "KEYNAME=Documents"
  echo "KEYNAMEVALUE=\$10"
  echo "KEYTYPE=INTEGER"
  echo "END OF REGISTRY ITEM"
  echo "DISK=2"
  echo "COPYTOBASE=data.da_,data.dat\$\$$dat\$\$"
  echo "INI FILE=demo.ini"
  echo "SECTION=Paths"
  echo "Home=<TOPATH>"
  echo "Help=<TOPATH>\\help"
  echo "SECTION=Options"
  echo "Language=English"
  echo "END OF INI"
} | sed 's/$/\r/' > "$out/Setup.Inf"
echo "Demo medium laid out in $out"
