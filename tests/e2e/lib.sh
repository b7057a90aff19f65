# End-to-end rig: runs the real velmora.exe under Wine on an own Xvfb display and drives it from
# outside with velmora_driver.exe. Sourced by tests/e2e/test_*.sh and by scripts/demo.sh.
#
#   . tests/e2e/lib.sh
#   e2e_setup                      # own Xvfb, the build's Wine prefix, a clean registry key, a work folder
#   e2e_list "$E2E_WORK/list.txt" 'Z:\a.txt' 'Z:\dir\'   # a list file as the file manager writes it
#   e2e_start "$(e2e_winpath "$E2E_WORK/list.txt")" 'Z:\target\'
#   hwnd=$(e2e_wait_window "$E2E_TITLE")
#   expect_eq "$(drv text "$hwnd" $IDC_TARGET)" 'Z:\target\*.*' "target edit"
#   drv click "$hwnd" $IDCANCEL; e2e_wait_exit; expect_eq "$E2E_EXIT_CODE" 0 "exit code"
#   e2e_pass
#
# Helpers hand back what they produce: they print it (handles, texts) or set a variable named
# here: E2E_WORK, E2E_APP (e2e_setup), E2E_VELMORA_PID (e2e_start), E2E_EXIT_CODE (e2e_wait_exit),
# E2E_DLG (e2e_open, e2e_link_run). Everything else is passed as an argument.
# Environment: VELMORA_BUILD_DIR (the Windows build folder; default <source>/build/win),
# VELMORA_E2E_KEEP=1 keeps the work folder, E2E_TIMEOUT (seconds a velmora.exe run may take).

E2E_SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
: "${VELMORA_BUILD_DIR:=$E2E_SOURCE_DIR/build/win}"
export VELMORA_BUILD_DIR
E2E_BUILT_EXE="$VELMORA_BUILD_DIR/velmora.exe"
E2E_EXE="$E2E_BUILT_EXE"
E2E_DRIVER="$VELMORA_BUILD_DIR/tests/e2e/velmora_driver.exe"
E2E_SHOTS="$VELMORA_BUILD_DIR/screenshots"
E2E_REG_KEY='HKCU\Software\Tarnwell\Velmora'
E2E_REG_SETTINGS='HKCU\Software\Tarnwell\Velmora\Settings'
: "${E2E_TIMEOUT:=60}"
E2E_NAME="$(basename "${0%.sh}")"
E2E_VELMORA_PID=""
E2E_WORK=""

# The program's names, said once for every test: the main dialog's title, and the numbers of
# the dialog templates under their own names in res/resource.h (IDC_SKIP, IDM_ABOUTBOX ...).
E2E_TITLE='Velmora 1.1'
IDOK=1 IDCANCEL=2 SC_CLOSE=0xF060
eval "$(sed -n 's/^#define \(ID[A-Z]*_[A-Z0-9_]*\) \([0-9x]*\)$/\1=\2/p' "$E2E_SOURCE_DIR/res/resource.h")"
[ -n "${IDC_SKIP:-}" ] || { echo "lib.sh: no control numbers in res/resource.h" >&2; exit 2; }

# ---- reporting ---------------------------------------------------------------------------------

e2e_log() { echo "[$E2E_NAME] $*" >&2; }

# Reports a failure and ends the test (the EXIT trap tears everything down). Called inside a
# command substitution it ends the test too, through SIGUSR1 to the test's shell.
fail() {
    echo "FAIL [$E2E_NAME]: $*" >&2
    [ "$BASHPID" != "$$" ] && kill -USR1 "$$"
    exit 1
}

expect_eq() { # actual expected what
    [ "$1" == "$2" ] || fail "$3: expected '$2', got '$1'"
}

expect_contains() { # haystack needle what
    [[ "$1" == *"$2"* ]] || fail "$3: '$1' does not contain '$2'"
}

expect_not_contains() { # haystack needle what
    [[ "$1" != *"$2"* ]] || fail "$3: '$1' contains '$2'"
}

# A section that cannot run here: e2e_pass then ends the test as skipped (exit code 77, CTest's
# SKIP_RETURN_CODE) rather than passed.
E2E_SKIPPED=""
e2e_skip() { echo "SKIPPED [$E2E_NAME] $*" >&2 && E2E_SKIPPED+="$*; "; }

