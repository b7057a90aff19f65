#!/bin/bash
# Makes the screenshots of docs/screenshots/ anew: the main dialog, the error prompt, the
# settings and the About box, in Russian (main-dialog.png ...) and English (main-dialog-en.png
# ...), each cropped exactly to its window. Installs what is missing and builds velmora.exe first.
#
# The shots show what a user sees: the program in C:\Tools\Velmora, started by the file
# manager's button with a UTF-16 list (%WL) of files on drive D:, which this script's own Wine
# prefix maps to a small project tree (build/screenshots/drive-d). The Russian shots run under
# a Russian locale (made with localedef into the build folder, nothing is installed system-wide),
# so the system's reason in the error prompt is in Russian as on a Russian Windows; the English
# ones under C.UTF-8 with English.lng and the English help.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh || exit 1
bash scripts/build.sh win || exit 1

export VELMORA_BUILD_DIR="$root/build/win"
. tests/e2e/lib.sh
E2E_NAME=screenshots
out="$root/build/screenshots"
rm -rf "$out/drive-d" "$out/app"
mkdir -p "$out"
E2E_WORK="$out"
E2E_SHOTS="$root/docs/screenshots"
export WINEPREFIX="$out/wineprefix"

cleanup() {
    if [ -n "$E2E_VELMORA_PID" ]; then
        kill "$E2E_VELMORA_PID" 2>/dev/null
        wait "$E2E_VELMORA_PID" 2>/dev/null
    fi
    timeout -k 5 30 wineserver -k 2>/dev/null
    velmora_xvfb_stop
}
trap cleanup EXIT
trap 'exit 130' INT TERM
trap 'exit 1' USR1
fail() {
    echo "screenshots: $*" >&2
    exit 1
}

# Drive D: a project with documents and photos, and an empty backup folder as the target. The
# report is already in the backup (another file), so linking it again is refused with the
# system's reason.
d="$out/drive-d"
atlas="$d/Projects/Atlas"
mkdir -p "$atlas/Docs" "$atlas/Photos/2026" "$d/Backup/Atlas"
echo "Quarterly report" >"$atlas/Docs/Report 2026.docx"
echo "Budget" >"$atlas/Docs/Budget.xlsx"
echo "Minutes" >"$atlas/Docs/Meeting notes.txt"
echo "Site" >"$atlas/Photos/2026/Site visit.jpg"
echo "an older copy" >"$d/Backup/Atlas/Report 2026.docx"

