#!/bin/bash
# OK links folders: a mirror at depth 1 (files hard-linked, sub-folders get junctions), at -1
# (the whole tree, names ending in a blank included, no junction), a junction at depth 0, a mirror folder that cannot be made, and
# Cancel deep inside a mirror. Wine cannot set a mount point and answers "not supported" (50):
# that is the road of a junction failure, its prompt and the clean-up of the folder it made.
. "$(dirname "$0")/lib.sh"
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
mkdir -p "$data/Photos/2019/deep" "$data/Photos/2020" "$data/Photos/empty" "$links"
for f in a.jpg b.jpg .hidden 2019/x.jpg 2019/deep/y.jpg 2020/z.jpg; do
    printf 'picture %s\n' "$f" >"$data/Photos/$f"
done
# Two files whose names differ only by a blank at the end: each is mirrored as itself.
printf 'plain\n' >"$data/Photos/2019/a.txt"
printf 'with a blank\n' >"$data/Photos/2019/a.txt "
printf 'after\n' >"$data/after.txt"
wdata="$(e2e_winpath "$data")"
wlinks="$(e2e_winpath "$links")"
source_before="$(e2e_tree_snapshot "$data")"

FILE_ERROR='Ошибка при создании ссылки для файла'
JUNCTION_ERROR='Ошибка при создании ссылки для каталога'
FOLDER_ERROR='Ошибка при создании каталога'
NOT_SUPPORTED="$(e2e_error_text 50)"
ALREADY_EXISTS="$(e2e_error_text 183)"

# Structure of a tree with the inode of every file: a mirror of hard links lists the same.
tree_with_inodes() { # folder
    (cd "$1" && find . -mindepth 1 \( -type f -printf '%p file %i\n' \) -o -printf '%p %y\n') |
        LC_ALL=C sort
}

# Answers each junction prompt of a depth-1 mirror of Photos until none comes; prints the
# sub-folders they named, sorted. The first is answered with Skip, the second with Skip all,
# which must silence the rest.
skip_junction_prompts() {
    local n=0 name message names=() prompt
    while prompt="$(drv waitowned "$E2E_DLG" 3000)" && [ "$(drv text "$prompt")" == 'Ошибка' ]; do
        message="$(e2e_control_text "$prompt" $IDC_ERROR_TEXT)"
        name=""
        for f in 2019 2020 empty; do
            [[ "$message" == *"\\Photos\\\\$f\\n"* ]] && name="$f"
        done
        [ -n "$name" ] || fail "depth 1: unexpected prompt: $message"
        prompt="$(e2e_expect_prompt "$E2E_DLG" "depth 1, junction $name" "$JUNCTION_ERROR" \
            "$wlinks\\Photos\\$name" "$NOT_SUPPORTED")"
        # The folder the failed step made is gone before the prompt asks.
        [ -e "$links/Photos/$name" ] && fail "depth 1: $name is left while its prompt shows"
        n=$((n + 1))
        names+=("$name")
        [ "$n" -le 2 ] || fail "depth 1: a prompt after Skip all"
        if [ "$n" -eq 1 ]; then e2e_answer "$prompt" $IDC_SKIP; else e2e_answer "$prompt" $IDC_SKIP_ALL; fi
    done
    printf '%s\n' "${names[@]}" | LC_ALL=C sort | tr '\n' ' '
}

# Depth 1: the folder is mirrored, its files are hard links, every sub-folder's junction fails.
e2e_link_run "$wlinks\\" "" 1 "$wdata\\Photos\\"
asked="$(skip_junction_prompts)"
e2e_expect_end "$E2E_DLG" "depth 1" 30 2
[ "$(wc -w <<<"$asked")" -eq 2 ] || fail "depth 1: expected two junction prompts, got: $asked"
for f in a.jpg b.jpg .hidden; do
    expect_hard_link "$links/Photos/$f" "$data/Photos/$f" "depth 1"
done
expect_eq "$(ls -A "$links/Photos" | LC_ALL=C sort | tr '\n' ' ')" ".hidden a.jpg b.jpg " \
    "depth 1: the mirror holds the files only"
