#!/bin/bash
# Makes the screenshots of docs/screenshots/ anew, in Russian (main-dialog.png ...) and English
# (main-dialog-en.png ...), each cropped exactly to its window:
#   main-dialog     the main dialog, active, for two files and a folder of a project's design
#   settings, about the settings and the About box
#   error-prompt    a link that cannot be made (a file of that name is in the way)
#   summary         the summary after the batch that skipped that file
#   refusal-prompt  a step the program refuses: a folder mirrored into a folder inside itself
#   batch-running   the main dialog while a large mirror runs: the bar past a third, the time left
#   button-bar      the program's button on a button bar with its tooltip (drawn, not shot)
# Installs what is missing and builds velmora.exe first. Run it again after the dialogs change.
#   scripts/screenshots.sh [shot...]   e.g. `scripts/screenshots.sh batch-running` retakes one
#
# The shots show what a user sees: the program in C:\Tools\Velmora, started by the file
# manager's button with a UTF-16 list (%WL) of entries on drive D:, which this script's own Wine
# prefix maps to a small tree (build/screenshots/drive-d): a project whose design files are
# linked into a folder of assets shared with other projects. The Russian shots run under a
# Russian locale (made with localedef into the build folder, nothing is installed system-wide),
# so the system's reason in the error prompt is in Russian as on a Russian Windows; the English
# ones under C.UTF-8 with English.lng and the English help.
#
# Xvfb has no window manager: the main dialog is made active by opening and closing its About
# box (see activate), and its title bar is checked for the active colour before it is shot.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
export LC_ALL=C.UTF-8