velmora_xvfb_start || fail "cannot start Xvfb"
velmora_wine_prefix_init
ln -sfn "$d" "$WINEPREFIX/dosdevices/d:"
app="$WINEPREFIX/drive_c/Tools/Velmora"
mkdir -p "$app"
cp "$VELMORA_BUILD_DIR/velmora.exe" "$VELMORA_BUILD_DIR"/*.lng "$VELMORA_BUILD_DIR"/*.chm "$app/"
E2E_EXE="$app/velmora.exe"
E2E_CWD="$app"

# A private Russian locale: glibc finds it through LOCPATH.
locales="$out/locale"
if [ ! -d "$locales/ru_RU.UTF-8" ]; then
    mkdir -p "$locales"
    localedef -i ru_RU -f UTF-8 "$locales/ru_RU.UTF-8" ||
        fail "cannot make the ru_RU.UTF-8 locale (Debian's locales package has its sources)"
fi

# One session: starts the program as the button does (the whole tree mirrored), takes the
# shots, skips the report at its prompt and closes the summary that follows. Files are named <shot><suffix>.png.
shoot() { # suffix ini-lines...
    local suffix="$1" dlg inner prompt list
    shift
    velmora_wine_server_stop
    e2e_driver_start
    drv regdelkey "$E2E_REG_KEY" >/dev/null
    printf '%s\r\n' '[Settings]' DefaultRecursionDepth=-1 "$@" >"$app/velmora.ini"
    list="$WINEPREFIX/drive_c/windows/temp/CMD5F2A.tmp"
    printf '\xFF\xFE' >"$list"
    printf '%s\r\n' 'D:\Projects\Atlas\Docs\Report 2026.docx' 'D:\Projects\Atlas\Docs\Budget.xlsx' \
        'D:\Projects\Atlas\Photos\' | iconv -f UTF-8 -t UTF-16LE >>"$list"
    e2e_start 'C:\windows\temp\CMD5F2A.tmp' 'D:\Backup\Atlas\' /i=velmora.ini
    dlg="$(e2e_wait_window "$E2E_TITLE" 30000)"
    e2e_screenshot "main-dialog$suffix" "$dlg"

    drv click "$dlg" $IDC_SETTINGS >/dev/null
    inner="$(e2e_wait_owned "$dlg")"
    e2e_screenshot "settings$suffix" "$inner"
    drv click "$inner" $IDCANCEL >/dev/null
    drv waitgone "$inner" 5000 >/dev/null || fail "the settings stay open"

    drv syscommand "$dlg" $IDM_ABOUTBOX >/dev/null
    inner="$(e2e_wait_owned "$dlg")"
    e2e_screenshot "about$suffix" "$inner"
    drv click "$inner" $IDOK >/dev/null
    drv waitgone "$inner" 5000 >/dev/null || fail "the About box stays open"

    drv click "$dlg" $IDOK >/dev/null
    prompt="$(e2e_wait_owned "$dlg")"
    e2e_screenshot "error-prompt$suffix" "$prompt"
    drv click "$prompt" $IDC_SKIP >/dev/null
    drv waitgone "$prompt" 5000 >/dev/null || fail "the prompt stays open"

    # The other file and the photos are linked; the skipped report brings the summary.
    inner="$(e2e_wait_owned "$dlg")"
    e2e_screenshot "summary$suffix" "$inner"
    drv click "$inner" $IDOK >/dev/null
    e2e_wait_exit
    [ "$E2E_EXIT_CODE" = 2 ] || fail "exit code $E2E_EXIT_CODE after a skipped item, not 2"
    kill "$E2E_DRV_PID" 2>/dev/null
}

# The dialog halfway through a large mirror: 30,000 files in 300 folders of D:\Projects\Archive
# (made once), mirrored into D:\Backup\Archive; the shot is taken once the bar has passed half
# its range, then the batch is stopped (exit code 3). The shot goes to the help as well.
archive="$d/Projects/Archive"
for ((f = 0; f < 300; f++)); do
    mkdir -p "$archive/Scans $((f / 15))/Box $f"
    (cd "$archive/Scans $((f / 15))/Box $f" && touch page{000..099}.tif)
done
shoot_progress() { # suffix help-edition ini-lines...
    local suffix="$1" edition="$2" dlg bar i
    shift 2
    velmora_wine_server_stop
    e2e_driver_start
    drv regdelkey "$E2E_REG_KEY" >/dev/null
    printf '%s\r\n' '[Settings]' DefaultRecursionDepth=-1 "$@" >"$app/velmora.ini"
    rm -rf "$d/Backup/Archive"
    mkdir -p "$d/Backup/Archive"
    printf '%s\r\n' 'D:\Projects\Archive\' >"$WINEPREFIX/drive_c/windows/temp/CMD5F2B.tmp"
    e2e_start 'C:\windows\temp\CMD5F2B.tmp' 'D:\Backup\Archive\' /i=velmora.ini
    dlg="$(e2e_wait_window "$E2E_TITLE" 30000)"
    drv click "$dlg" $IDOK >/dev/null
    for ((i = 0; i < 1200; i++)); do
        bar="$(drv bar "$dlg" $IDC_PROGRESS 2>/dev/null)" || bar=""
        if [ -n "$bar" ] && read -r pos low high <<<"$bar" && [ "$high" -gt 0 ] &&
            [ $((pos * 2)) -ge "$high" ]; then
            break
        fi
        sleep 0.05
    done
    [ -n "$bar" ] || fail "no progress bar"
    sleep 0.3
    e2e_screenshot "progress$suffix" "$dlg"
    cp "$E2E_SHOTS/progress$suffix.png" "$root/help/$edition/progress.png"
    drv click "$dlg" $IDCANCEL >/dev/null
    e2e_wait_exit 60
    [ "$E2E_EXIT_CODE" = 3 ] || fail "exit code $E2E_EXIT_CODE after Cancel, not 3"
    kill "$E2E_DRV_PID" 2>/dev/null
}

(
    # Bash itself cannot use the private locale (it looks only where LOCPATH was when it
    # started); Wine can, and that is all it is for.
    export LOCPATH="$locales"
    export LC_ALL=ru_RU.UTF-8 2>/dev/null
    shoot ""
    shoot_progress "" ru
) || exit 1
shoot -en LanguageFile=English.lng HelpFile=velmora_en.chm || exit 1
shoot_progress -en en LanguageFile=English.lng HelpFile=velmora_en.chm || exit 1
echo "screenshots: written to docs/screenshots/"
