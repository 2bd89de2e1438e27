# Sourced by scripts/run, scripts/test and scripts/bench: installs the Debian
# packages that are missing (and nothing when they are all there; a user who
# is not root is told the apt-get line), and configures and builds a build
# folder.
build_packages=(g++ make cmake qt6-base-dev qt6-serialport-dev libgl-dev)
# scripts/test: the formatting check, and the package and Debian's checks of it.
test_packages=(clang-format dpkg-dev lintian desktop-file-utils appstream bash-completion)
# scripts/run without a display: a virtual one, a click and a picture.
display_packages=(xvfb xauth x11-utils xdotool imagemagick)
# scripts/windows: the cross build (Qt's host tools come from qt6-base-dev),
# Wine and a font for the tests, NSIS and zip for the packages.
windows_packages=(g++-mingw-w64-x86-64-posix cmake ninja-build qt6-base-dev wine wine64 fonts-dejavu-core nsis zip
    unzip xz-utils)
# scripts/windows when it builds the Qt kit: apt-get source and its unpacking.
kit_packages=(dpkg-dev patch)

ensure_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "These Debian packages are missing. Install them as root, then run this again:" >&2
        echo "    sudo apt-get install --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing with apt-get: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# configure DIR [cmake options...]
configure() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# build DIR [targets...]
build() {
    local dir=$1
    shift
    local targets=()
    for target in "$@"; do targets+=(--target "$target"); done
    echo "Building in $dir/ (a first build takes a few minutes)..."
    cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
}
