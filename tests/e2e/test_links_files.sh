#!/bin/bash
# OK links files: a renamed target, a name mask for several files, and the error prompt for a
# name that is taken (its message, Retry, Skip, Skip all, Enter and Escape). Results are read
# from the Linux side: a link is the source's inode with a link count of 2.
. "$(dirname "$0")/lib.sh"
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
mkdir -p "$data" "$links"
for f in report.txt notes.md photo.jpg; do
    printf 'contents of %s\n' "$f" >"$data/$f"
done
wdata="$(e2e_winpath "$data")"
wlinks="$(e2e_winpath "$links")"
source_before="$(e2e_tree_snapshot "$data")"

FILE_ERROR='Ошибка при создании ссылки для файла'
ALREADY_EXISTS="$(e2e_error_text 183)"

# Starts the program on a list of the entries and the links folder as its target, sets the
# target edit when a target is given, and presses OK. Leaves the main dialog in $dlg.
run_ok() { # target-or-empty entry...
    local target="$1"
    shift
    e2e_list "$E2E_WORK/run.lst" "$@"
    e2e_start "$(e2e_winpath "$E2E_WORK/run.lst")" "$wlinks\\"
    dlg="$(e2e_wait_window "Velmora 1.1")"
    [ -z "$target" ] || drv set "$dlg" 1009 "$target" >/dev/null || fail "cannot set the target"
    drv click "$dlg" 1 >/dev/null || fail "cannot press OK"
}

# The batch must end by itself: fails at once, with its message, if a prompt or a message box
# shows up instead.
expect_end_without_prompt() { # what
    local i owned
    for ((i = 0; i < 300; i++)); do
        if ! kill -0 "$E2E_VELMORA_PID" 2>/dev/null; then
            e2e_wait_exit
            expect_eq "$E2E_EXIT_CODE" 0 "$1: exit code"
            return
        fi
        if drv windows | awk -F'\t' -v h="$dlg" '$5 == h { found = 1 } END { exit !found }'; then
            fail "$1: unexpected dialog: $(drv owned "$dlg" | tr '\n' ' ')"
        fi
        sleep 0.1
    done
    fail "$1: the program still runs after 30 s"
}

# Waits for the error prompt and checks it: title, buttons, and the message made of the
# message line, the name and the system's text for the error. Leaves it in $prompt.
expect_prompt() { # what message-line name system-text
    local name="${3//\\/\\\\}"
    prompt="$(e2e_wait_owned "$dlg")"
    expect_eq "$(drv text "$prompt")" 'Ошибка' "$1: prompt title"
    expect_eq "$(e2e_control_text "$prompt" 1016)" '&Пропустить' "$1: Skip button"
    expect_eq "$(e2e_control_text "$prompt" 1017)" 'Повтор&ить' "$1: Retry button"
    expect_eq "$(e2e_control_text "$prompt" 1018)" 'Пропустить &все' "$1: Skip all button"
    expect_eq "$(e2e_control_text "$prompt" 2)" '&Отмена' "$1: Cancel button"
    expect_eq "$(e2e_control_text "$prompt" 1015)" "$2\\n$name\\n$4" "$1: prompt message"
}

answer() { # button-id-or-key
    case "$1" in
    Enter | Escape) drv key "$prompt" "$1" >/dev/null ;;
    *) drv click "$prompt" "$1" >/dev/null ;;
    esac
    drv waitgone "$prompt" 5000 >/dev/null || fail "the prompt stays after $1"
}

# A hard link of the source: the same inode and two names for it.
expect_link() { # link source what
    [ -f "$1" ] || fail "$3: no link $1"
    expect_eq "$(stat -c %i "$1")" "$(stat -c %i "$2")" "$3: inode of $1"
    expect_eq "$(stat -c %h "$2")" 2 "$3: link count of $2"
}

