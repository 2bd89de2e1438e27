#!/usr/bin/env bash
# Makes the Windows zip and installer from the built programs (called by the
# target windows-packages):
#   package.sh OUT VERSION OBJDUMP STRIP MAKENSIS ZIP DLL_FOLDERS PLUGINS PROGRAM...
# The programs go into a folder with the Qt plugins they load (the window
# system's and the Windows style) and, found in DLL_FOLDERS (separated by
# ':'), exactly the DLLs these import, directly or through each other. What is
# in no such folder is Windows' own.
set -euo pipefail
out=$1 version=$2 objdump=$3 strip=$4 makensis=$5 zip=$6 plugins=$8
IFS=: read -ra dll_folders <<<"$7"
shift 8
here=$(cd "$(dirname "$0")" && pwd)
name=kv71xx-$version-win64
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/kv71xx-$version-setup.exe"
mkdir -p "$stage/platforms" "$stage/styles"

for program in "$@"; do cp "$program" "$stage/"; done
cp "$plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"

# The DLLs a binary imports that one of the folders holds (names compared
# without case, as Windows does).
imported() {
    "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p' | while read -r dll; do
        for folder in "${dll_folders[@]}"; do
            match=$(find "$folder" -maxdepth 1 -iname "$dll" -print -quit)
            if [ -n "$match" ]; then echo "$match"; break; fi
        done
    done
}
pending=("$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
    binary=${pending[0]}
    pending=("${pending[@]:1}")
    while read -r dll; do
        [ -n "$dll" ] && [ ! -e "$stage/$(basename "$dll")" ] || continue
        cp "$dll" "$stage/"
        pending+=("$stage/$(basename "$dll")")
    done < <(imported "$binary")
done
# Debugging symbols are no use to a user: the copies go without them.
find "$stage" -name '*.exe' -o -name '*.dll' | xargs "$strip" --strip-unneeded
cp "$here/../copyright" "$stage/copyright.txt"

(cd "$out" && "$zip" -q -r -9 -X "$name.zip" "$name")

# The installer removes exactly the files it installed.
(cd "$stage" && find . -type f | sed 's|^\./||' | sort) | while read -r file; do
    echo "Delete \"\$INSTDIR\\${file//\//\\}\""
done >"$out/uninstall.nsh"
# Windows wants four numbers in a file version: 1.2 is 1.2.0.0.
file_version=$version
while [ "$(tr -cd . <<<"$file_version" | wc -c)" -lt 3 ]; do file_version+=.0; done
"$makensis" -V2 -DVERSION="$version" -DFILE_VERSION="$file_version" -DSTAGE="$stage" -DUNINSTALL="$out/uninstall.nsh" \
    -DOUTFILE="$out/kv71xx-$version-setup.exe" "$here/kv71xx.nsi"
echo "Made $out/$name.zip and $out/kv71xx-$version-setup.exe"
