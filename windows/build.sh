#!/usr/bin/env bash
# Cross-builds the Windows programs with Debian's MinGW-w64:
#   build-windows/morvane.exe, build-windows/morvane-cli.exe and
#   build-windows/window_timings.exe, each statically linked (no DLLs needed
#   beside it; a DLL that is not part of Windows fails the build).
# wxWidgets for Windows is built once from Debian's own source package and
# kept in $MORVANE_WINDOWS_CACHE (default ~/.cache/morvane-windows), so later
# runs only build Morvane itself. Usually run through ./build-windows.sh.
#   windows/build.sh
set -euo pipefail
# shellcheck source=windows/common.sh
. "$(dirname "$0")/common.sh"

morvane_install_packages "${MORVANE_WINDOWS_BUILD_PACKAGES[@]}"

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# Debian's source package PACKAGE into $cache/src (once), through a deb-src
# entry added for that download only.
fetch_source() {
    local package="$1"
    mkdir -p "$cache/src"
    ls -d "$cache"/src/"$package"-*/ >/dev/null 2>&1 && return 0
    local sources=/etc/apt/sources.list.d/morvane-deb-src.sources
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        | $sudo tee "$sources" >/dev/null
    trap '$sudo rm -f "'"$sources"'"' EXIT
    $sudo apt-get update -qq
    (cd "$cache/src" && apt-get source -qq --only-source "$package")
    $sudo rm -f "$sources"
    trap - EXIT
    $sudo apt-get update -qq
}

# ---- wxWidgets for Windows, from Debian's source package, built once ----
if [ ! -f "$wx_prefix/.complete" ]; then
    echo "== Building wxWidgets $MORVANE_WX_VERSION for Windows into $wx_prefix (once)"
    fetch_source "$MORVANE_WINDOWS_SOURCE_WX"
    src="$(ls -d "$cache"/src/"$MORVANE_WINDOWS_SOURCE_WX"-*/ | head -n 1)"
    rm -rf "$src/build-msw"
    mkdir -p "$src/build-msw"
    # Only what Morvane uses: base and core, no image formats, no HTML, no network.
    (cd "$src/build-msw" && ../configure --host=x86_64-w64-mingw32 --build=x86_64-linux-gnu --prefix="$wx_prefix" \
        --disable-shared --with-msw --enable-unicode --disable-debug_info --without-opengl \
        --without-libtiff --without-libjpeg --without-libpng --without-zlib --without-expat --without-regex \
        --without-liblzma --without-nanosvg --disable-xrc --disable-html --disable-richtext --disable-aui \
        --disable-propgrid --disable-ribbon --disable-stc --disable-webview --disable-mediactrl --disable-sockets \
        --disable-debugreport --disable-svg --disable-webrequest --disable-secretstore \
        CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix >"$cache/wx-configure.log" 2>&1 \
        || { tail -n 30 "$cache/wx-configure.log"; exit 1; })
    make -C "$src/build-msw" -j "$jobs" >"$cache/wx-build.log" 2>&1 || { tail -n 30 "$cache/wx-build.log"; exit 1; }
    make -C "$src/build-msw" install >>"$cache/wx-build.log" 2>&1
    touch "$wx_prefix/.complete"
    echo "   wxWidgets built in $(( $(date +%s) - start ))s"
fi

# ---- tinyxml2, the XML parser of the mode files: its one source file, from Debian's source package ----
fetch_source "$MORVANE_WINDOWS_SOURCE_TINYXML2"
tinyxml2_src="$(ls -d "$cache"/src/"$MORVANE_WINDOWS_SOURCE_TINYXML2"-*/ | head -n 1)"

# ---- Morvane for Windows ----
echo "== Building Morvane for Windows"
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
      -DMORVANE_WX_CONFIG="$wx_prefix/bin/wx-config" \
      -DMORVANE_TINYXML2_SOURCE="$tinyxml2_src" \
      -DMORVANE_TESTS=OFF -DMORVANE_BENCH=OFF -DMORVANE_WERROR=ON >/dev/null
cmake --build build-windows -j "$jobs" --target morvane morvane-cli window_timings translations
for exe in morvane.exe morvane-cli.exe window_timings.exe; do
    if x86_64-w64-mingw32-objdump -p "build-windows/$exe" | grep -i "DLL Name" | grep -viE \
        'kernel32|user32|gdi32|comdlg32|comctl32|shell32|ole32|oleaut32|advapi32|uuid|rpcrt4|winspool|winmm|uxtheme|oleacc|version|shlwapi|msvcrt|ws2_32|wininet|imm32|api-ms-win'; then
        echo "$exe needs a DLL that is not part of Windows" >&2
        exit 1
    fi
done
ls -l build-windows/morvane.exe build-windows/morvane-cli.exe
echo "   built in $(( $(date +%s) - start ))s"
