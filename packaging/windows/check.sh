#!/usr/bin/env bash
# Checks the Windows packages as a user meets them, under Wine in a fresh
# prefix with no other DLLs at hand: the zip unpacked into a new folder
# answers --version and --help, and Ctrl+C ends its kv71xx-cli.exe inside a
# wait for the board as SIGINT does on Linux (Wine hands a SIGINT to a
# Windows program as Ctrl+C); the installer installs silently (/S) with its
# Start menu entry, and its uninstaller removes all of it.
#   check.sh PACKAGES_FOLDER
set -euo pipefail
packages=$(cd "$1" && pwd)
zip=$(ls "$packages"/kv71xx-*-win64.zip)
setup=$(ls "$packages"/kv71xx-*-setup.exe)
version=${zip##*/kv71xx-}
version=${version%-win64.zip}
scratch=$(mktemp -d)
export WINEPREFIX=$scratch/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINEPATH
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
fail() {
    echo "check of the Windows packages: $*" >&2
    exit 1
}

wineboot -i >/dev/null 2>&1
# COM4: a serial line that never answers (a new pseudo-terminal's master).
wine reg add 'HKLM\Software\Wine\Ports' /v COM4 /t REG_SZ /d /dev/ptmx /f >/dev/null
wineserver -w
unzip -q "$zip" -d "$scratch/unpacked"
cd "$scratch/unpacked/kv71xx-$version-win64"
answer=$(wine kv71xx-cli.exe --version | tr -d '\r')
[ "$answer" = "kv71xx-cli $version" ] || fail "kv71xx-cli.exe --version from the zip says \"$answer\""
wine kv71xx-cli.exe --help | grep -q '^    kv71xx-cli --help | --version' || fail "kv71xx-cli.exe --help from the zip lacks its synopsis"
answer=$(wine kv71xx.exe --version | tr -d '\r')
[ "$answer" = "kv71xx $version" ] || fail "kv71xx.exe --version from the zip says \"$answer\""
echo "From the unpacked zip: $answer; kv71xx-cli.exe --version and --help answer"

wine kv71xx-cli.exe --port 4 --trace dump 2>"$scratch/trace" &
cli=$!
for _ in $(seq 200); do grep -q ' tx ' "$scratch/trace" && break; sleep 0.05; done
kill -INT $cli
status=0
wait $cli || status=$?
[ $status -eq 130 ] && ! grep -q 'board does not answer' "$scratch/trace" \
    || fail "Ctrl+C inside a wait ended kv71xx-cli.exe with status $status: $(tr -d '\r' <"$scratch/trace")"
echo "Ctrl+C ends kv71xx-cli.exe inside a wait for the board: status 130"

cd "$scratch"
local_appdata=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')")
programs=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' | tr -d '\r')")/Microsoft/Windows/Start\ Menu/Programs
installed=$local_appdata/Programs/kv71xx
shortcut="$programs/KV71xx Evaluation Software.lnk"
wine "$setup" /S
wineserver -w
[ -f "$installed/kv71xx.exe" ] && [ -f "$installed/platforms/qwindows.dll" ] || fail "the installer left no program in $installed"
[ -f "$shortcut" ] || fail "the installer made no Start menu entry"
answer=$(wine "$installed/kv71xx-cli.exe" --version | tr -d '\r')
[ "$answer" = "kv71xx-cli $version" ] || fail "the installed kv71xx-cli.exe --version says \"$answer\""
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\kv71xx' /v DisplayVersion 2>/dev/null \
    | grep -q "$version" || fail "the installer registered no uninstaller of version $version"
echo "Installed silently into %LOCALAPPDATA%\\Programs\\kv71xx with a Start menu entry"

wine "$installed/uninstall.exe" /S
wineserver -w
[ ! -e "$installed" ] || fail "the uninstaller left $(ls -A "$installed" | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start menu entry"
! wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\kv71xx' >/dev/null 2>&1 \
    || fail "the uninstaller left its registry key"
echo "Uninstalled silently: nothing left"
echo "$(du -k "$zip" | cut -f1) KiB $(basename "$zip"), $(du -k "$setup" | cut -f1) KiB $(basename "$setup")"
