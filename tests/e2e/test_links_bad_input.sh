#!/bin/bash
# Links where the file system says no: a read-only target, a full disk, a target on another
# volume or drive (one prompt per entry, nothing left there), entries and targets that name
# nothing. Each failure ends in the prompt with the reason and nothing in the source changes. Names longer than 260 characters work.
# Read-only and full volumes are small tmpfs mounts of the test's own (root runs Wine here, and
# root ignores a folder's mode bits).
. "$(dirname "$0")/lib.sh"
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
mkdir -p "$data/dir" "$links"
printf 'first\n' >"$data/f.txt"
printf 'second\n' >"$data/dir/g.txt"
wdata="$(e2e_winpath "$data")"
wlinks="$(e2e_winpath "$links")"
source_before="$(e2e_tree_snapshot "$data")"

FILE_ERROR='Ошибка при создании ссылки для файла'
JUNCTION_ERROR='Ошибка при создании ссылки для каталога'
FOLDER_ERROR='Ошибка при создании каталога'
READ_ERROR='Ошибка при чтении каталога'

# Answers every prompt still to come with Skip; for a run whose remaining prompts the test
# does not look at.
skip_the_rest() { # dialog
    local prompt
    while prompt="$(drv waitowned "$1" 2000)"; do
        e2e_answer "$prompt" $IDC_SKIP
    done
}

# ---- read-only target --------------------------------------------------------------------------
ro="$E2E_WORK/ro"
mkdir -p "$E2E_WORK/modes"
chmod 555 "$E2E_WORK/modes"
if ! touch "$E2E_WORK/modes/probe" 2>/dev/null; then
    e2e_log "mode bits are honoured: a read-only folder is a mode-555 folder"
    mkdir -p "$ro/data/dir" "$ro/links"
    printf 'x\n' >"$ro/data/f.txt"
    chmod 555 "$ro/links"
    ro_ready=1
elif e2e_mount_tmpfs "$ro" size=1m; then
    mkdir -p "$ro/data/dir" "$ro/links"
    printf 'x\n' >"$ro/data/f.txt"
    mount -o remount,ro "$ro" || fail "cannot make the tmpfs read-only"
    ro_ready=1
else
    e2e_skip "read-only target: root ignores mode bits and mounting is not permitted"
    ro_ready=0
fi
if [ "$ro_ready" = 1 ]; then
    wro="$(e2e_winpath "$ro")"
    ro_before="$(e2e_tree_snapshot "$ro")"
    ACCESS_DENIED="$(e2e_error_text 5)"
    e2e_link_run "$wro\\links\\" "" 1 "$wro\\data\\f.txt" "$wro\\data\\dir\\"
    prompt="$(e2e_expect_prompt "$E2E_DLG" "read-only, file" "$FILE_ERROR" "$wro\\data\\f.txt" "$ACCESS_DENIED")"
    e2e_screenshot links-read-only-prompt "$prompt"
    e2e_answer "$prompt" $IDC_SKIP
    prompt="$(e2e_expect_prompt "$E2E_DLG" "read-only, mirror" "$FOLDER_ERROR" "$wro\\links\\dir" "$ACCESS_DENIED")"
    e2e_answer "$prompt" $IDC_SKIP
    e2e_expect_end "$E2E_DLG" "read-only" 30 2
    e2e_link_run "$wro\\links\\" "" 0 "$wro\\data\\dir\\"
    prompt="$(e2e_expect_prompt "$E2E_DLG" "read-only, junction" "$JUNCTION_ERROR" "$wro\\links\\dir" "$ACCESS_DENIED")"
    e2e_answer "$prompt" $IDC_SKIP
    e2e_expect_end "$E2E_DLG" "read-only, junction" 30 2
    expect_same_tree "$ro_before" "$(e2e_tree_snapshot "$ro")" "read-only volume"
fi
chmod 755 "$E2E_WORK/modes"

