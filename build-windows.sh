#!/usr/bin/env bash
# Cross-builds the Windows programs with Debian's MinGW-w64:
#   build-windows/morvane.exe and build-windows/morvane-cli.exe
# each statically linked (no DLLs needed beside it).
#
#   ./build-windows.sh             build
#   ./build-windows.sh --package   build, then make dist/morvane-VERSION-windows-x64.zip
#                                  (both programs, README.txt, the licences, demo/)
#                                  and its .sha256
#   ./build-windows.sh --check     build, then run both under Wine and compare
#                                  morvane-cli.exe with the Linux morvane-cli;
#                                  with --package also from the unpacked zip
# The options combine: ./build-windows.sh --package --check
#
# The steps are windows/build.sh, windows/package.sh and windows/check.sh,
# run in that order; each can also run alone on a finished build. Every
# package they need is installed before the build starts.
#
# wxWidgets for Windows is built once from Debian's own source package of
# wxWidgets (the version is in scripts-common.sh) and kept in
# $MORVANE_WINDOWS_CACHE (default ~/.cache/morvane-windows), so later runs
# only build Morvane itself.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=scripts-common.sh
. "$here/scripts-common.sh"

check=0
package=0
for arg in "$@"; do
    case "$arg" in
        --check) check=1 ;;
        --package) package=1 ;;
        *) echo "usage: $0 [--package] [--check]" >&2; exit 2 ;;
    esac
done

MORVANE_WINDOWS_START="$(date +%s)"
export MORVANE_WINDOWS_START

morvane_install_packages "${MORVANE_WINDOWS_BUILD_PACKAGES[@]}"
[ $package -eq 1 ] && morvane_install_packages "${MORVANE_WINDOWS_ZIP_PACKAGES[@]}"
[ $check -eq 1 ] && morvane_install_packages "${MORVANE_WINDOWS_CHECK_PACKAGES[@]}"

"$here/windows/build.sh"
[ $package -eq 1 ] && "$here/windows/package.sh"
[ $check -eq 1 ] || exit 0
if [ $package -eq 1 ]; then "$here/windows/check.sh" --package; else "$here/windows/check.sh"; fi
