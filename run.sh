#!/usr/bin/env bash
# Builds Morvane and starts it with FOLDER (default: demo/) as its working
# directory. Installs the Debian packages it needs when they are missing.
#   ./run.sh [FOLDER]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/scripts-common.sh"

folder="${1:-$here/demo}"
[ -d "$folder" ] || { echo "No such folder: $folder" >&2; exit 2; }
folder="$(cd "$folder" && pwd)"

morvane_install_packages "${MORVANE_BUILD_PACKAGES[@]}"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" --target morvane morvane-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: start Morvane from a desktop session, or under xvfb-run." >&2
    exit 1
fi
cd "$folder"
exec "$here/build/morvane"