# ---- full disk ---------------------------------------------------------------------------------
# A tmpfs out of inodes and blocks: a hard link needs an inode there, so it fails with "disk
# full"; after one file is removed, Retry makes the link.
full="$E2E_WORK/full"
if e2e_mount_tmpfs "$full" size=64k,nr_inodes=16; then
    mkdir -p "$full/data/sub" "$full/links"
    printf 'precious\n' >"$full/data/f.txt"
    printf 'precious too\n' >"$full/data/sub/g.txt"
    head -c 1M /dev/zero >"$full/big" 2>/dev/null
    n=0
    while : 2>/dev/null >"$full/fill$n"; do n=$((n + 1)); done
    [ -e "$full/fill0" ] || fail "full disk: the tmpfs has no room for even one filler"
    full_before="$(e2e_tree_snapshot "$full/data")"
    DISK_FULL="$(e2e_error_text 112)"
    wfull="$(e2e_winpath "$full")"
    e2e_link_run "$wfull\\links\\" "" -1 "$wfull\\data\\f.txt" "$wfull\\data\\sub\\"
    prompt="$(e2e_expect_prompt "$E2E_DLG" "full disk, file" "$FILE_ERROR" "$wfull\\data\\f.txt" "$DISK_FULL")"
    rm "$full/fill0"
    e2e_answer "$prompt" $IDC_RETRY
    prompt="$(e2e_expect_prompt "$E2E_DLG" "full disk, mirror" "$FOLDER_ERROR" "$wfull\\links\\sub" "$DISK_FULL")"
    e2e_answer "$prompt" $IDC_SKIP
    e2e_expect_end "$E2E_DLG" "full disk" 30 2
    expect_hard_link "$full/links/f.txt" "$full/data/f.txt" "full disk, Retry"
    rm "$full/links/f.txt"
    expect_same_tree "$full_before" "$(e2e_tree_snapshot "$full/data")" "full disk: source"
    expect_eq "$(ls -A "$full/links")" "" "full disk: links folder"
else
    e2e_skip "full disk: mounting a tmpfs is not permitted"
fi

# ---- another volume ----------------------------------------------------------------------------
# Hard links cannot leave their file system: each entry costs one prompt, whose reason names
# both drives (both folders, where the drives' names agree), and nothing is left in the target
# for it - told before anything is made, or, where the volumes look alike, by the first link's
# "not same device".
other_drive() { # source target (texts read back from the window escape a backslash)
    printf 'Жёсткая ссылка не может вести на другой диск: файлы лежат на %s, а цель — на %s. Выберите цель на том же диске или глубину рекурсии 0 (точка соединения).' "${1//\\/\\\\}" "${2//\\/\\\\}"
}
other="$E2E_WORK/other"
if e2e_mount_tmpfs "$other" size=1m; then
    wother="$(e2e_winpath "$other")"
    e2e_link_run "$wother\\" "" 1 "$wdata\\f.txt" "$wdata\\dir\\"
    prompt="$(e2e_expect_prompt "$E2E_DLG" "other volume, file" "$FILE_ERROR" "$wdata\\f.txt" "$(other_drive "$wdata" "$wother")")"
    e2e_answer "$prompt" $IDC_SKIP
    prompt="$(e2e_expect_prompt "$E2E_DLG" "other volume, mirror" "$FOLDER_ERROR" "$wother\\dir" "$(other_drive "$wdata\\dir" "$wother\\dir")")"
    e2e_answer "$prompt" $IDC_SKIP
    e2e_expect_end "$E2E_DLG" "other volume" 30 2
    expect_eq "$(cd "$other" && find . | LC_ALL=C sort | tr '\n' ' ')" ". " "other volume: what was made"

    # Two file systems of one size (two such tmpfs) look alike: the mirror's first link says
    # "not same device", and the folders the mirror made go again.
    alike="$E2E_WORK/alike"
    e2e_mount_tmpfs "$alike" size=1m || fail "cannot mount a second tmpfs"
    mkdir -p "$alike/tree/sub"
    printf 'below\n' >"$alike/tree/sub/h.txt"
    alike_before="$(e2e_tree_snapshot "$alike")"
    e2e_link_run "$wother\\" "" -1 "$(e2e_winpath "$alike/tree")\\"
    prompt="$(e2e_expect_prompt "$E2E_DLG" "alike volume, mirror" "$FOLDER_ERROR" "$wother\\tree" "$(other_drive "$(e2e_winpath "$alike/tree/sub")" "$wother\\tree\\sub")")"
    expect_eq "$(cd "$other" && find . | LC_ALL=C sort | tr '\n' ' ')" ". " "alike volume: left under the prompt"
    e2e_answer "$prompt" $IDC_SKIP
    e2e_expect_end "$E2E_DLG" "alike volume" 30 2
    expect_eq "$(cd "$other" && find . | LC_ALL=C sort | tr '\n' ' ')" ". " "alike volume: what was made"
    expect_same_tree "$alike_before" "$(e2e_tree_snapshot "$alike")" "alike volume: source"
