#!/usr/bin/env bash
# The Debian package: built by cpack, passed by Debian's own checks (lintian,
# desktop-file-validate, appstreamcli), unpacked into a scratch root with
# dpkg -x, its files, versions and dependencies as they should be, and the
# program started as its desktop entry starts it, as far as its settings file.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'kill $program 2>/dev/null || true; rm -rf "$scratch"' EXIT
program=""
fail() { echo "$*"; exit 1; }

for tool in lintian desktop-file-validate appstreamcli dpkg-parsechangelog \
            /usr/share/bash-completion/bash_completion; do
    command -v $tool >/dev/null || [ -e $tool ] || { echo "skipped: no $tool (scripts/test installs it)"; exit 77; }
done
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$scratch"/kv71xx_*.deb)
lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian finds errors or warnings"
dpkg -x "$deb" "$scratch/root"
share=$scratch/root/usr/share
[ -e "$share/pixmaps/kv71xx.png" ] || fail "missing in the package: the icon"
report=$(desktop-file-validate "$share/applications/kv71xx.desktop" 2>&1) && [ -z "$report" ] \
    || fail "desktop-file-validate: $report"
appstreamcli validate --no-net --strict "$share"/metainfo/*.metainfo.xml >/dev/null \
    || fail "appstreamcli validate fails"

# One version everywhere: the package, its changelog and every program; help needs no display.
version=$(dpkg-deb -f "$deb" Version)
gunzip -c "$share/doc/kv71xx/changelog.gz" >"$scratch/changelog"
changelog=$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)
[ "$changelog" = "$version" ] || fail "the changelog is at $changelog, the package at $version"
for name in kv71xx kv71xx-cli kv71xx-board; do
    said=$(env -u DISPLAY -u QT_QPA_PLATFORM "$scratch/root/usr/bin/$name" --version)
    [ "$said" = "$name $version" ] || fail "$name --version says \"$said\", not \"$name $version\""
    env -u DISPLAY -u QT_QPA_PLATFORM "$scratch/root/usr/bin/$name" --help >/dev/null || fail "$name --help fails"
done
ports=$(bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"
    COMP_WORDS=(kv71xx-cli --port ""); COMP_CWORD=2; _kv71xx_cli; echo "${COMPREPLY[*]}"' - \
    "$share/bash-completion/completions/kv71xx-cli")
[ "$ports" = "1 2 3 4 5 6 7 8" ] || fail "bash completion offers \"$ports\" after --port"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6serialport6; do
    [[ "$depends" == *"$library"* ]] || fail "not declared: $library (Depends: $depends)"
done

# The desktop entry starts the program in its own folder in the user's data folder.
mkdir "$scratch/home"
cd "$scratch/home"
command=$(sed -n 's/^Exec=//p' "$share/applications/kv71xx.desktop")
TMPDIR="$scratch" XDG_DATA_HOME="$scratch/data" QT_QPA_PLATFORM=offscreen \
    PATH="$scratch/root/usr/bin:$PATH" $command &
program=$!
for _ in $(seq 100); do
    [ -e "$scratch/data/kv71xx/KV71xx.ini" ] && [ -z "$(ls -A)" ] && { echo "the packaged program started"; exit 0; }
    sleep 0.1
done
fail "the packaged program did not start in $scratch/data/kv71xx"
