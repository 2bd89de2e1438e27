#!/usr/bin/env bash
# The Debian package: built by cpack, unpacked into a scratch root with
# dpkg -x, its files and dependencies as they should be, and the program
# starting from there (offscreen) as far as its settings file.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'kill $program 2>/dev/null || true; rm -rf "$scratch"' EXIT
program=""
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$scratch"/kv71xx_*.deb)
dpkg -x "$deb" "$scratch/root"
for file in usr/bin/kv71xx usr/bin/kv71xx-cli usr/bin/kv71xx-board \
            usr/share/applications/kv71xx.desktop usr/share/pixmaps/kv71xx.png; do
    [ -e "$scratch/root/$file" ] || { echo "missing in the package: $file"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6serialport6; do
    [[ "$depends" == *"$library"* ]] || { echo "not declared: $library (Depends: $depends)"; exit 1; }
done
mkdir "$scratch/work"
cd "$scratch/work"
TMPDIR="$scratch" QT_QPA_PLATFORM=offscreen "$scratch/root/usr/bin/kv71xx" &
program=$!
for _ in $(seq 100); do
    [ -e KV71xx.ini ] && { echo "the packaged program started"; exit 0; }
    sleep 0.1
done
echo "the packaged program did not start"
exit 1