else
    e2e_skip "another volume: mounting a tmpfs is not permitted"
fi

# A drive letter of its own on another file system (/dev/shm): the whole mirror, one prompt.
if shm="$(mktemp -d /dev/shm/velmora-e2e.XXXXXX 2>/dev/null)"; then
    e2e_on_exit "rm -rf '$shm'"
    e2e_map_drive Y "$shm"
    mkdir -p "$data/dir/sub"
    printf 'third\n' >"$data/dir/sub/h.txt"
    e2e_link_run 'Y:\' "" -1 "$wdata\\dir\\"
    prompt="$(e2e_expect_prompt "$E2E_DLG" "other drive, mirror" "$FOLDER_ERROR" 'Y:\dir' "$(other_drive Z: Y:)")"
    e2e_screenshot links-other-drive-prompt "$prompt"
    e2e_answer "$prompt" $IDC_SKIP
    e2e_expect_end "$E2E_DLG" "other drive" 30 2
    expect_eq "$(ls -A "$shm")" "" "other drive: what was made"
    rm -r "$data/dir/sub"
else
    e2e_log "SKIPPED another drive: no /dev/shm"
fi
expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "source after the volumes"

# ---- the link limit ----------------------------------------------------------------------------
# A file with as many names as its file system allows (65000 on ext4, 1023 on NTFS): the next
# link fails in the prompt with the system's reason, whatever the system calls it.
many="$E2E_WORK/many"
mkdir -p "$many/names"
printf 'popular\n' >"$many/popular.txt"
if perl -e 'my $i = 1; $i++ while $i <= 70000 && link($ARGV[0], "$ARGV[1]/$i"); exit !$!{EMLINK}' \
    "$many/popular.txt" "$many/names"; then
    limit="$(stat -c %h "$many/popular.txt")"
    e2e_link_run "$wlinks\\" "" "" "$(e2e_winpath "$many/popular.txt")"
    prompt="$(e2e_wait_owned "$E2E_DLG")"
    message="$(e2e_control_text "$prompt" $IDC_ERROR_TEXT)"
    expect_eq "${message%%\\n*}" "$FILE_ERROR" "link limit: message line"
    [[ "$message" =~ popular\.txt\\n.+\\r\\n$ ]] || fail "link limit: no reason in '$message'"
    e2e_answer "$prompt" $IDC_SKIP
    e2e_expect_end "$E2E_DLG" "link limit" 30 2
    expect_eq "$(stat -c %h "$many/popular.txt")" "$limit" "link limit: links of the file"
    expect_eq "$(cat "$many/popular.txt")" popular "link limit: the file's bytes"
    [ -e "$links/popular.txt" ] && fail "link limit: a link was made"
else
    e2e_skip "link limit: the work folder's file system has no limit below 70000 links"
fi
rm -rf "$many"

# ---- names that name nothing -------------------------------------------------------------------
e2e_link_run "$wlinks\\" "" -1 "$wdata\\missing.txt" "$wdata\\nowhere\\x.txt" "" \
    "$wdata\\f.txt" "$wdata\\nothing\\"
prompt="$(e2e_expect_prompt "$E2E_DLG" "missing file" "$FILE_ERROR" "$wdata\\missing.txt" "$(e2e_error_text 2)")"
e2e_answer "$prompt" $IDC_SKIP
PATH_NOT_FOUND="$(e2e_error_text 3)"
prompt="$(e2e_expect_prompt "$E2E_DLG" "missing folder" "$FILE_ERROR" "$wdata\\nowhere\\x.txt" "$PATH_NOT_FOUND")"
e2e_answer "$prompt" $IDC_SKIP
# An empty line is no full path: refused with the program's own reason.
prompt="$(e2e_expect_prompt "$E2E_DLG" "empty entry" "$FILE_ERROR" "" \
    'Это не полный путь: неизвестно, какой файл или каталог имеется в виду.')"
