#!/usr/bin/env bash
# Runs a test program built for Windows under Wine, for CTest:
#   wine.sh PREFIX DLL_FOLDERS PROGRAM [ARGUMENTS...]
#   wine.sh PREFIX DLL_FOLDERS --prepare SYSINFO_TOOL
# PREFIX is the build's own Wine prefix; DLL_FOLDERS, separated by ':', hold
# the Qt and MinGW DLLs the programs load. --prepare makes the prefix afresh
# and registers SYSINFO_TOOL as the system-information tool, as Windows does;
# its COM3 is a device that is there (Wine's /dev/null).
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
IFS=: read -ra folders <<<"$2"
shift 2
WINEPATH=""
for folder in "${folders[@]}"; do WINEPATH+="Z:${folder//\//\\};"; done
export WINEPATH
# Qt Test reports on stderr, not to a debugger; the offscreen window system
# has no fonts of its own on Windows. Wine keeps QT_* variables from Windows
# programs; it hands WINEQT_* on as QT_*.
export QT_FORCE_STDERR_LOGGING=1 QT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu'
while IFS= read -r name; do export "WINE$name=${!name}"; done < <(compgen -e | grep '^QT_' || true)

if [ "$1" = --prepare ]; then
    wineserver -k 2>/dev/null || true # a server left by an earlier run
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /t REG_SZ /d "$2" /f >/dev/null
    wine reg add 'HKLM\Software\Wine\Ports' /v COM3 /t REG_SZ /d /dev/null /f >/dev/null
    wineserver -w
    wine cmd /c exit # Wine makes its COM ports as it starts
    wineserver -w
    echo "Wine prefix $WINEPREFIX ready"
    exit 0
fi
exec wine "$@"
