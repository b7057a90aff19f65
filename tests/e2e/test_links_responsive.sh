#!/bin/bash
# A long mirror keeps the main dialog alive: after a moment the fields and the other buttons
# are disabled, the labels tell what is being linked and how much is made, and the counts move
# while the batch runs. Cancel, Escape and the close box each stop the batch: the program ends
# by itself without a message, the partial mirror holds only hard links of the same-named
# source files, and the source tree is as it was apart from the link counts of what was linked.
# A whole mirror of the tree takes about 20 s under Wine, longer on a busy machine.
: "${E2E_TIMEOUT:=180}"
. "$(dirname "$0")/lib.sh"
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
# 300 folders of 100 files: long enough under Wine to be stopped midway.
: "${RESPONSIVE_FOLDERS:=20}"
: "${RESPONSIVE_SUBFOLDERS:=15}"
for ((d = 0; d < RESPONSIVE_FOLDERS; d++)); do
    for ((s = 0; s < RESPONSIVE_SUBFOLDERS; s++)); do
        dir="$data/Tree/d$d/s$s"
        mkdir -p "$dir"
        (cd "$dir" && touch f{00..99}.dat && printf 'content %s\n' "$dir" >f00.dat)
    done
done
mkdir -p "$links"
wdata="$(e2e_winpath "$data")"
wlinks="$(e2e_winpath "$links")"
source_files="$(find "$data" -type f | wc -l)"

# Relative path, type and size of every entry: what the run must not change.
tree_shape() { # folder
    (cd "$1" && find . -mindepth 1 -printf '%p\t%y\t%s\n') | LC_ALL=C sort
}
source_shape="$(tree_shape "$data")"
[ "$(find "$data" -type f -links +1 | wc -l)" -eq 0 ] || fail "the source has linked files before the run"

# Label 1010 reads "<words> N, <words> M" once the batch shows its counts; prints "N M".
counts_of() { # label-text
    sed -En 's/^[^0-9]*([0-9]+)[^0-9]+([0-9]+)$/\1 \2/p' <<<"$1"
}

# Waits until the dialog shows the running batch.
wait_busy() { # dialog what entry-prefix
    local i entry_text
    for ((i = 0; i < 200; i++)); do
        entry_text="$(drv text "$1" $IDC_CAPTION)"
        if [[ "$entry_text" == "$3"* ]] && [ "$(drv enabled "$1" $IDC_TARGET)" == 0 ]; then
            return 0
        fi
        kill -0 "$E2E_VELMORA_PID" 2>/dev/null || fail "$2: the batch ended before it showed itself"
        sleep 0.05
    done
    fail "$2: the dialog never showed the running batch (caption: '$entry_text')"
}

# While the batch runs: only Cancel is enabled, and the counts grow between two looks (the
# dialog answers and repaints).
expect_running_dialog() { # dialog what counts-prefix
    local id first second
    for id in $IDC_TARGET $IDC_DEPTH $IDC_DEPTH_SPIN $IDOK $IDC_SETTINGS $IDC_HELP_BUTTON; do
        expect_eq "$(drv enabled "$1" "$id")" 0 "$2: control $id while the batch runs"
    done
    expect_eq "$(drv enabled "$1" $IDCANCEL)" 1 "$2: Cancel while the batch runs"
    first="$(counts_of "$(drv text "$1" $IDC_DEPTH_LABEL)")"
    sleep 0.5
    second="$(counts_of "$(drv text "$1" $IDC_DEPTH_LABEL)")"
    [ -n "$first" ] && [ -n "$second" ] || fail "$2: no counts in the count label: '$(drv text "$1" $IDC_DEPTH_LABEL)'"
    [[ "$(drv text "$1" $IDC_DEPTH_LABEL)" == "$3"* ]] || fail "$2: the count label reads '$(drv text "$1" $IDC_DEPTH_LABEL)'"
    [ "${first%% *}" -lt "${second%% *}" ] || fail "$2: the link count did not move: $first, then $second"
}

# The partial mirror: every file is a hard link of the same-named source file, every folder
# has its source folder, nothing else is there; fewer files than the source holds. The source
# keeps its names and sizes, and exactly the linked files have a second link.
expect_consistent_partial_mirror() { # what
    local mirror="$links/Tree" made linked wrong
    [ -d "$mirror" ] || fail "$1: no mirror folder was made"
    wrong="$(awk -F'\t' 'NR == FNR { source[$1] = $2 " " $3; next }
        $2 == "f" && source[$1] != "f " $3 { print $1 ": no hard link of its source"; next }
        $2 == "d" && substr(source[$1], 1, 1) != "d" { print $1 ": a folder without source"; next }
        $2 != "f" && $2 != "d" { print $1 ": of type " $2 }' \
        <(cd "$data/Tree" && find . -mindepth 1 -printf '%P\t%y\t%i\n') \
        <(cd "$mirror" && find . -mindepth 1 -printf '%P\t%y\t%i\n') | head -5)"
    [ -z "$wrong" ] || fail "$1: in the mirror: $wrong"
    made="$(find "$mirror" -type f | wc -l)"
    linked="$(find "$data" -type f -links 2 | wc -l)"
    expect_eq "$linked" "$made" "$1: source files with a second link"
    [ "$(find "$data" -type f -links +2 | wc -l)" -eq 0 ] || fail "$1: a source file has more than two links"
    [ "$made" -gt 0 ] || fail "$1: nothing was linked before the stop"
    [ "$made" -lt "$source_files" ] || fail "$1: all $made files were linked: the batch was not stopped"
    expect_eq "$(tree_shape "$data")" "$source_shape" "$1: names and sizes of the source"
    e2e_log "$1: $made of $source_files files linked before the stop"
}

