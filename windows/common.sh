# shellcheck shell=bash disable=SC2034  # sourced: what it sets is used by the scripts that source it
# Shared by windows/build.sh, package.sh and check.sh (sourced, not run): the
# project's packages and versions, and where the Windows build keeps its parts.
# Each script can run alone; ./build-windows.sh runs them in turn.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts-common.sh
. "$here/scripts-common.sh"
cd "$here" || exit 1

# wxWidgets for Windows and the source packages, built once and kept here.
cache="${MORVANE_WINDOWS_CACHE:-$HOME/.cache/morvane-windows}"
wx_prefix="$cache/wxmsw-$MORVANE_WX_VERSION"
jobs="$(nproc)"
# The times said are counted from the start of ./build-windows.sh, or of this script.
start="${MORVANE_WINDOWS_START:-$(date +%s)}"

# The names that come from a finished build in build-windows/: version (as
# CMake's project() has it), title (the window's) and zip_name.
morvane_windows_names() {
    [ -f build-windows/CMakeCache.txt ] || { echo "no Windows build in build-windows/: run windows/build.sh" >&2; exit 1; }
    version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)"
    title="Morvane v$(echo "$version" | cut -d. -f1,2)"
    zip_name="morvane-$version-windows-x64"
}
