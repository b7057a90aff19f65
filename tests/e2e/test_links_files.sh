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

# One file, the target edited to another name: the link carries the new name.
e2e_link_run "$wlinks\\" "$wlinks\\renamed.txt" "" "$wdata\\report.txt"
e2e_expect_end "$E2E_DLG" "renamed target"
expect_hard_link "$links/renamed.txt" "$data/report.txt" "renamed target"
expect_eq "$(ls "$links")" renamed.txt "renamed target: links folder"
rm -f "$links"/*
expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "renamed target: source"

# Several files and a name mask: every link gets the extension lnk.
e2e_link_run "$wlinks\\" "$wlinks\\*.lnk" "" \
    "$wdata\\report.txt" "$wdata\\notes.md" "$wdata\\photo.jpg"
e2e_expect_end "$E2E_DLG" "*.lnk"
expect_eq "$(ls "$links" | tr '\n' ' ')" "notes.lnk photo.lnk report.lnk " "*.lnk: links folder"
for f in report notes photo; do
    expect_hard_link "$links/$f.lnk" "$data/$f".* "*.lnk"
done
rm -f "$links"/*

# A target that names an existing folder without the backslash gets "\*.*"; a relative one is
# taken from each source's own folder.
e2e_link_run "$wlinks\\" "$wlinks" "" "$wdata\\report.txt" "$wdata\\notes.md"
e2e_expect_end "$E2E_DLG" "existing folder as target"
expect_hard_link "$links/report.txt" "$data/report.txt" "existing folder as target"
expect_hard_link "$links/notes.md" "$data/notes.md" "existing folder as target"
rm -f "$links"/*
e2e_link_run "$wlinks\\" '..\links\*.old' "" "$wdata\\report.txt"
e2e_expect_end "$E2E_DLG" "relative target"
expect_hard_link "$links/report.old" "$data/report.txt" "relative target"
rm -f "$links"/*

# Several entries and a target that names one link: refused with a message, nothing made.
e2e_link_run "$wlinks\\" "$wlinks\\all.txt" "" "$wdata\\report.txt" "$wdata\\notes.md"
box="$(e2e_wait_owned "$E2E_DLG")"
expect_eq "$(e2e_static_texts "$box" | tail -n1)" \
    'Нельзя создавать одну ссылку для нескольких объектов!' "one link for several: message"
drv key "$box" Enter >/dev/null
e2e_wait_exit
expect_eq "$E2E_EXIT_CODE" 4 "one link for several: exit code"
expect_eq "$(ls -A "$links")" "" "one link for several: links folder"

# Names outside the ANSI code page, from a UTF-8 list: the link has the same name.
printf 'отчёт\n' >"$data/отчёт №1.txt"
printf '\xEF\xBB\xBF%s\r\n' "$wdata\\отчёт №1.txt" >"$E2E_WORK/utf8.lst"
e2e_open "$(e2e_winpath "$E2E_WORK/utf8.lst")" "$wlinks\\"
drv click "$E2E_DLG" $IDOK >/dev/null
e2e_expect_end "$E2E_DLG" "UTF-8 name"
expect_hard_link "$links/отчёт №1.txt" "$data/отчёт №1.txt" "UTF-8 name"
rm -f "$links"/* "$data/отчёт №1.txt"

# Entries whose names end in a blank or a dot, beside namesakes without them: each entry is
# linked as itself, never its neighbour, and nothing beside them changes.
exact="$E2E_WORK/exact"
mkdir -p "$exact"
for f in 'b.txt' 'b.txt ' 'c.txt' 'c.txt.'; do printf '%s|\n' "$f" >"$exact/$f"; done
exact_before="$(e2e_tree_snapshot "$exact")"
wexact="$(e2e_winpath "$exact")"
e2e_link_run "$wlinks\\" "" "" "$wexact\\b.txt " "$wexact\\c.txt."
e2e_expect_end "$E2E_DLG" "names ending in a blank or a dot"
expect_hard_link "$links/b.txt " "$exact/b.txt " "name ending in a blank"
expect_hard_link "$links/c.txt." "$exact/c.txt." "name ending in a dot"
expect_eq "$(ls -A "$links" | LC_ALL=C sort | tr '\n' '|')" 'b.txt |c.txt.|' \
    "names ending in a blank or a dot: links folder"
expect_eq "$(stat -c %h "$exact/b.txt") $(stat -c %h "$exact/c.txt")" "1 1" \
    "names ending in a blank or a dot: the neighbours"
rm -f "$links"/*
expect_same_tree "$exact_before" "$(e2e_tree_snapshot "$exact")" "names ending in a blank or a dot"
rm -rf "$exact"

# A name that is taken: the prompt says so; Retry after the obstacle is gone makes the link.
echo obstacle >"$links/report.txt"
e2e_link_run "$wlinks\\" "" "" "$wdata\\report.txt"
prompt="$(e2e_expect_prompt "$E2E_DLG" "taken name" "$FILE_ERROR" "$wdata\\report.txt" "$ALREADY_EXISTS")"
e2e_screenshot links-error-prompt "$prompt"
expect_eq "$(drv enabled "$E2E_DLG")" 0 "taken name: the main dialog under the prompt"
expect_eq "$(cat "$links/report.txt")" obstacle "taken name: the obstacle under the prompt"
rm "$links/report.txt"
e2e_answer "$prompt" $IDC_RETRY
e2e_expect_end "$E2E_DLG" "Retry"
expect_hard_link "$links/report.txt" "$data/report.txt" "Retry"
rm -f "$links"/*

# Skip keeps the obstacle and goes on with the next entry; Enter is Skip.
for f in report.txt notes.md; do echo obstacle >"$links/$f"; done
e2e_link_run "$wlinks\\" "" "" "$wdata\\report.txt" "$wdata\\notes.md" "$wdata\\photo.jpg"
prompt="$(e2e_expect_prompt "$E2E_DLG" "Skip" "$FILE_ERROR" "$wdata\\report.txt" "$ALREADY_EXISTS")"
e2e_answer "$prompt" $IDC_SKIP
prompt="$(e2e_expect_prompt "$E2E_DLG" "Enter" "$FILE_ERROR" "$wdata\\notes.md" "$ALREADY_EXISTS")"
e2e_answer "$prompt" Enter
e2e_expect_end "$E2E_DLG" "Enter" 30 2
expect_eq "$(cat "$links/report.txt" "$links/notes.md")" $'obstacle\nobstacle' "Skip: obstacles"
expect_hard_link "$links/photo.jpg" "$data/photo.jpg" "after Skip"
rm -f "$links"/*

# Skip all: of three failing files only the first asks; the file after them is still linked.
for f in report.txt notes.md photo.jpg; do echo obstacle >"$links/$f"; done
printf 'more\n' >"$data/zz.txt"
e2e_link_run "$wlinks\\" "" "" \
    "$wdata\\report.txt" "$wdata\\notes.md" "$wdata\\photo.jpg" "$wdata\\zz.txt"
prompt="$(e2e_expect_prompt "$E2E_DLG" "Skip all" "$FILE_ERROR" "$wdata\\report.txt" "$ALREADY_EXISTS")"
e2e_answer "$prompt" $IDC_SKIP_ALL
e2e_expect_end "$E2E_DLG" "after Skip all" 30 2
expect_hard_link "$links/zz.txt" "$data/zz.txt" "after Skip all"
expect_eq "$(cat "$links"/{report.txt,notes.md,photo.jpg} | sort -u)" obstacle "Skip all: obstacles"
rm -f "$links"/* "$data/zz.txt"

# Escape is Cancel: the batch ends at once, no message, the entries after it are not linked,
# and what was made before stays.
echo obstacle >"$links/notes.md"
e2e_link_run "$wlinks\\" "" "" "$wdata\\report.txt" "$wdata\\notes.md" "$wdata\\photo.jpg"
prompt="$(e2e_expect_prompt "$E2E_DLG" "Escape" "$FILE_ERROR" "$wdata\\notes.md" "$ALREADY_EXISTS")"
e2e_answer "$prompt" Escape
e2e_expect_end "$E2E_DLG" "after Escape" 30 3
expect_hard_link "$links/report.txt" "$data/report.txt" "made before Escape"
[ -e "$links/photo.jpg" ] && fail "Escape: the entry after Cancel was linked"
rm -f "$links"/*

# The close box of the prompt is Cancel too.
echo obstacle >"$links/report.txt"
e2e_link_run "$wlinks\\" "" "" "$wdata\\report.txt" "$wdata\\notes.md"
prompt="$(e2e_expect_prompt "$E2E_DLG" "close box" "$FILE_ERROR" "$wdata\\report.txt" "$ALREADY_EXISTS")"
e2e_answer "$prompt" Close
e2e_expect_end "$E2E_DLG" "after the close box" 30 3
[ -e "$links/notes.md" ] && fail "close box: the entry after Cancel was linked"
rm -f "$links"/*

expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "source after every run"
e2e_pass
