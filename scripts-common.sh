# shellcheck shell=bash disable=SC2034  # sourced: what it sets is used by the scripts that source it
# Shared by every script of the project (run.sh, test.sh, package.sh,
# build-windows.sh and windows/, packaging/icons/make_icons.sh): the one place
# for the Debian packages Morvane needs and the versions of the tools it is
# built with, and the function that installs missing packages (via sudo when
# not root). CMakeLists.txt reads MORVANE_WX_VERSION from here too.

# The versions. wxWidgets: the Linux build uses Debian's libwxgtk of this
# series, the Windows build compiles Debian's source package of it. clang:
# the compiler of the fuzzers (its libFuzzer comes with libclang-rt).
MORVANE_WX_VERSION=3.2.2
MORVANE_WX_SERIES="${MORVANE_WX_VERSION%.*}"
MORVANE_CLANG_VERSION=14
MORVANE_CLANGXX="clang++-$MORVANE_CLANG_VERSION"

# The packages, one list for each use.
# Building Morvane and its tests on Linux.
MORVANE_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config "libwxgtk$MORVANE_WX_SERIES-dev" nlohmann-json3-dev
    libtinyxml2-dev libgtest-dev libgmock-dev libbenchmark-dev libglib2.0-dev gettext)
# Running every test (./test.sh): formatting, the window under Xvfb, the fuzzers.
MORVANE_TEST_PACKAGES=(clang-format xvfb xauth xdotool imagemagick "clang-$MORVANE_CLANG_VERSION"
    "libclang-rt-$MORVANE_CLANG_VERSION-dev")
# Making and checking the Debian package (./package.sh).
MORVANE_DEB_PACKAGES=(dpkg-dev fakeroot file lintian desktop-file-utils)
# Cross-building for Windows (windows/build.sh), and the source packages it compiles.
MORVANE_WINDOWS_BUILD_PACKAGES=(cmake ninja-build make dpkg-dev g++-mingw-w64-x86-64-posix nlohmann-json3-dev gettext)
MORVANE_WINDOWS_SOURCE_WX="wxwidgets$MORVANE_WX_SERIES"
MORVANE_WINDOWS_SOURCE_TINYXML2=tinyxml2
# Making the zip for players (windows/package.sh).
MORVANE_WINDOWS_ZIP_PACKAGES=(zip unzip)
# Checking the Windows programs under Wine (windows/check.sh), beside the Linux build.
MORVANE_WINDOWS_CHECK_PACKAGES=(unzip wine64 wine xvfb xauth xdotool x11-utils imagemagick gettext "${MORVANE_BUILD_PACKAGES[@]}")
# Redrawing the icons (packaging/icons/make_icons.sh).
MORVANE_ICON_PACKAGES=(librsvg2-bin)

morvane_install_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
