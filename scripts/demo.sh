#!/bin/bash
# The main job on a demo selection: installs what is missing, builds velmora.exe, makes a few
# files and folders, writes the list file exactly as the file manager's button does (full Windows
# paths, CR LF, folders ending in a backslash, ANSI code page) and starts
#   velmora.exe <list file> <target folder>
# under Wine. Without a display it runs on its own Xvfb. It saves a screenshot of the dialog to
# build/demo/main-dialog.png, sets the recursion depth to -1 (re-create the folders, hard-link
# the files), presses OK and lists what was made, with the inode of each link and its source.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh || exit 1
bash scripts/build.sh win || exit 1

export VELMORA_BUILD_DIR="$root/build/win"
. tests/e2e/lib.sh
E2E_NAME=demo
demo="$root/build/demo"
mkdir -p "$demo"
E2E_WORK="$demo"

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
    echo "demo: $*" >&2
    exit 1
}

# The selection: two files and a folder with a sub-folder, made anew on every run.
sel="$demo/selection"
links="$demo/links"
rm -rf "$sel" "$links"
mkdir -p "$sel/photos/2026" "$links"
echo "Quarterly report" >"$sel/report.txt"
echo "Notes for Monday" >"$sel/notes.txt"
echo "beach" >"$sel/photos/beach.jpg"
echo "snow" >"$sel/photos/2026/snow.jpg"

if [ -z "${DISPLAY:-}" ]; then
    velmora_xvfb_start || fail "cannot start Xvfb"
    echo "demo: no display; running on Xvfb $DISPLAY"
fi
e2e_wine_init
E2E_DRIVER_LOG="$demo/driver.log" e2e_driver_start
list="$demo/selection.lst"
e2e_list "$list" "$(e2e_winpath "$sel/report.txt")" "$(e2e_winpath "$sel/notes.txt")" \
    "$(e2e_winpath "$sel/photos")\\"
echo "demo: list file $list:"
tr -d '\r' <"$list" | sed 's/^/    /'
: >"$demo/velmora.log"
e2e_start "$(e2e_winpath "$list")" "$(e2e_winpath "$links")\\"
echo "demo: started velmora.exe $(e2e_winpath "$list") $(e2e_winpath "$links")\\"

hwnd="$(drv wait "$E2E_TITLE" 30000)" || hwnd="$(drv wait "#32770" 5000)" ||
    fail "no dialog appeared: $(cat "$demo/velmora.log")"
E2E_SHOTS="$demo"
e2e_screenshot main-dialog "$hwnd"
echo "demo: dialog \"$(drv text "$hwnd")\""
echo "demo:   $(drv text "$hwnd" $IDC_CAPTION)"
echo "demo:   target: $(drv text "$hwnd" $IDC_TARGET)"

drv set "$hwnd" $IDC_DEPTH -1 >/dev/null
drv click "$hwnd" $IDOK >/dev/null
# A failure would show the error prompt: keep a picture of it and skip the rest.
for _ in $(seq 1 50); do
    kill -0 "$E2E_VELMORA_PID" 2>/dev/null || break
    if prompt="$(drv owned "$hwnd" 2>/dev/null | awk '$1 == "window" { print $2; exit }')" && [ -n "$prompt" ]; then
        e2e_screenshot prompt "$prompt"
        echo "demo: the program reports: $(drv text "$prompt" $IDC_ERROR_TEXT 2>/dev/null || drv text "$prompt" 65535)"
        drv click "$prompt" $IDC_SKIP_ALL >/dev/null || drv click "$prompt" $IDOK >/dev/null
    fi
    sleep 0.2
done
e2e_wait_exit 60
echo "demo: velmora.exe ended with exit code $E2E_EXIT_CODE"

echo "demo: links made in $links (inode, link count, name), next to their sources:"
found=0
while IFS= read -r -d '' f; do
    rel="${f#"$links"/}"
    src="$sel/$rel"
    printf '    %-28s inode %-10s links %s   source inode %s\n' "$rel" "$(stat -c %i "$f")" \
        "$(stat -c %h "$f")" "$( [ -e "$src" ] && stat -c %i "$src" || echo -)"
    found=$((found + 1))
done < <(find "$links" -type f -print0 | sort -z)
[ "$found" -gt 0 ] || echo "    (none)"
echo "demo: screenshot $demo/main-dialog.png"