rm -rf "${links:?}"/*
expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "depth 1: source"

# Depth -1: the whole tree, hidden files and the empty folder included, without a prompt.
e2e_link_run "$wlinks\\" "" -1 "$wdata\\Photos\\"
e2e_expect_end "$E2E_DLG" "depth -1"
expect_eq "$(tree_with_inodes "$links/Photos")" "$(tree_with_inodes "$data/Photos")" \
    "depth -1: the mirror"
expect_eq "$(stat -c %h "$data/Photos/2019/deep/y.jpg")" 2 "depth -1: link count of y.jpg"
expect_hard_link "$links/Photos/2019/a.txt" "$data/Photos/2019/a.txt" "depth -1: a.txt"
expect_hard_link "$links/Photos/2019/a.txt " "$data/Photos/2019/a.txt " "depth -1: 'a.txt '"
rm -rf "${links:?}"/*
expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "depth -1: source"

# Depth 2: two levels of mirrors, junctions below them. Skip all answers the first junction
# prompt (2019\deep is the only folder at the third level).
e2e_link_run "$wlinks\\" "" 2 "$wdata\\Photos\\"
prompt="$(e2e_expect_prompt "$E2E_DLG" "depth 2" "$JUNCTION_ERROR" "$wlinks\\Photos\\2019\\deep" "$NOT_SUPPORTED")"
e2e_answer "$prompt" $IDC_SKIP_ALL
e2e_expect_end "$E2E_DLG" "depth 2" 30 2
expect_eq "$(tree_with_inodes "$links/Photos")" \
    "$(tree_with_inodes "$data/Photos" | grep -v '^./2019/deep')" "depth 2: the mirror"
rm -rf "${links:?}"/*

# A link in the source that leads back up the tree: the walk passes over the folder it is
# already in, and ends. (A target inside the selected folder is refused: test_links_refused.)
loops="$E2E_WORK/loops"
mkdir -p "$loops/a/b"
printf 'leaf\n' >"$loops/a/b/leaf.txt"
ln -s .. "$loops/a/b/up"
e2e_link_run "$wlinks\\" "" -1 "$(e2e_winpath "$loops/a")\\"
e2e_expect_end "$E2E_DLG" "a link back up the tree"
expect_hard_link "$links/a/b/leaf.txt" "$loops/a/b/leaf.txt" "back up the tree"
expect_eq "$(cd "$links" && find . | LC_ALL=C sort | tr '\n' ' ')" ". ./a ./a/b ./a/b/leaf.txt " \
    "back up the tree: what was made"
rm -rf "$loops" "${links:?}"/*

# Depth 0: a junction. The prompt names the junction and gives the system's reason; the folder
# the step made is removed, also after Retry.
e2e_link_run "$wlinks\\" "" 0 "$wdata\\Photos\\"
prompt="$(e2e_expect_prompt "$E2E_DLG" "depth 0" "$JUNCTION_ERROR" "$wlinks\\Photos" "$NOT_SUPPORTED")"
e2e_screenshot links-junction-prompt "$prompt"
[ -e "$links/Photos" ] && fail "depth 0: the folder made for the junction is left"
e2e_answer "$prompt" $IDC_RETRY
prompt="$(e2e_expect_prompt "$E2E_DLG" "depth 0, Retry" "$JUNCTION_ERROR" "$wlinks\\Photos" "$NOT_SUPPORTED")"
e2e_answer "$prompt" $IDC_SKIP
e2e_expect_end "$E2E_DLG" "depth 0" 30 2
expect_eq "$(ls -A "$links")" "" "depth 0: links folder after Skip"

# Skip all for files leaves the junction prompt in place: each kind has its own.
echo obstacle >"$links/after.txt"
e2e_link_run "$wlinks\\" "" 0 "$wdata\\after.txt" "$wdata\\Photos\\"
prompt="$(e2e_expect_prompt "$E2E_DLG" "Skip all files" "$FILE_ERROR" "$wdata\\after.txt" "$ALREADY_EXISTS")"
e2e_answer "$prompt" $IDC_SKIP_ALL
prompt="$(e2e_expect_prompt "$E2E_DLG" "junction after Skip all files" "$JUNCTION_ERROR" "$wlinks\\Photos" \
    "$NOT_SUPPORTED")"
e2e_answer "$prompt" $IDC_SKIP
e2e_expect_end "$E2E_DLG" "Skip all files, then a junction" 30 2
rm -rf "${links:?}"/*

# A folder that existed before at the junction's name stays, with what it holds.
mkdir "$links/Photos"
echo mine >"$links/Photos/own.txt"
e2e_link_run "$wlinks\\" "" 0 "$wdata\\Photos\\"
prompt="$(e2e_expect_prompt "$E2E_DLG" "depth 0, existing folder" "$JUNCTION_ERROR" "$wlinks\\Photos" "$NOT_SUPPORTED")"
e2e_answer "$prompt" $IDC_SKIP
e2e_expect_end "$E2E_DLG" "depth 0, existing folder" 30 2
expect_eq "$(ls -A "$links/Photos")" own.txt "depth 0: the existing folder after Skip"
expect_eq "$(cat "$links/Photos/own.txt")" mine "depth 0: the existing folder's file"
rm -rf "${links:?}"/*

# A mirror folder whose name is taken by a file: one folder prompt; Skip passes over the folder
# and everything below it, the rest of the tree is mirrored.
mkdir "$links/Photos"
echo obstacle >"$links/Photos/2020"
e2e_link_run "$wlinks\\" "" -1 "$wdata\\Photos\\"
prompt="$(e2e_expect_prompt "$E2E_DLG" "folder taken" "$FOLDER_ERROR" "$wlinks\\Photos\\2020" "$ALREADY_EXISTS")"
e2e_answer "$prompt" $IDC_SKIP
e2e_expect_end "$E2E_DLG" "folder taken" 30 2
expect_eq "$(cat "$links/Photos/2020")" obstacle "folder taken: the obstacle"
expect_hard_link "$links/Photos/2019/deep/y.jpg" "$data/Photos/2019/deep/y.jpg" "folder taken"
expect_eq "$(stat -c %h "$data/Photos/2020/z.jpg")" 1 "folder taken: z.jpg below it"
rm -rf "${links:?}"/*

# Retry after the obstacle is gone makes the folder and goes on below it.
mkdir "$links/Photos"
echo obstacle >"$links/Photos/2020"
e2e_link_run "$wlinks\\" "" -1 "$wdata\\Photos\\"
prompt="$(e2e_expect_prompt "$E2E_DLG" "folder taken, Retry" "$FOLDER_ERROR" "$wlinks\\Photos\\2020" "$ALREADY_EXISTS")"
rm "$links/Photos/2020"
e2e_answer "$prompt" $IDC_RETRY
e2e_expect_end "$E2E_DLG" "folder taken, Retry"
expect_eq "$(tree_with_inodes "$links/Photos")" "$(tree_with_inodes "$data/Photos")" \
    "folder taken, Retry: the mirror"
rm -rf "${links:?}"/*

# Cancel deep inside a mirror: nothing more is made after it, nothing is undone, no message
# follows, the list entry after the folder is not linked, and the program ends.
mkdir -p "$links/Photos/2019/deep"
echo obstacle >"$links/Photos/2019/deep/y.jpg"
e2e_link_run "$wlinks\\" "" -1 "$wdata\\Photos\\" "$wdata\\after.txt"
prompt="$(e2e_expect_prompt "$E2E_DLG" "Cancel deep" "$FILE_ERROR" "$wdata\\Photos\\2019\\deep\\y.jpg" "$ALREADY_EXISTS")"
made="$(e2e_tree_snapshot "$links")"
e2e_answer "$prompt" $IDCANCEL
e2e_expect_end "$E2E_DLG" "Cancel deep" 30 3
expect_same_tree "$made" "$(e2e_tree_snapshot "$links")" "Cancel deep: the links after Cancel"
[ -e "$links/after.txt" ] && fail "Cancel deep: the entry after the folder was linked"
expect_eq "$(cat "$links/Photos/2019/deep/y.jpg")" obstacle "Cancel deep: the obstacle"
rm -rf "${links:?}"/*

expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "source after every run"
e2e_pass