all_shots=(main-dialog settings about error-prompt summary refusal-prompt batch-running button-bar)
wanted=("$@")
[ ${#wanted[@]} -eq 0 ] && wanted=("${all_shots[@]}")
for w in "${wanted[@]}"; do
    [[ " ${all_shots[*]} " == *" $w "* ]] || { echo "screenshots: unknown shot '$w' (${all_shots[*]})" >&2; exit 2; }
done
want() { [[ " ${wanted[*]} " == *" $1 "* ]]; }

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

# Drive D: a project whose design files are linked into the assets it shares with other
# projects. A logo of another project already has the name there, so linking this one is
# refused with the system's reason. The renders are a large tree for the running batch.
d="$out/drive-d"
atlas="$d/Projects/Atlas"
shared="$d/Shared assets/Atlas"
mkdir -p "$atlas/Design/Icons" "$atlas/Design/Export" "$shared"
echo "logo" >"$atlas/Design/Logo.svg"
echo "palette" >"$atlas/Design/Palette.ase"
for icon in Home Search Settings Share; do echo "$icon" >"$atlas/Design/Icons/$icon.svg"; done
echo "the logo of another project" >"$shared/Logo.svg"
if want batch-running; then
    # 24,000 renders in 48 folders: long enough under Wine for the dialog to show its progress.
    for s in $(seq -w 1 48); do
        mkdir -p "$atlas/Renders/Scene $s"
        (cd "$atlas/Renders/Scene $s" && seq -f "frame %04g.png" 1 500 | xargs -d '\n' touch)
    done
fi

velmora_xvfb_start || fail "cannot start Xvfb"
velmora_wine_prefix_init
ln -sfn "$d" "$WINEPREFIX/dosdevices/d:"
app="$WINEPREFIX/drive_c/Tools/Velmora"
mkdir -p "$app"
cp "$VELMORA_BUILD_DIR/velmora.exe" "$VELMORA_BUILD_DIR"/*.chm "$root"/lang/*.lng "$app/"
E2E_EXE="$app/velmora.exe"
E2E_CWD="$app"

# A private Russian locale: glibc finds it through LOCPATH.
locales="$out/locale"
if [ ! -d "$locales/ru_RU.UTF-8" ]; then
    mkdir -p "$locales"
    localedef -i ru_RU -f UTF-8 "$locales/ru_RU.UTF-8" ||
        fail "cannot make the ru_RU.UTF-8 locale (Debian's locales package has its sources)"
fi

# Starts the program as the button does, with a UTF-16 list of the entries, the target and the
# INI file (depth -1, plus the lines given); leaves the main dialog's handle in $dlg.
start() { # target ini-lines... -- entries...
    local target="$1" ini=() list
    shift
    while [ "$1" != -- ]; do ini+=("$1") && shift; done
    shift
    printf '%s\r\n' '[Settings]' DefaultRecursionDepth=-1 "${ini[@]}" >"$app/velmora.ini"
    list="$WINEPREFIX/drive_c/windows/temp/CMD5F2A.tmp"
    printf '\xFF\xFE' >"$list"
    printf '%s\r\n' "$@" | iconv -f UTF-8 -t UTF-16LE >>"$list"
    e2e_start 'C:\windows\temp\CMD5F2A.tmp' "$target" /i=velmora.ini
    dlg="$(e2e_wait_window "$E2E_TITLE" 30000)"
}

# Makes the main dialog the active window and checks that its title bar is drawn in the active
# colour (the pixel in the middle of the title bar far from grey). A program started under
# Xvfb without a window manager is never made foreground by the system, and a foreground
# window set from outside is not activated either; activation returning from a closed owned
# window is: the About box is opened and closed, as a user might.
activate() { # hwnd
    local r l t rr b pixel red green blue inner
    drv syscommand "$1" $IDM_ABOUTBOX >/dev/null
    inner="$(e2e_wait_owned "$1")"
    drv click "$inner" $IDOK >/dev/null
    drv waitgone "$inner" 5000 >/dev/null || fail "the About box stays open"
    sleep 0.3
    read -r l t rr b <<<"$(drv rect "$1")"
    pixel="$(import -display "$DISPLAY" -window root -crop "1x1+$(((l + rr) / 2))+$((t + 10))" \
        -depth 8 txt:- 2>/dev/null | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p')"
    read -r red green blue <<<"$pixel"
    [ -n "$blue" ] || fail "cannot read the title bar's colour"
    [ $((blue - red)) -gt 40 ] || fail "the title bar is not active (colour $red,$green,$blue)"
}

# One session in one language: files are named <shot><suffix>.png.
shoot() { # suffix ini-lines...
    local suffix="$1" inner prompt running
    shift
    velmora_wine_server_stop
    e2e_driver_start
    drv regdelkey "$E2E_REG_KEY" >/dev/null

    # Two design files and the icons folder into the shared assets; the logo is in the way.
    if want main-dialog || want settings || want about || want error-prompt || want summary; then
        rm -rf "$shared"/{Palette.ase,Icons}
        start 'D:\Shared assets\Atlas\' "$@" -- 'D:\Projects\Atlas\Design\Logo.svg' \
            'D:\Projects\Atlas\Design\Palette.ase' 'D:\Projects\Atlas\Design\Icons\'
        activate "$dlg"
        want main-dialog && e2e_screenshot "main-dialog$suffix" "$dlg"

        if want settings; then
            drv click "$dlg" $IDC_SETTINGS >/dev/null
            inner="$(e2e_wait_owned "$dlg")"
            e2e_screenshot "settings$suffix" "$inner"
            drv click "$inner" $IDCANCEL >/dev/null
            drv waitgone "$inner" 5000 >/dev/null || fail "the settings stay open"
        fi
        if want about; then
            drv syscommand "$dlg" $IDM_ABOUTBOX >/dev/null
            inner="$(e2e_wait_owned "$dlg")"
            e2e_screenshot "about$suffix" "$inner"
            drv click "$inner" $IDOK >/dev/null
            drv waitgone "$inner" 5000 >/dev/null || fail "the About box stays open"
        fi

        drv click "$dlg" $IDOK >/dev/null
        prompt="$(e2e_wait_owned "$dlg")"
        want error-prompt && e2e_screenshot "error-prompt$suffix" "$prompt"
        drv click "$prompt" $IDC_SKIP >/dev/null
        drv waitgone "$prompt" 5000 >/dev/null || fail "the prompt stays open"

        # The palette and the icons are linked; the skipped logo brings the summary.
        inner="$(e2e_wait_owned "$dlg")"
        want summary && e2e_screenshot "summary$suffix" "$inner"
        drv click "$inner" $IDOK >/dev/null
        e2e_wait_exit
        [ "$E2E_EXIT_CODE" = 2 ] || fail "exit code $E2E_EXIT_CODE after a skipped item, not 2"
    fi

    # Both panels on the design folder, its export folder open on the right: the whole folder
    # mirrored into a folder inside itself is refused before anything is made.
    if want refusal-prompt; then
        start 'D:\Projects\Atlas\Design\Export\' "$@" -- 'D:\Projects\Atlas\Design\'
        drv click "$dlg" $IDOK >/dev/null
        prompt="$(e2e_wait_owned "$dlg")"
        e2e_screenshot "refusal-prompt$suffix" "$prompt"
        drv click "$prompt" $IDCANCEL >/dev/null
        e2e_wait_exit
        [ "$E2E_EXIT_CODE" = 3 ] || fail "exit code $E2E_EXIT_CODE after Cancel, not 3"
        [ -z "$(ls -A "$atlas/Design/Export")" ] || fail "the refused mirror left something behind"
    fi

    # The renders mirrored into the shared assets: shot halfway through, then cancelled.
    if want batch-running; then
        rm -rf "$shared/Renders"
        start 'D:\Shared assets\Atlas\' "$@" -- 'D:\Projects\Atlas\Renders\'
        activate "$dlg"
        drv click "$dlg" $IDOK >/dev/null
        # Shot once the bar has passed a third of its range (the files counted) and the time
        # left is shown beside it.
        local bar="" position high left=""
        for _ in $(seq 1 600); do
            bar="$(drv bar "$dlg" $IDC_PROGRESS 2>/dev/null)" || bar=""
            position="${bar%% *}" high="${bar##* }"
            left="$(drv text "$dlg" $IDC_TIME_LEFT 2>/dev/null)" || left=""
            [ -n "$bar" ] && [ "${high:-0}" -gt 0 ] && [ $((position * 3)) -ge "$high" ] &&
                [ -n "$left" ] && break
            sleep 0.05
        done
        [ -n "$left" ] || fail "the running batch shows no time left (bar '$bar')"
        e2e_screenshot "batch-running$suffix" "$dlg"
        drv click "$dlg" $IDCANCEL >/dev/null
        e2e_wait_exit 120
        [ "$E2E_EXIT_CODE" = 3 ] || fail "exit code $E2E_EXIT_CODE after Cancel, not 3"
    fi
    kill "$E2E_DRV_PID" 2>/dev/null
    return 0
}

# The button bar: drawn, since no file manager runs here. A bar of plain buttons (simple signs,
# no other program's icons), the program's own icon on the last one, raised under the mouse,
# and its tooltip below.
draw_bar() { # suffix tooltip
    local suffix="$1" tooltip="$2" icon="$out/velmora-32.png" x=4 i draw=() width text
    convert "$root/res/velmora.ico[0]" "$icon" || fail "cannot read res/velmora.ico"
    for i in 1 2 3 4 5; do
        case $i in
        1) draw+=(-stroke '#406080' -fill '#f0e0a0' -draw "rectangle $((x + 10)),11 $((x + 26)),27") ;;
        2) draw+=(-stroke '#406080' -fill none -draw "circle $((x + 18)),19 $((x + 18)),11") ;;
        3) draw+=(-stroke '#406080' -fill '#a0c0e0' -draw "polygon $((x + 10)),27 $((x + 18)),10 $((x + 26)),27") ;;
        4) draw+=(-stroke '#406080' -fill '#c0e0c0' -draw "rectangle $((x + 9)),13 $((x + 27)),25") ;;
        5) draw+=(-stroke '#406080' -fill none -draw "line $((x + 10)),19 $((x + 26)),19" -draw "line $((x + 18)),11 $((x + 18)),27") ;;
        esac
        x=$((x + 36))
        [ $i = 3 ] && draw+=(-stroke '#808080' -draw "line $((x + 2)),4 $((x + 2)),34" -stroke '#ffffff' -draw "line $((x + 3)),4 $((x + 3)),34") && x=$((x + 8))
    done
    text="$(convert -font DejaVu-Sans -pointsize 11 label:"$tooltip" -format %w info:)" ||
        fail "cannot measure the tooltip"
    width=$((x + 36 + 4))
    [ $((x + 24 + text)) -gt $width ] && width=$((x + 24 + text))
    convert -size "${width}x66" xc:'#d4d0c8' "${draw[@]}" \
        -fill none -stroke '#ffffff' -draw "line $x,2 $((x + 35)),2" -draw "line $x,2 $x,37" \
        -stroke '#808080' -draw "line $((x + 35)),2 $((x + 35)),37" -draw "line $x,37 $((x + 35)),37" \
        \( "$icon" \) -geometry "+$((x + 2))+4" -composite \
        -font DejaVu-Sans -pointsize 11 \
        -fill '#ffffe1' -stroke '#000000' -draw "rectangle $((x + 10)),42 $((x + 19 + text)),60" \
        -fill '#000000' -stroke none -annotate "+$((x + 15))+55" "$tooltip" \
        -bordercolor '#808080' -border 1 "$E2E_SHOTS/button-bar$suffix.png" ||
        fail "cannot draw the button bar"
}

mkdir -p "$E2E_SHOTS"
if want button-bar; then
    draw_bar "" 'Velmora: жёсткие ссылки и точки соединения'
    draw_bar -en 'Velmora: hard links and junctions'
fi
if [ ${#wanted[@]} -gt 1 ] || ! want button-bar; then
    (
        # Bash itself cannot use the private locale (it looks only where LOCPATH was when it
        # started); Wine can, and that is all it is for.
        export LOCPATH="$locales"
        export LC_ALL=ru_RU.UTF-8 2>/dev/null
        shoot ""
    ) || exit 1
    shoot -en LanguageFile=English.lng HelpFile=velmora_en.chm || exit 1
fi
echo "screenshots: written to docs/screenshots/"
