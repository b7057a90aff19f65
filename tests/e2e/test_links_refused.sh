#!/bin/bash
# What the program refuses, on the real velmora.exe: a folder mirrored onto itself (both panels
# on one folder), an entry with ".." (nothing may land outside the target), and relative
# entries (a namesake in the current folder must not be linked), a drive's root in every form.
# The source is the same before and after every run.
. "$(dirname "$0")/lib.sh"
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
mkdir -p "$data/tree/sub" "$links"
printf 'one\n' >"$data/tree/one.txt"
printf 'two\n' >"$data/tree/sub/two.txt"
# Namesakes of the relative entries where the program starts and in its own folder.
for dir in "$E2E_WORK" "$E2E_APP"; do printf 'namesake\n' >"$dir/a.txt"; done
# A drive of the test's own, Y:, for the roots below.
mkdir -p "$E2E_WORK/drive"
printf 'on the drive\n' >"$E2E_WORK/drive/d.txt"
e2e_map_drive Y "$E2E_WORK/drive"
wdata="$(e2e_winpath "$data")"
wlinks="$(e2e_winpath "$links")"
source_before="$(e2e_tree_snapshot "$data")"
# Everything in the work folder but the target and the list: nothing there may change.
outside_target() {
    e2e_tree_snapshot "$E2E_WORK" | grep -v -e '^\./links' -e '^\./run\.lst' -e '^\./velmora\.log'
}
work_before="$(outside_target)"

FILE_ERROR='Ошибка при создании ссылки для файла'
FOLDER_ERROR='Ошибка при создании каталога'
MIRROR_IN_SOURCE='Каталог-зеркало совпал бы с исходным каталогом или лежал бы внутри него.'
NOT_FULL_PATH='Это не полный путь: неизвестно, какой файл или каталог имеется в виду.'

# Both panels on one folder: the selected folder's mirror would be the folder itself. One
# prompt for the folder, not one per file, and nothing in it is touched.
for depth in 1 -1; do
    e2e_link_run "$wdata\\" "" "$depth" "$wdata\\tree\\"
    prompt="$(e2e_expect_prompt "$E2E_DLG" "onto itself, depth $depth" "$FOLDER_ERROR" \
        "$wdata\\tree" "$MIRROR_IN_SOURCE")"
    [ "$depth" = 1 ] && e2e_screenshot links-refused-prompt "$prompt"
    e2e_answer "$prompt" $IDC_SKIP
    e2e_expect_end "$E2E_DLG" "onto itself, depth $depth" 30 2
    expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "onto itself, depth $depth"
done

# An entry with "..": the folder it names is mirrored under its own name inside the target.
e2e_link_run "$wlinks\\" "" -1 "$wdata\\tree\\sub\\..\\"
e2e_expect_end "$E2E_DLG" "the .. entry"
expect_hard_link "$links/tree/one.txt" "$data/tree/one.txt" "the .. entry"
expect_hard_link "$links/tree/sub/two.txt" "$data/tree/sub/two.txt" "the .. entry"
expect_eq "$(ls -A "$links")" tree "the .. entry: the target holds"
rm -rf "${links:?}"/*
expect_same_tree "$work_before" "$(outside_target)" "the .. entry: outside the target"

# Relative and drive-relative entries name no definite file: each is refused, nothing linked.
e2e_link_run "$wlinks\\" "" "" 'a.txt' 'Z:a.txt'
prompt="$(e2e_expect_prompt "$E2E_DLG" "relative entry" "$FILE_ERROR" 'a.txt' "$NOT_FULL_PATH")"
e2e_answer "$prompt" $IDC_SKIP
prompt="$(e2e_expect_prompt "$E2E_DLG" "drive-relative entry" "$FILE_ERROR" 'Z:a.txt' \
    "$NOT_FULL_PATH")"
e2e_answer "$prompt" $IDC_SKIP
e2e_expect_end "$E2E_DLG" "relative entries" 30 2
expect_eq "$(ls -A "$links")" "" "relative entries: the target holds"
expect_same_tree "$work_before" "$(outside_target)" "relative entries: the namesakes"

# A drive's root in every form has no name for a mirror folder: refused as a root, named as
# it was given, and nothing is made.
ROOT_ENTRY='Это корневой каталог: у него нет имени, которое могла бы получить ссылка.'
roots=('\\?\Y:\' '\\.\Y:\' 'Y:\' 'Y:/')
e2e_link_run "$wlinks\\" "" 1 "${roots[@]}"
for root in "${roots[@]}"; do
    prompt="$(e2e_expect_prompt "$E2E_DLG" "root $root" "$FOLDER_ERROR" "$root" "$ROOT_ENTRY")"
    e2e_answer "$prompt" $IDC_SKIP
done
e2e_expect_end "$E2E_DLG" "roots" 30 2
expect_eq "$(ls -A "$links")" "" "roots: the target holds"
expect_same_tree "$work_before" "$(outside_target)" "roots: outside the target"

expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "source after every run"
e2e_pass
