#!/usr/bin/env bash
# Builds the Debian package dist/morvane_VERSION_amd64.deb with CPack, its
# dependencies found by dpkg-shlibdeps, then checks it: lintian must find no
# errors, the desktop entry must validate, and morvane-cli --version and
# --help must run from the package unpacked into a temporary root.
# Installs the Debian packages it needs when they are missing.
#   ./package.sh
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/scripts-common.sh"
cd "$here"

morvane_install_packages "${MORVANE_BUILD_PACKAGES[@]}" "${MORVANE_DEB_PACKAGES[@]}"
jobs="$(nproc)"
build=build-package

echo "== Building for the package"
# Debian's hardening and build flags, as a Debian package build would use them.
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_TESTS=OFF -DMORVANE_BENCH=OFF \
          -DMORVANE_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
arch="$(dpkg --print-architecture)"
deb="dist/morvane_${version}_${arch}.deb"

echo "== Packaging $deb"
rm -f "$deb"
(cd "$build" && cpack -G DEB >/dev/null)
[ -f "$deb" ] || { echo "CPack made no $deb" >&2; exit 1; }

echo "== Checking the package"
failed=0
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\|Section\):/   \1:/p'
lintian_root=""
[ "$(id -u)" -eq 0 ] && lintian_root="--allow-root"
lintian_out="$(lintian $lintian_root --tag-display-limit 0 "$deb" 2>&1 || true)"
[ -n "$lintian_out" ] && echo "$lintian_out" | sed 's/^/   /'
if echo "$lintian_out" | grep -q '^E: '; then echo "   lintian: ERRORS"; failed=1; else echo "   lintian: no errors"; fi

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
if desktop-file-validate "$root/usr/share/applications/morvane.desktop"; then echo "   desktop entry: valid"; else
    echo "   desktop entry: INVALID"; failed=1; fi
for size in 16x16 32x32 48x48 64x64 128x128 256x256; do
    [ -f "$root/usr/share/icons/hicolor/$size/apps/morvane.png" ] || { echo "   icon $size: MISSING"; failed=1; }
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/morvane.svg" ] || { echo "   icon svg: MISSING"; failed=1; }
for page in morvane morvane-cli; do
    gzip -t "$root/usr/share/man/man1/$page.1.gz" 2>/dev/null || { echo "   man page $page: MISSING"; failed=1; }
done
[ -x "$root/usr/bin/morvane" ] || { echo "   morvane: MISSING"; failed=1; }
[ -f "$root/usr/share/doc/morvane/copyright" ] || { echo "   copyright: MISSING"; failed=1; }
for code in $(cat po/LINGUAS); do
    [ -f "$root/usr/share/locale/$code/LC_MESSAGES/morvane.mo" ] || { echo "   catalog $code: MISSING"; failed=1; }
done

cli="$root/usr/bin/morvane-cli"
if [ "$("$cli" --version)" = "morvane-cli $version" ]; then echo "   morvane-cli --version: morvane-cli $version"; else
    echo "   morvane-cli --version: WRONG ($("$cli" --version 2>&1 || true))"; failed=1; fi
if LC_ALL=C "$cli" --help | grep -q '^usage: morvane-cli list'; then echo "   morvane-cli --help: usage shown"; else
    echo "   morvane-cli --help: NO USAGE"; failed=1; fi
# The installed program finds its catalogs in /usr/share/locale.
if [ "$(LC_ALL=ru_RU.UTF-8 "$cli" --help)" != "$(LC_ALL=C "$cli" --help)" ]; then
    echo "   morvane-cli --help in Russian: translated"; else echo "   morvane-cli --help in Russian: NOT TRANSLATED"; failed=1; fi
if (cd demo && LC_ALL=C "$cli" list --game sa sa_keys.cs | grep -q 'Left Shift'); then echo "   morvane-cli list on a demo script: keys listed"; else
    echo "   morvane-cli list: FAILED"; failed=1; fi

[ $failed -eq 0 ] || { echo "Package checks FAILED" >&2; exit 1; }
(cd dist && sha256sum "$(basename "$deb")" >"$(basename "$deb").sha256")
ls -l "$deb"
echo "Package checks passed"
