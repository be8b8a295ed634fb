#!/usr/bin/env bash
# Makes the zip for players from the Windows build in build-windows/:
#   dist/morvane-VERSION-windows-x64.zip (both programs, README.txt, the
#   licences, demo/) and its .sha256. The same sources give the same zip.
# Usually run through ./build-windows.sh --package.
#   windows/package.sh
set -euo pipefail
# shellcheck source=windows/common.sh
. "$(dirname "$0")/common.sh"

morvane_install_packages "${MORVANE_WINDOWS_ZIP_PACKAGES[@]}"
morvane_windows_names

echo "== Packaging dist/$zip_name.zip"
stage="build-windows/package/$zip_name"
rm -rf build-windows/package
mkdir -p "$stage/demo" dist
cp build-windows/morvane.exe build-windows/morvane-cli.exe "$stage/"
# Text files with Windows line ends, for Notepad.
sed "s/@VERSION@/$version/g; s/\r*\$/\r/" packaging/windows/README.txt >"$stage/README.txt"
sed 's/\r*$/\r/' LICENSE >"$stage/LICENSE"
sed 's/\r*$/\r/' THIRD_PARTY_LICENSES >"$stage/THIRD_PARTY_LICENSES"
cp demo/*.ini demo/*.cs demo/main.scm "$stage/demo/"
# The catalogs of the translations beside the programs, where they look first.
for catalog in build-windows/locale/*/LC_MESSAGES/morvane.mo; do
    code="$(basename "$(dirname "$(dirname "$catalog")")")"
    mkdir -p "$stage/$code/LC_MESSAGES"
    cp "$catalog" "$stage/$code/LC_MESSAGES/"
done
# The same bytes for the same sources: times of the last commit, names in order, no extra fields.
stamp="$(git log -1 --format=%ct 2>/dev/null || date +%s)"
find build-windows/package -exec touch -h -d "@$stamp" {} +
rm -f "dist/$zip_name.zip" "dist/$zip_name.zip.sha256"
(cd build-windows/package && find "$zip_name" | LC_ALL=C sort | TZ=UTC zip -X -9 -q "$here/dist/$zip_name.zip" -@)
(cd dist && sha256sum "$zip_name.zip" >"$zip_name.zip.sha256")
unzip -l "dist/$zip_name.zip" | sed 's/^/   /'
cat "dist/$zip_name.zip.sha256" | sed 's/^/   /'