e2e_pass() {
    [ -z "$E2E_SKIPPED" ] || { echo "PASS [$E2E_NAME] but skipped: $E2E_SKIPPED" && exit 77; }
    echo "PASS [$E2E_NAME]"
    exit 0
}

# ---- Wine and display --------------------------------------------------------------------------

# The locale, the Wine settings and the build's prefix (made once, then reused by every test);
# velmora_xvfb_start and velmora_xvfb_stop.
export WINEPREFIX="$VELMORA_BUILD_DIR/wineprefix"
# shellcheck source=../../scripts/wine-env.sh
. "$E2E_SOURCE_DIR/scripts/wine-env.sh"

e2e_wine_init() {
    velmora_wine_prefix_init
    velmora_wine_server_stop
}

# Unix path -> the Windows path Wine shows for it (drive Z: is the Unix root).
e2e_winpath() {
    local p
    p="$(realpath -m "$1")"
    printf 'Z:%s' "${p//\//\\}"
}

# Runs a driver command; its output is UTF-8, one machine-readable line per item. After
# e2e_driver_start one driver process answers every command (starting Wine for each query would
# cost about a second); before it, each call starts the driver anew.
drv() {
    if [ -z "${E2E_DRV_PID:-}" ]; then
        timeout -k 5 60 wine "$E2E_DRIVER" "$@"
        return
    fi
    local IFS=$'\t' line
    printf '%s\n' "$*" >&"$E2E_DRV_TO" || fail "the driver has gone"
    while IFS= read -r -t 60 line <&"$E2E_DRV_FROM"; do
        if [[ "$line" == "@@end "* ]]; then
            return "${line#@@end }"
        fi
        printf '%s\n' "$line"
    done
    fail "the driver did not answer: drv $*"
}

# Starts the serving driver (after the Wine prefix is ready; ends with the Wine server). Its
# messages go to the test's error output, or to the file E2E_DRIVER_LOG names.
e2e_driver_start() {
    coproc E2E_DRV { exec timeout -k 5 3600 wine "$E2E_DRIVER" serve 2>>"${E2E_DRIVER_LOG:-/dev/stderr}"; }
    # Bash hides a coprocess's own descriptors from pipelines; copies are seen everywhere.
    exec {E2E_DRV_TO}>&"${E2E_DRV[1]}" {E2E_DRV_FROM}<&"${E2E_DRV[0]}"
    drv acp >/dev/null || fail "the driver does not start"
}

# Starts velmora.exe in the background with the given arguments. Its exit code is collected by
# e2e_wait_exit. E2E_CWD (default: the work folder) is the folder it is started from.
e2e_start() {
    [ -f "$E2E_EXE" ] || fail "velmora.exe is not built ($E2E_EXE)"
    (cd "${E2E_CWD:-$E2E_WORK}" && exec timeout -k 5 "$E2E_TIMEOUT" wine "$E2E_EXE" "$@") \
        >>"$E2E_WORK/velmora.log" 2>&1 &
    E2E_VELMORA_PID=$!
}

# Starts velmora.exe like e2e_start and waits for its main dialog; leaves it in E2E_DLG.
e2e_open() { # arguments...
    e2e_start "$@"
    E2E_DLG="$(e2e_wait_window "$E2E_TITLE")"
}

# Waits until velmora.exe has ended (default 30 s) and leaves its exit code in E2E_EXIT_CODE;
# fails on a hang. Not for a command substitution (only this shell can wait for its child).
e2e_wait_exit() {
    local limit="${1:-30}" i
    [ -n "$E2E_VELMORA_PID" ] || fail "velmora.exe was not started"
    for ((i = 0; i < limit * 10; i++)); do
        if ! kill -0 "$E2E_VELMORA_PID" 2>/dev/null; then
            wait "$E2E_VELMORA_PID"
            E2E_EXIT_CODE=$?
            E2E_VELMORA_PID=""
            if [ "$E2E_EXIT_CODE" -eq 124 ] || [ "$E2E_EXIT_CODE" -eq 137 ]; then
                fail "velmora.exe hung and was killed by timeout"
            fi
            return 0
        fi
        sleep 0.1
    done
    fail "velmora.exe still runs after ${limit} s"
}

