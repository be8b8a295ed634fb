#!/usr/bin/env bash
# Checks the Windows build in build-windows/ under Wine: morvane-cli.exe
# against the Linux morvane-cli, morvane.exe's window (screenshots in
# build-windows/screenshots/), its timings and Press Key with real keys; with
# --package also the zip in dist/, unpacked into an empty folder and run from
# there. Exits 1 when a check fails. Usually run through ./build-windows.sh --check.
#   windows/check.sh [--package]
set -euo pipefail
# shellcheck source=windows/common.sh
. "$(dirname "$0")/common.sh"

with_zip=0
for arg in "$@"; do
    case "$arg" in
        --package) with_zip=1 ;;
        *) echo "usage: $0 [--package]" >&2; exit 2 ;;
    esac
done

morvane_install_packages "${MORVANE_WINDOWS_CHECK_PACKAGES[@]}"
morvane_windows_names

# ---- Checks under Wine ----
echo "== Checking under Wine"
export WINEPREFIX="$cache/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1 || true
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs" --target morvane-cli translations >/dev/null

work="$(mktemp -d)"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
cp demo/*.ini demo/*.cs demo/main.scm "$work/"
linux_cli="$here/build/morvane-cli"
windows_cli="$here/build-windows/morvane-cli.exe"
failed=0
cd "$work"
for pair in gta3:gta3_keys.cs vc:vc_keys.cs sa:sa_keys.cs sa:main.scm; do
    game="${pair%%:*}" file="${pair#*:}"
    "$linux_cli" list --format tsv --game "$game" "$file" >"linux-$file.tsv"
    wine "$windows_cli" list --format tsv --game "$game" "$file" >"windows-$file.tsv" 2>/dev/null
    if cmp -s "linux-$file.tsv" "windows-$file.tsv"; then echo "   list $file: same"; else
        echo "   list $file: DIFFERENT"; diff "linux-$file.tsv" "windows-$file.tsv" || true; failed=1; fi
done
rules=(--game sa --vkey "Y Key=Z Key" --vkey "0xA0=Right Shift" --button "Sprint | Accelerate=Fire" --pad 1=0 --at "83:F16")
"$linux_cli" remap "${rules[@]}" sa_keys.cs -o linux-out.cs >/dev/null
wine "$windows_cli" remap "${rules[@]}" sa_keys.cs -o windows-out.cs >/dev/null 2>&1
if [ -s linux-out.cs ] && cmp -s linux-out.cs windows-out.cs; then echo "   remap: byte-identical"; else
    echo "   remap: DIFFERENT"; failed=1; fi
cp sa_keys.cs windows-in-place.cs
wine "$windows_cli" remap "${rules[@]}" windows-in-place.cs --in-place >/dev/null 2>&1
if cmp -s linux-out.cs windows-in-place.cs; then echo "   remap --in-place over an existing file: byte-identical"; else
    echo "   remap --in-place: DIFFERENT"; failed=1; fi
cp sa_keys.cs windows-refused.cs
status=0
wine "$windows_cli" remap --game sa --vkey "Y Key=F17" windows-refused.cs --in-place >/dev/null 2>&1 || status=$?
if [ $status -eq 1 ] && cmp -s sa_keys.cs windows-refused.cs; then echo "   refused remap: exit 1, file untouched"; else
    echo "   refused remap: exit $status or file changed"; failed=1; fi

# morvane-cli.exe as a player runs it from a Windows console: the wildcards the console
# leaves expanded by the program, names written in the console's own characters, tables
# aligned by characters, paths with the system's separators.
cp sa_keys.cs "clé_ü.cs"
(LC_ALL=C; "$linux_cli" list --format tsv --game sa sa_*.cs >linux-glob.tsv)
wine "$windows_cli" list --format tsv --game sa 'sa_*.cs' >windows-glob.tsv 2>/dev/null || true
if [ -s linux-glob.tsv ] && cmp -s linux-glob.tsv windows-glob.tsv; then echo "   list 'sa_*.cs': the program expands it as a shell does"; else
    echo "   list 'sa_*.cs': DIFFERENT"; diff linux-glob.tsv windows-glob.tsv | head -5 || true; failed=1; fi
"$linux_cli" list --game sa "clé_ü.cs" sa_keys.cs >linux-console.txt
# A console wide enough for the table: a narrower one wraps its lines.
script -qec "stty cols 250 2>/dev/null; wine '$windows_cli' list --game sa 'clé_ü.cs' sa_keys.cs" /dev/null 2>/dev/null \
    | tr -d '\r' | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' | grep -v '^$' >windows-console.txt || true
if cmp -s linux-console.txt windows-console.txt; then echo "   list in a console: names in the console's characters, columns aligned"; else
    echo "   list in a console: DIFFERENT"; diff linux-console.txt windows-console.txt | head -8 || true; failed=1; fi
mkdir -p mods && cp sa_keys.cs vc_keys.cs mods/
windows_mods="$(winepath -w "$work/mods" 2>/dev/null | tr -d '\r')"
wine "$windows_cli" keys --game sa --format tsv "$windows_mods" >windows-keys.tsv 2>/dev/null || true
if grep -qF 'mods\\sa_keys.cs' windows-keys.tsv && ! cut -f5 windows-keys.tsv | grep -q /; then
    echo "   keys $windows_mods: paths with the system's separators"; else
    echo "   keys $windows_mods: PATHS WRONG"; head -3 windows-keys.tsv; failed=1; fi

# Wine processes started above have no display; the window needs a fresh start.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

shots="$here/build-windows/screenshots"
mkdir -p "$shots" "$work/empty"
screenshot() {  # folder, window title, png
    local folder="$1" title="$2" png="$3"
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        cd "$1" && wine "$4" >/dev/null 2>&1 &
        w=$(timeout 120 xdotool search --sync --onlyvisible --name "^$2\$" | head -n 1)
        [ -n "$w" ] || exit 1
        sleep 2
        import -window "$w" "$3"
        wineserver -k' _ "$folder" "$title" "$png" "${screenshot_exe:-$here/build-windows/morvane.exe}"
}
# No INI file and no opcode files chosen yet: the question at start.
wine reg delete 'HKCU\Software\morvane\Opcodes' /f >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
if screenshot "$work/empty" "Morvane" "$shots/startup-question.png"; then echo "   start-up question without the INI files: $shots/startup-question.png"; else
    echo "   start-up question: NOT SHOWN"; failed=1; fi
if screenshot "$work" "$title" "$shots/main-window.png"; then echo "   window in the demo folder: $shots/main-window.png"; else
    echo "   window: NOT SHOWN"; failed=1; fi

# The window's own work on a 3 MB script, timed as the user waits for it.
if xvfb-run -a -s "-screen 0 1024x768x24" wine "$here/build-windows/window_timings.exe" 0.3 >"$work/timings.txt" 2>/dev/null; then
    sed 's/\r$//; s/^/   window under Wine: /' "$work/timings.txt"; else
    sed 's/\r$//; s/^/   window under Wine: /' "$work/timings.txt"; echo "   window under Wine: SLOWER THAN 0.3 s"; failed=1; fi
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

# Press Key under Wine, with keys as a user presses them (X key codes, evdev's): each taken
# as the key it is, side included; the first saved by Save As (Ctrl+Shift+S) to a new file,
# each next one by Save (Ctrl+S) to that file, which is then copied aside.
mkdir -p "$work/keys"
cp "$here"/demo/*.ini "$work/keys/"
printf '2' >"$work/keys/cfg"
printf '\xb0\x0a\x05\xa0\x00' >"$work/keys/keys.cs"  # 0AB0: key 160 pressed, a 16-bit parameter
key_codes="50:a0 62:a1 37:a2 105:a3 64:a4 108:a5 133:5b 134:5c 135:5d 36:0d"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    cd "$1" || exit 1
    wine "$2" keys.cs >/dev/null 2>&1 &
    w=$(timeout 120 xdotool search --sync --onlyvisible --name "^keys.cs - " | head -n 1)
    [ -n "$w" ] || exit 1
    sleep 3
    first=1
    for pair in $3; do
        code="${pair%%:*}"
        xdotool windowfocus --sync "$w" >/dev/null 2>&1 || true
        xdotool key ctrl+k; sleep 0.5
        xdotool key "$code"; sleep 0.5
        if [ $first -eq 1 ]; then
            xdotool key ctrl+shift+s
            timeout 30 xdotool search --sync --onlyvisible --name "^Choose a file\$" >/dev/null; sleep 1
            xdotool key ctrl+a; xdotool type --delay 30 "saved.cs"; sleep 0.3
            xdotool key Return
            for i in $(seq 50); do [ -f saved.cs ] && break; sleep 0.1; done
            sleep 0.5
            first=0
        else
            xdotool key ctrl+s; sleep 1
        fi
        cp saved.cs "out-$code.cs" 2>/dev/null || true
    done
    import -window "$w" "$4"
    wineserver -k' _ "$work/keys" "$here/build-windows/morvane.exe" "$key_codes" "$shots/keys-window.png" || true
keys_ok=1
for pair in $key_codes; do
    code="${pair%%:*}" vkey="${pair#*:}"
    got="$(od -An -tx1 -j3 -N1 "$work/keys/out-$code.cs" 2>/dev/null | tr -d ' ')" || got=""
    if [ "$got" != "$vkey" ]; then echo "   Press Key under Wine, X key code $code: VKey ${got:-none}, not $vkey"; keys_ok=0; fi
done
if [ $keys_ok -eq 1 ]; then echo "   Press Key under Wine: each side of Shift, Ctrl and Alt, both Windows keys, Menu and Enter taken as pressed"; else failed=1; fi
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

# In Russian, as on a Russian Windows: both programs find their catalogs beside them and
# speak the language of Windows's own texts.
english_help="$("$linux_cli" --help 2>&1)"
linux_help="$(LC_ALL=ru_RU.UTF-8 "$linux_cli" --help 2>&1)"
windows_help="$(LC_ALL=ru_RU.UTF-8 wine "$windows_cli" --help 2>/dev/null | tr -d '\r')" || windows_help=""
if [ -n "$windows_help" ] && [ "$windows_help" = "$linux_help" ] && [ "$windows_help" != "$english_help" ]; then
    echo "   morvane-cli.exe --help under a Russian Wine: Russian, as on Linux"; else
    echo "   morvane-cli.exe --help under a Russian Wine: NOT RUSSIAN"; echo "$windows_help" | head -3; failed=1; fi
# Every other language of the catalogs, as Wine takes it from the locale.
for code in $(cat "$here/po/LINGUAS"); do
    [ "$code" = ru ] && continue
    locale="$code"
    [[ "$code" == *_* ]] || locale="${code}_${code^^}"  # de_DE, as systems name it
    linux_text="$(LC_ALL="$locale.UTF-8" "$linux_cli" --help 2>&1)"
    windows_text="$(LC_ALL="$locale.UTF-8" wine "$windows_cli" --help 2>/dev/null | tr -d '\r')" || windows_text=""
    if [ -n "$windows_text" ] && [ "$windows_text" = "$linux_text" ] && [ "$windows_text" != "$english_help" ]; then
        echo "   morvane-cli.exe --help under Wine in $code: as on Linux"; else
        echo "   morvane-cli.exe --help under Wine in $code: NOT TRANSLATED"; failed=1; fi
done
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
# The window in each language: its Save As asks in it (the Russian one also as a screenshot).
for code in $(cat "$here/po/LINGUAS"); do
    locale="$code"
    [[ "$code" == *_* ]] || locale="${code}_${code^^}"
    dialog="$(msggrep --no-wrap -K -F -e "Choose a file" "$here/po/$code.po" | sed -n 's/^msgstr "\(..*\)"$/\1/p' | head -n 1)"
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        cd "$1" || exit 1
        LC_ALL="$5" wine "$2" keys.cs >/dev/null 2>&1 &
        w=$(timeout 120 xdotool search --sync --onlyvisible --name "^keys.cs - " | head -n 1)
        [ -n "$w" ] || exit 1
        sleep 3
        [ -n "$3" ] && import -window "$w" "$3"
        xdotool windowfocus --sync "$w" >/dev/null 2>&1 || true
        xdotool key ctrl+shift+s
        # The title in UTF-8 (_NET_WM_NAME): xdotool matches only the Latin-1 one.
        found=0
        for i in $(seq 30); do
            for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
                xprop -id "$id" _NET_WM_NAME 2>/dev/null | grep -qF "= \"$4\"" && found=1
            done
            [ $found -eq 1 ] && break
            sleep 1
        done
        wineserver -k
        [ $found -eq 1 ]' _ "$work/keys" "$here/build-windows/morvane.exe" \
        "$([ "$code" = ru ] && echo "$shots/russian-window.png")" "$dialog" "$locale.UTF-8" \
        && shown=1 || shown=0
    if [ -n "$dialog" ] && [ $shown -eq 1 ]; then
        echo "   window under Wine in $code: Save As asks \"$dialog\""; else
        echo "   window under Wine in $code: NOT TRANSLATED (no dialog \"$dialog\")"; failed=1; fi
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
done
[ -f "$shots/russian-window.png" ] && echo "   the window in Russian: $shots/russian-window.png"

# Started elsewhere (as from a shortcut), it works in %APPDATA%\Morvane when that holds the INI files.
appdata="$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)"  || appdata=""
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
if [ -n "$appdata" ] && [ -d "$appdata" ]; then
    rm -rf "$appdata/Morvane"
    mkdir -p "$appdata/Morvane" "$work/elsewhere"
    cp "$here"/demo/*.ini "$appdata/Morvane/"
    if screenshot "$work/elsewhere" "$title" "$shots/data-folder-window.png"; then
        echo "   window started elsewhere, INI files in %APPDATA%\\Morvane: $shots/data-folder-window.png"; else
        echo "   window from %APPDATA%\\Morvane: NOT SHOWN"; failed=1; fi
    rm -rf "$appdata/Morvane"
else
    echo "   %APPDATA%\\Morvane: not checked (Wine's APPDATA folder not found)"; failed=1
fi

# The zip as a player gets it: unpacked into an empty folder, run from there.
if [ "$with_zip" -eq 1 ]; then
    unpacked="$work/unpacked"
    mkdir -p "$unpacked"
    unzip -q "$here/dist/$zip_name.zip" -d "$unpacked"
    (cd "$here/dist" && sha256sum -c --quiet "$zip_name.zip.sha256") || { echo "   zip: CHECKSUM WRONG"; failed=1; }
    app="$unpacked/$zip_name"
    for file in morvane.exe morvane-cli.exe README.txt LICENSE THIRD_PARTY_LICENSES demo/SASCM.ini demo/sa_keys.cs \
        $(for code in $(cat "$here/po/LINGUAS"); do echo "$code/LC_MESSAGES/morvane.mo"; done); do
        [ -f "$app/$file" ] || { echo "   zip: $file MISSING"; failed=1; }
    done
    got="$(cd "$app" && wine ./morvane-cli.exe --version 2>/dev/null | tr -d '\r')" || true
    if [ "$got" = "morvane-cli $version" ]; then echo "   unpacked morvane-cli.exe --version: $got"; else
        echo "   unpacked morvane-cli.exe --version: WRONG ($got)"; failed=1; fi
    (cd "$app/demo" && wine ../morvane-cli.exe list --format tsv --game sa sa_keys.cs >"$work/unpacked-list.tsv" 2>/dev/null) || true
    if (cd "$app/demo" && "$linux_cli" list --format tsv --game sa sa_keys.cs | cmp -s - "$work/unpacked-list.tsv"); then
        echo "   unpacked morvane-cli.exe list in its demo folder: same as Linux"; else
        echo "   unpacked morvane-cli.exe list: DIFFERENT"; failed=1; fi
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    screenshot_exe="$app/morvane.exe"
    if screenshot "$app/demo" "$title" "$shots/unpacked-window.png"; then
        echo "   unpacked morvane.exe, started in its demo folder: $shots/unpacked-window.png"; else
        echo "   unpacked morvane.exe: NOT SHOWN"; failed=1; fi
fi

echo "   checked in $(( $(date +%s) - start ))s"
[ $failed -eq 0 ] && echo "Windows checks passed" || { echo "Windows checks FAILED" >&2; exit 1; }
