# Sourced by scripts/windows: finds or builds Qt 6.4.2 for Windows x86_64 (the
# kit: qtbase's Core, Gui, Widgets and Test, and Qt Serial Port, as shared
# libraries built with Debian's MinGW-w64). Each kit lives in a folder of its
# own in the cache, named after what it was made from, so a kit of other
# versions or options is never taken for it.
windows_folder=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/kv71xx
kit_tarball=qt6.4.2-mingw-w64-x86_64.tar.xz
qt_version=6.4.2
# qtbase's options: only what the programs use, every third-party library
# Qt's own copy, no OpenGL (Wine and a bare Windows VM lack it).
kit_options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF -DFEATURE_pkg_config=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF
)

short_sum() { sha256sum | cut -c1-12; }

# The folder of the kits that a tarball was given for: $KV71XX_WINDOWS_KIT, else ../shared/windows.
shared_folder() {
    local folder=${KV71XX_WINDOWS_KIT:-$top/../shared/windows}
    [ -f "$folder/$kit_tarball" ] && echo "$folder"
    return 0
}

# The kit to use, unpacked into the cache when need be; nothing when there is none yet.
find_kit() {
    local shared kit
    shared=$(shared_folder)
    if [ -n "$shared" ]; then
        kit=$cache/qt-$qt_version-mingw-w64-x86_64-$(short_sum <"$shared/$kit_tarball")
        if [ ! -f "$kit/qt6-mingw/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
            echo "Unpacking $shared/$kit_tarball into $kit" >&2
            rm -rf "$kit.partial"
            mkdir -p "$kit.partial"
            tar -C "$kit.partial" -xJf "$shared/$kit_tarball"
            rm -rf "$kit"
            mv "$kit.partial" "$kit"
        fi
        echo "$kit/qt6-mingw"
        return 0
    fi
    kit=$(built_kit_folder)/qt6-mingw
    # Qt Serial Port is installed last: its files say the kit is complete.
    [ -f "$kit/lib/cmake/Qt6SerialPort/Qt6SerialPortConfig.cmake" ] && echo "$kit"
    return 0
}

# qtbase comes from the Debian release's own source, the version of its Qt.
qtbase_version() { dpkg-query -W -f '${Version}' qt6-base-dev; }
compiler() { x86_64-w64-mingw32-g++-posix --version | head -n 1; }

# Where a kit built here lives: named after its sources, compiler and options.
built_kit_folder() {
    local key
    key=$(printf '%s\n' "qt6-base $(qtbase_version)" "$(compiler)" "${kit_options[@]}" \
        "$(cat "$windows_folder/mingw-w64-x86_64.cmake")" | short_sum)
    echo "$cache/qt-$qt_version-mingw-w64-x86_64-built-$key"
}

# Qt Serial Port's source: beside the shared kit, $KV71XX_QTSERIALPORT_SOURCE
# (a tarball), or Debian's source package; its top folder on stdout.
serialport_source() {
    local into=$1 tarball=${KV71XX_QTSERIALPORT_SOURCE:-$top/../shared/windows/qtserialport-$qt_version-src.tar.xz}
    if [ -f "$tarball" ]; then
        tar -C "$into" -xJf "$tarball"
    elif ! (cd "$into" && apt-get source -qq "qt6-serialport=$(dpkg-query -W -f '${Version}' qt6-serialport-dev 2>/dev/null)" >&2); then
        echo "No source of Qt Serial Port $qt_version: point KV71XX_QTSERIALPORT_SOURCE at its tarball (tag" >&2
        echo "v$qt_version of Qt's qtserialport repository, or qtserialport-everywhere-src-$qt_version.tar.xz)." >&2
        return 1
    fi
    find "$into" -mindepth 2 -maxdepth 2 -name CMakeLists.txt -path '*serialport*' -printf '%h\n' | head -n 1
}

# apt-get source needs deb-src entries: added beside the system's deb entries, as root.
ensure_deb_src() {
    apt-get source --print-uris qt6-base >/dev/null 2>&1 && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "apt-get source needs a deb-src entry: add one for your Debian release, as root, and run this again." >&2
        return 1
    fi
    local list
    for list in /etc/apt/sources.list.d/*.sources; do
        [ -f "$list" ] && grep -q '^Types:.*\bdeb\b' "$list" || continue
        sed 's/^Types:.*/Types: deb-src/' "$list" >"/etc/apt/sources.list.d/kv71xx-src-$(basename "$list")"
    done
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/kv71xx-src.list
    fi
    apt-get update -qq
}

# Builds the kit into the cache (at low priority, both cores) and prints its folder.
build_kit() {
    local folder work qtbase serialport
    folder=$(built_kit_folder)
    work=$folder.work
    echo "Building Qt $qt_version for Windows into $folder (about 55 minutes on two cores)..." >&2
    ensure_deb_src
    rm -rf "$work" "$folder"
    mkdir -p "$work/src"
    (cd "$work/src" && apt-get source -qq "qt6-base=$(qtbase_version)" >&2)
    qtbase=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    serialport=$(serialport_source "$work/src")
    # Without OpenGL a check of the window system's plugin still asks for it.
    perl -0pi -e 's/#if QT_CONFIG\(dynamicgl\)(\n    return QOpenGLStaticContext)/#if QT_CONFIG(dynamicgl) && QT_CONFIG(opengl)$1/' \
        "$qtbase/src/plugins/platforms/windows/qwindowswindow.cpp"
    nice cmake -S "$qtbase" -B "$work/qtbase" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$windows_folder/mingw-w64-x86_64.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$folder/qt6-mingw" "${kit_options[@]}" >&2
    nice cmake --build "$work/qtbase" --parallel "$(nproc)" >&2
    cmake --install "$work/qtbase" >/dev/null
    nice cmake -S "$serialport" -B "$work/qtserialport" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$folder/qt6-mingw/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$windows_folder/mingw-w64-x86_64.cmake" \
        -DCMAKE_INSTALL_PREFIX="$folder/qt6-mingw" >&2
    nice cmake --build "$work/qtserialport" --parallel "$(nproc)" >&2
    cmake --install "$work/qtserialport" >/dev/null
    rm -rf "$work" # the sources and objects
    echo "$folder/qt6-mingw"
}