# Waits for a visible top-level window with this title or class; prints its handle.
e2e_wait_window() { # title-or-class [timeout-ms]
    drv wait "$1" "${2:-20000}" || fail "no window '$1' appeared ($(drv windows 2>&1 | tr '\n' ';'))"
}

# Waits for a visible dialog owned by hwnd (a prompt or a message box); prints its handle.
e2e_wait_owned() { # hwnd [timeout-ms]
    drv waitowned "$1" "${2:-10000}" || fail "no dialog owned by $1 appeared"
}

# The texts of a dialog's static controls, one per line, escaped as the driver escapes them
# (a line break reads \n): a message box's message is one of them.
e2e_static_texts() { # hwnd
    drv controls "$1" | awk -F'\t' '$3 == "Static" && $6 != "" { print $6 }'
}

# Text of the control with this id, escaped like e2e_static_texts.
e2e_control_text() { # hwnd id
    drv controls "$1" | awk -F'\t' -v id="$2" '$2 == id { print $6; exit }'
}

# ---- registry ----------------------------------------------------------------------------------

# True when the key HKCU\Software\Tarnwell\Velmora (or a given key) exists.
e2e_reg_key_exists() {
    drv regkey "${1:-$E2E_REG_KEY}"
}

# Prints the data of a value under ...\Velmora\Settings (REG_DWORD as a signed decimal, REG_SZ
# escaped like the driver's lists); returns 1 when the value is absent.
e2e_reg_get() { # name
    local out
    out="$(drv regget "$E2E_REG_SETTINGS" "$1")" || return 1
    printf '%s\n' "${out#*$'\t'}"
}

e2e_reg_set_dword() { # name value
    drv regset "$E2E_REG_SETTINGS" "$1" dword "$2" || fail "cannot set registry value $1"
}

e2e_reg_set_sz() { # name value
    drv regset "$E2E_REG_SETTINGS" "$1" sz "$2" || fail "cannot set registry value $1"
}

e2e_reg_delete() { # name
    drv regdel "$E2E_REG_SETTINGS" "$1" || fail "cannot delete registry value $1"
}

# ---- files -------------------------------------------------------------------------------------

# Writes a list file as the file manager does: one Windows path per line, CR LF after each,
# folders ending in a backslash, 8-bit text in Wine's ANSI code page (the entries are given in
# UTF-8 and converted here; the code page follows the Unix locale, so it is asked once).
e2e_list() { # file entry...
    local file="$1" e
    shift
    [ -n "${E2E_ACP:-}" ] || E2E_ACP="$(drv acp)" || fail "cannot ask Wine for its code page"
    for e in "$@"; do
        printf '%s\r\n' "$e"
    done | iconv -f UTF-8 -t "CP$E2E_ACP" >"$file" || fail "cannot write $file in code page $E2E_ACP"
}

# ---- screenshots -------------------------------------------------------------------------------

# Saves the screen, or exactly the window's rectangle (its frame included, nothing around it),
# to $E2E_SHOTS/<name>.png.
e2e_screenshot() { # name [hwnd]
    local name="$1" crop=() r l t rr b
    mkdir -p "$E2E_SHOTS"
    if [ -n "${2:-}" ] && r="$(drv rect "$2")"; then
        read -r l t rr b <<<"$r"
        crop=(-crop "$((rr - l))x$((b - t))+$((l < 0 ? 0 : l))+$((t < 0 ? 0 : t))" +repage)
    fi
    sleep 0.3 # let the window finish painting
    import -display "$DISPLAY" -window root "${crop[@]}" "$E2E_SHOTS/$name.png" 2>/dev/null ||
        e2e_log "screenshot $name failed"
    e2e_log "screenshot: $E2E_SHOTS/$name.png"
}

# ---- set-up and teardown -----------------------------------------------------------------------

# Commands to run at teardown (restoring what a test changed outside its work folder).
E2E_ON_EXIT=()
e2e_on_exit() { # command...
    E2E_ON_EXIT+=("$*")
}

