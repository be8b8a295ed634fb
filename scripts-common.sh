# Shared by run.sh and test.sh: installs the Debian packages Morvane needs
# when they are missing (via sudo when not root).

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

MORVANE_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config libwxgtk3.2-dev nlohmann-json3-dev libtinyxml2-dev libgtest-dev libgmock-dev libbenchmark-dev)
MORVANE_TEST_PACKAGES=(clang-format xvfb xauth xdotool imagemagick clang-14 libclang-rt-14-dev libglib2.0-dev)