# Starts the mirror of the tree at depth -1 (with the settings in an INI file, when one is
# given), waits until the dialog shows the running batch and checks it, then stops the batch
# with `how` and checks what it leaves.
mirror_and_stop() { # what ini-or-empty entry-prefix counts-prefix driver-command (DLG: the dialog)
    local what="$1" ini="$2" entry_prefix="$3" counts_prefix="$4" stopped how
    shift 4
    rm -rf "${links:?}/Tree"
    e2e_list "$E2E_WORK/run.lst" "$wdata\\Tree\\"
    e2e_open "$(e2e_winpath "$E2E_WORK/run.lst")" "$wlinks\\" ${ini:+"/i=$ini"}
    drv set "$E2E_DLG" $IDC_DEPTH -1 >/dev/null || fail "$what: cannot set the depth"
    drv click "$E2E_DLG" $IDOK >/dev/null || fail "$what: cannot press OK"
    wait_busy "$E2E_DLG" "$what" "$entry_prefix"
    expect_running_dialog "$E2E_DLG" "$what" "$counts_prefix"
    expect_eq "$(drv focus "$E2E_DLG")" "$IDCANCEL" "$what: the focus while the batch runs"
    e2e_screenshot "responsive_$what" "$E2E_DLG"
    how=("${@/#DLG/$E2E_DLG}")
    drv "${how[@]}" >/dev/null || fail "$what: drv ${how[*]} failed"
    stopped=$EPOCHREALTIME
    e2e_expect_end "$E2E_DLG" "$what" 15 3
    e2e_log "$what: the program ended $(awk -v a="$stopped" -v b="$EPOCHREALTIME" \
        'BEGIN { printf "%.2f", b - a }') s after it was asked to stop"
    expect_consistent_partial_mirror "$what"
}

printf '[Settings]\r\nLanguageFile=English.lng\r\n' >"$E2E_APP/english.ini"
mirror_and_stop Cancel "" 'Обрабатывается: ' 'Создано ссылок: ' click DLG $IDCANCEL
mirror_and_stop Escape english.ini 'Processing: ' 'Links created: ' key DLG Escape
# The close box and Alt+F4 both arrive as the system command SC_CLOSE.
mirror_and_stop Close "" 'Обрабатывается: ' 'Создано ссылок: ' syscommand DLG $SC_CLOSE

# The prompt still works over the running batch: once the dialog shows it, a file is put in
# the way in every mirror folder not made yet (created exclusively, so that nothing linked
# already is ever written to); the first one reached asks, Skip all lets the batch go on, and
# Cancel then stops it.
rm -rf "${links:?}/Tree"
e2e_list "$E2E_WORK/run.lst" "$wdata\\Tree\\"
e2e_open "$(e2e_winpath "$E2E_WORK/run.lst")" "$wlinks\\"
drv set "$E2E_DLG" $IDC_DEPTH -1 >/dev/null || fail "prompt: cannot set the depth"
drv click "$E2E_DLG" $IDOK >/dev/null || fail "prompt: cannot press OK"
wait_busy "$E2E_DLG" "prompt" 'Обрабатывается: '
obstacles=()
for ((d = 0; d < RESPONSIVE_FOLDERS; d++)); do
    for ((s = 0; s < RESPONSIVE_SUBFOLDERS; s++)); do
        dir="$links/Tree/d$d/s$s"
        [ -d "$dir" ] && continue
        mkdir -p "$dir" && (set -C && printf 'in the way\n' >"$dir/f50.dat") 2>/dev/null &&
            obstacles+=("$dir/f50.dat")
    done
done
[ "${#obstacles[@]}" -gt 0 ] || fail "prompt: the batch made every folder before it could be stopped"
prompt="$(e2e_wait_owned "$E2E_DLG" 120000)"
expect_eq "$(drv text "$prompt")" 'Ошибка' "prompt: title"
expect_contains "$(e2e_control_text "$prompt" $IDC_ERROR_TEXT)" 'f50.dat' "prompt: the file in the way"
expect_eq "$(drv enabled "$E2E_DLG" $IDC_TARGET)" 0 "prompt: the target edit while the prompt asks"
e2e_screenshot responsive_prompt
e2e_answer "$prompt" $IDC_SKIP_ALL
expect_running_dialog "$E2E_DLG" "prompt" 'Создано ссылок: '
drv click "$E2E_DLG" $IDCANCEL >/dev/null || fail "prompt: cannot press Cancel"
e2e_expect_end "$E2E_DLG" "prompt" 15 3
for obstacle in "${obstacles[@]}"; do
    [ "$(cat "$obstacle")" == 'in the way' ] || fail "prompt: $obstacle was changed"
    [ "$(stat -c %h "$obstacle")" -eq 1 ] || fail "prompt: $obstacle was linked"
    rm "$obstacle"
done
expect_consistent_partial_mirror "prompt"

e2e_pass
