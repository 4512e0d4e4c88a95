#!/usr/bin/env bash
# Lays out the demo installation medium with setup-pack: Setup.Inf, the product's files
# compressed (SZDD), the language files, help, Present.bmp and the uninstaller; setup-pack
# fills in the sizes and checks the medium it wrote.
#   scripts/make-demo.sh WINDOWS_BUILD_DIR OUT_DIR [SETUP-PACK OPTIONS...]
# WINDOWS_BUILD_DIR is a MinGW build of this project (it holds setup.exe, the demo programs
# and uninstkp.exe when built). setup-pack is the native one of build/ (SETUP_PACK names
# another); it is built there when missing. Further options go to setup-pack after the
# script's own (a later --programs replaces the build's programs).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win=$(cd "$1" && pwd)
out=$2
shift 2
src=$root/demo/medium
pack=${SETUP_PACK:-$root/build/tools/setup-pack/setup-pack}
if [ ! -x "$pack" ]; then
  cmake -S "$root" -B "$root/build" -G Ninja >/dev/null
  cmake --build "$root/build" --target setup-pack >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The product's files under the names the template gives them on the medium.
product=$work/product
programs=$work/programs
mkdir -p "$product/help" "$programs"
cp "$win/demo/demo.exe" "$product/demo.ex_"
cp "$src/help/demo.hlp" "$product/help/demo.hl_"
cp "$win/demo/democtl.ocx" "$product/democtl.oc_"
tlb=no
if [ -f "$win/demo/demo.tlb" ]; then
  cp "$win/demo/demo.tlb" "$product/demo.tl_"; tlb=yes
else
  # Only a build whose type-library tools are missing gets here (the i686 build stops first).
  echo "make-demo: $1 has no demo/demo.tlb: the medium is laid out without its type library" >&2
fi
cp "$src/data.dat" "$product/data.da_"
cp "$src/demo_en.lng" "$product/demo_en.dl_"
cp "$src/demo_de.lng" "$product/demo_de.dl_"
cp "$src/Present.bmp" "$product/"
for program in setup uninstkp; do
  [ -f "$win/app/win32/$program.exe" ] && cp "$win/app/win32/$program.exe" "$programs/"
done
if [ -f "$win/app/win32/SETUP.EXE" ]; then cp "$win/app/win32/SETUP.EXE" "$programs/setup.exe"; fi

{
  echo "InstTo=C:\\Program Files\\Demo Office"
  echo "CAPTION=Demo Office"
  echo "OSTYPE=WIN95/NT"
  echo "UNINSTALL=YES"
  echo "COMPRESSED=YES"
  echo "REBOOT=YES"
  echo "LANG=English,demo_en.dl_,demo.lng"
  echo "LANG=Deutsch,demo_de.dl_,demo.lng"
  echo "MakeGroup=YES"
  echo "COPYTOBASE=demo.ex_,demo.exe"
  echo "COPYTOBASE=help\\demo.hl_,help\\demo.hlp"
  echo "COPYTOWINSYS=democtl.oc_,democtl.ocx,REG"
  [ "$tlb" = yes ] && echo "COPYTOWINSYS=demo.tl_,demo.tlb,REGTLB"
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
  echo "COPYTOBASE=data.da_,data.dat"
  echo "INI FILE=demo.ini"
  echo "SECTION=Paths"
  echo "Home=<TOPATH>"
  echo "Help=<TOPATH>\\help"
  echo "SECTION=Options"
  echo "Language=English"
  echo "END OF INI"
} | sed 's/$/\r/' > "$work/Setup.Inf"
"$pack" --script "$work/Setup.Inf" --files "$product" --out "$out" --compress --programs "$programs" "$@"
echo "Demo medium laid out in $out"