e2e_teardown() {
    local rc=$? c
    if [ -n "$E2E_VELMORA_PID" ]; then
        kill "$E2E_VELMORA_PID" 2>/dev/null
        wait "$E2E_VELMORA_PID" 2>/dev/null
    fi
    [ -n "${E2E_DRV_PID:-}" ] && kill "$E2E_DRV_PID" 2>/dev/null
    timeout -k 5 30 wineserver -k 2>/dev/null
    for c in "${E2E_ON_EXIT[@]}"; do
        eval "$c"
    done
    velmora_xvfb_stop
    if [ -n "$E2E_WORK" ] && [ -d "$E2E_WORK" ]; then
        # 77: passed, with a section skipped.
        if { [ "$rc" -ne 0 ] && [ "$rc" -ne 77 ]; } || [ "${VELMORA_E2E_KEEP:-0}" = 1 ]; then
            [ -f "$E2E_WORK/velmora.log" ] && [ -s "$E2E_WORK/velmora.log" ] &&
                e2e_log "velmora.exe output: $(head -c 2000 "$E2E_WORK/velmora.log")"
            e2e_log "work folder kept: $E2E_WORK"
        else
            rm -rf "$E2E_WORK"
        fi
    fi
}

# Prepares one test: own display, Wine prefix, no stored settings, an empty work folder, and a
# copy of the program with its files in $E2E_APP (so that INI and language files the test puts
# "beside the program" stay in the test's own folder).
e2e_setup() {
    [ -f "$E2E_DRIVER" ] || fail "the driver is not built ($E2E_DRIVER)"
    [ -f "$E2E_BUILT_EXE" ] || fail "velmora.exe is not built ($E2E_BUILT_EXE)"
    trap e2e_teardown EXIT
    trap 'exit 130' INT TERM
    trap 'exit 1' USR1
    E2E_WORK="$(mktemp -d "${TMPDIR:-/tmp}/velmora-e2e-$E2E_NAME.XXXXXX")"
    E2E_APP="$E2E_WORK/app"
    mkdir -p "$E2E_APP"
    cp "$E2E_BUILT_EXE" "$E2E_APP/"
    local f
    for f in "$VELMORA_BUILD_DIR"/*.lng "$VELMORA_BUILD_DIR"/*.chm; do
        [ -f "$f" ] && cp "$f" "$E2E_APP/"
    done
    E2E_EXE="$E2E_APP/velmora.exe"
    velmora_xvfb_start || fail "cannot start Xvfb"
    e2e_wine_init
    e2e_driver_start
    drv regdelkey "$E2E_REG_KEY"
}

# ---- link results ------------------------------------------------------------------------------

# The system's text for a Windows error code, escaped like the driver's lists (a line break reads
# \r\n), as the error prompt shows it after the name.
e2e_error_text() { # code
    local out
    out="$(drv errtext "$1")" || fail "cannot read the system's text for error $1"
    printf '%s\n' "${out#*$'\t'}"
}

# A listing of a tree that changes when anything in it changes: per entry its relative path,
# type, size, link count and, for files, the SHA-256 of its bytes. Sorted, so runs compare.
e2e_tree_snapshot() { # folder
    (cd "$1" && find . -mindepth 1 -printf '%p\t%y\t%s\t%n\t' -exec sh -c \
        '[ -f "$1" ] && [ ! -L "$1" ] && sha256sum <"$1" | cut -c1-64 || echo -' _ {} \;) |
        LC_ALL=C sort
}

# Fails with the lines that differ when two snapshots are not the same.
expect_same_tree() { # before after what
    [ "$1" == "$2" ] ||
        fail "$3: the tree changed:$(diff <(printf '%s\n' "$1") <(printf '%s\n' "$2") | head -20)"
}

# Mounts a tmpfs on the folder (made if needed) for this test; every such mount is detached
# again when the test ends, before the work folder is removed. Returns 1 where mounting is not
# permitted (no root), so the caller can skip with a message.
E2E_MOUNTS=()
e2e_mount_tmpfs() { # folder options
    mkdir -p "$1"
    mount -t tmpfs -o "$2" velmora-e2e "$1" 2>/dev/null || return 1
    E2E_MOUNTS+=("$1")
    trap e2e_unmount_and_teardown EXIT
}

e2e_unmount_and_teardown() {
    local rc=$? m
    for m in "${E2E_MOUNTS[@]}"; do
        umount -l "$m" 2>/dev/null || e2e_log "cannot unmount $m"
    done
    E2E_MOUNTS=()
    (exit "$rc")
    e2e_teardown
}

# Maps a drive letter of the build's Wine prefix to a Unix folder for this test (as the prefix's
# own C: and Z: are mapped); the mapping goes again when the test ends. Fails when the letter
# is taken.
e2e_map_drive() { # letter folder
    local link
    link="$WINEPREFIX/dosdevices/$(printf '%s' "$1" | tr '[:upper:]' '[:lower:]'):"
    [ -e "$link" ] || [ -L "$link" ] && fail "drive $1: is taken in the Wine prefix"
    ln -s "$2" "$link" || fail "cannot map drive $1: to $2"
    e2e_on_exit "rm -f '$link'"
}

# Starts the program on a list of the entries with the given command-line target, sets the
# target edit and the depth when given, and presses OK. Leaves the main dialog in E2E_DLG.
e2e_link_run() { # command-line-target target-edit-or-empty depth-or-empty entry...
    local target="$1" edit="$2" depth="$3"
    shift 3
    e2e_list "$E2E_WORK/run.lst" "$@"
    e2e_open "$(e2e_winpath "$E2E_WORK/run.lst")" "$target"
    [ -z "$edit" ] || drv set "$E2E_DLG" $IDC_TARGET "$edit" >/dev/null || fail "cannot set the target"
    [ -z "$depth" ] || drv set "$E2E_DLG" $IDC_DEPTH "$depth" >/dev/null || fail "cannot set the depth"
    drv click "$E2E_DLG" $IDOK >/dev/null || fail "cannot press OK"
}

# The batch over the main dialog must end by itself with the exit code (default 0): fails at
# once, with the dialog's texts, when a prompt or a message box shows up instead - except, for
# exit code 2, the one summary of the skipped items, which is closed with Enter.
e2e_expect_end() { # dialog what [seconds] [exit-code]
    local i box summaries=0
    for ((i = 0; i < ${3:-30} * 10; i++)); do
        if ! kill -0 "$E2E_VELMORA_PID" 2>/dev/null; then
            e2e_wait_exit
            expect_eq "$E2E_EXIT_CODE" "${4:-0}" "$2: exit code"
            expect_eq "$summaries" "$([ "${4:-0}" == 2 ] && echo 1 || echo 0)" "$2: summaries shown"
            return
        fi
        box="$(drv windows | awk -F'\t' -v h="$1" '$5 == h { print $1; exit }')"
        if [ -n "$box" ]; then
            [ "${4:-0}" == 2 ] && [ $summaries -eq 0 ] ||
                fail "$2: unexpected dialog: $(drv owned "$1" | tr '\n' ' ')"
            summaries=1
            drv key "$box" Enter >/dev/null && drv waitgone "$box" 5000 >/dev/null ||
                fail "$2: the summary stays after Enter"
        fi
        sleep 0.1
    done
    fail "$2: the program still runs after ${3:-30} s"
}

# Waits for the error prompt over the main dialog, checks it (title, buttons, and the message
# made of the message line, the name and the system's text, escaped as e2e_error_text gives
# it) and prints its handle.
e2e_expect_prompt() { # dialog what message-line name system-text
    local name="${4//\\/\\\\}" prompt
    prompt="$(e2e_wait_owned "$1")"
    expect_eq "$(drv text "$prompt")" 'Ошибка' "$2: prompt title"
    expect_eq "$(drv controls "$prompt" | cut -f2,6 | tr '\t\n' '= ')" "$IDC_ERROR_TEXT=$3\\n$name\\n$5\
 $IDC_SKIP=&Пропустить $IDC_RETRY=Повтор&ить $IDC_SKIP_ALL=Пропустить &все $IDCANCEL=&Отмена " "$2: prompt"
    echo "$prompt"
}

# Answers a prompt with a button (its id), a key or its close box, and waits until it is gone.
e2e_answer() { # prompt id|Enter|Escape|Close
    case "$2" in
    Enter | Escape) drv key "$1" "$2" >/dev/null ;;
    Close) drv syscommand "$1" $SC_CLOSE >/dev/null ;;
    *) drv click "$1" "$2" >/dev/null ;;
    esac
    drv waitgone "$1" 5000 >/dev/null || fail "the prompt stays after $2"
}

# A hard link of the source: the same inode, and the link count the source should have now.
expect_hard_link() { # link source what [links]
    [ -f "$1" ] || fail "$3: no link $1"
    expect_eq "$(stat -c %i "$1")" "$(stat -c %i "$2")" "$3: inode of $1"
    expect_eq "$(stat -c %h "$2")" "${4:-2}" "$3: link count of $2"
}