# One file, the target edited to another name: the link carries the new name.
run_ok "$wlinks\\renamed.txt" "$wdata\\report.txt"
expect_end_without_prompt "renamed target"
expect_link "$links/renamed.txt" "$data/report.txt" "renamed target"
expect_eq "$(ls "$links")" renamed.txt "renamed target: links folder"
rm -f "$links"/*
expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "renamed target: source"

# Several files and a name mask: every link gets the extension lnk.
run_ok "$wlinks\\*.lnk" "$wdata\\report.txt" "$wdata\\notes.md" "$wdata\\photo.jpg"
expect_end_without_prompt "*.lnk"
expect_eq "$(ls "$links" | tr '\n' ' ')" "notes.lnk photo.lnk report.lnk " "*.lnk: links folder"
for f in report notes photo; do
    expect_link "$links/$f.lnk" "$data/$f".* "*.lnk"
done
rm -f "$links"/*

# A name that is taken: the prompt says so; Retry after the obstacle is gone makes the link.
echo obstacle >"$links/report.txt"
run_ok "" "$wdata\\report.txt"
expect_prompt "taken name" "$FILE_ERROR" "$wdata\\report.txt" "$ALREADY_EXISTS"
e2e_screenshot links-error-prompt "$prompt"
expect_eq "$(cat "$links/report.txt")" obstacle "taken name: the obstacle under the prompt"
rm "$links/report.txt"
answer 1017
expect_end_without_prompt "Retry"
expect_link "$links/report.txt" "$data/report.txt" "Retry"
rm -f "$links"/*

# Skip keeps the obstacle and goes on with the next entry; Enter is Skip.
for f in report.txt notes.md; do echo obstacle >"$links/$f"; done
run_ok "" "$wdata\\report.txt" "$wdata\\notes.md" "$wdata\\photo.jpg"
expect_prompt "Skip" "$FILE_ERROR" "$wdata\\report.txt" "$ALREADY_EXISTS"
answer 1016
expect_prompt "Enter" "$FILE_ERROR" "$wdata\\notes.md" "$ALREADY_EXISTS"
answer Enter
expect_end_without_prompt "Enter"
expect_eq "$(cat "$links/report.txt" "$links/notes.md")" $'obstacle\nobstacle' "Skip: obstacles"
expect_link "$links/photo.jpg" "$data/photo.jpg" "after Skip"
rm -f "$links"/*

# Skip all: of three failing files only the first asks; the file after them is still linked.
for f in report.txt notes.md photo.jpg; do echo obstacle >"$links/$f"; done
printf 'more\n' >"$data/zz.txt"
run_ok "" "$wdata\\report.txt" "$wdata\\notes.md" "$wdata\\photo.jpg" "$wdata\\zz.txt"
expect_prompt "Skip all" "$FILE_ERROR" "$wdata\\report.txt" "$ALREADY_EXISTS"
answer 1018
expect_end_without_prompt "after Skip all"
expect_link "$links/zz.txt" "$data/zz.txt" "after Skip all"
expect_eq "$(cat "$links"/{report.txt,notes.md,photo.jpg} | sort -u)" obstacle "Skip all: obstacles"
rm -f "$links"/* "$data/zz.txt"

# Escape is Cancel: the batch ends at once, no message, the entries after it are not linked,
# and what was made before stays.
echo obstacle >"$links/notes.md"
run_ok "" "$wdata\\report.txt" "$wdata\\notes.md" "$wdata\\photo.jpg"
expect_prompt "Escape" "$FILE_ERROR" "$wdata\\notes.md" "$ALREADY_EXISTS"
answer Escape
expect_end_without_prompt "after Escape"
expect_link "$links/report.txt" "$data/report.txt" "made before Escape"
[ -e "$links/photo.jpg" ] && fail "Escape: the entry after Cancel was linked"
rm -f "$links"/*

# The close box of the prompt is Cancel too.
echo obstacle >"$links/report.txt"
run_ok "" "$wdata\\report.txt" "$wdata\\notes.md"
expect_prompt "close box" "$FILE_ERROR" "$wdata\\report.txt" "$ALREADY_EXISTS"
drv syscommand "$prompt" 0xF060 >/dev/null
expect_end_without_prompt "after the close box"
[ -e "$links/notes.md" ] && fail "close box: the entry after Cancel was linked"
rm -f "$links"/*

expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "source after every run"
e2e_pass