e2e_answer "$prompt" $IDC_SKIP
# A folder entry that names nothing is read before anything is made for it: the prompt says
# why, and no empty mirror pretends it was linked.
prompt="$(e2e_expect_prompt "$E2E_DLG" "missing folder entry" "$READ_ERROR" "$wdata\\nothing" "$PATH_NOT_FOUND")"
e2e_answer "$prompt" $IDC_SKIP
e2e_expect_end "$E2E_DLG" "names that name nothing" 30 2
[ -e "$links/nothing" ] && fail "a mirror folder was made for a folder entry that names nothing"
expect_hard_link "$links/f.txt" "$data/f.txt" "among names that name nothing"
[ -e "$links/missing.txt" ] || [ -e "$links/x.txt" ] && fail "a link was made for a missing file"
rm -rf "${links:?}"/*

# A target folder that does not exist.
e2e_link_run "$wlinks\\" "$wlinks\\nowhere\\*.*" "" "$wdata\\f.txt"
prompt="$(e2e_expect_prompt "$E2E_DLG" "missing target" "$FILE_ERROR" "$wdata\\f.txt" "$PATH_NOT_FOUND")"
read -r _ short_top _ short_bottom <<<"$(drv rect "$prompt" $IDC_ERROR_TEXT)"
e2e_answer "$prompt" $IDC_SKIP
e2e_expect_end "$E2E_DLG" "missing target" 30 2
[ -e "$links/nowhere" ] && fail "missing target: the folder was made"
expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "source after names of nothing"

# ---- names longer than 260 characters ----------------------------------------------------------
part="$(printf 'long%.0s' {1..24})"
deep="$data/deep/$part-1/$part-2/$part-3"
mkdir -p "$deep/sub" "$links/$part-a/$part-b/$part-c"
printf 'far\n' >"$deep/far.txt"
printf 'farther\n' >"$deep/sub/farther.txt"
wdeep="$(e2e_winpath "$deep")"
wlong="$wlinks\\$part-a\\$part-b\\$part-c"
[ "${#wdeep}" -gt 300 ] || fail "the long source path has only ${#wdeep} characters"
# A failure under a long name: the prompt grows to show the whole message, the reason too.
echo obstacle >"$links/far.txt"
e2e_link_run "$wlinks\\" "" "" "$wdeep\\far.txt"
prompt="$(e2e_expect_prompt "$E2E_DLG" "long name" "$FILE_ERROR" "$wdeep\\far.txt" "$(e2e_error_text 183)")"
e2e_screenshot links-long-name-prompt "$prompt"
read -r _ text_top _ text_bottom <<<"$(drv rect "$prompt" $IDC_ERROR_TEXT)"
read -r _ skip_top _ _ <<<"$(drv rect "$prompt" $IDC_SKIP)"
read -r _ _ _ cancel_bottom <<<"$(drv rect "$prompt" $IDCANCEL)"
read -r _ _ _ prompt_bottom <<<"$(drv rect "$prompt")"
[ $((text_bottom - text_top)) -gt $((short_bottom - short_top)) ] ||
    fail "long name: the message has no more room than a short one"
[ "$text_bottom" -le "$skip_top" ] && [ "$cancel_bottom" -lt "$prompt_bottom" ] ||
    fail "long name: the message and the buttons overlap or leave the prompt"
rm "$links/far.txt"
e2e_answer "$prompt" $IDC_RETRY
e2e_expect_end "$E2E_DLG" "long source"
expect_hard_link "$links/far.txt" "$deep/far.txt" "long source"
rm "$links/far.txt"
e2e_link_run "$wlong\\" "" -1 "$wdeep\\" "$wdata\\f.txt"
e2e_expect_end "$E2E_DLG" "long source and target"
long="$links/$part-a/$part-b/$part-c"
expect_hard_link "$long/f.txt" "$data/f.txt" "long target"
expect_hard_link "$long/$part-3/far.txt" "$deep/far.txt" "long mirror"
expect_hard_link "$long/$part-3/sub/farther.txt" "$deep/sub/farther.txt" "long mirror"
[ "$(e2e_winpath "$long/$part-3/sub/farther.txt" | wc -c)" -gt 400 ] ||
    fail "the long mirror's names are not longer than 400 characters"
rm -rf "${links:?}"/* "${data:?}/deep"

expect_same_tree "$source_before" "$(e2e_tree_snapshot "$data")" "source after every run"
e2e_pass
