#!/usr/bin/env bash
# Redraws the PNG icons from morvane.svg (they are committed, so building
# needs no converter). Installs librsvg2-bin when it is missing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../scripts-common.sh"
morvane_install_packages "${MORVANE_ICON_PACKAGES[@]}"
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$here/morvane.svg" -o "$here/morvane-$size.png"
done
