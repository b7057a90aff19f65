#!/bin/bash
# A batch made again asks nothing: what is already in place counts as done, only what is new is
# linked, and the program ends with exit code 0. Files linked twice into one folder, and a
# mirror made twice with a file added in between.
. "$(dirname "$0")/lib.sh"
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
mkdir -p "$data/Tree/sub" "$links"
for f in a.txt b.txt Tree/x.txt Tree/sub/y.txt; do printf '%s\n' "$f" >"$data/$f"; done
wdata="$(e2e_winpath "$data")"
wlinks="$(e2e_winpath "$links")"

run_twice() { # what depth file-added-before-the-second-run-or-empty entry...
    local what="$1" depth="$2" added="$3"
    shift 3
    e2e_link_run "$wlinks\\" "" "$depth" "$@"
    e2e_expect_end "$E2E_DLG" "$what, first run"
    [ -z "$added" ] || printf 'new\n' >"$data/$added"
    e2e_link_run "$wlinks\\" "" "$depth" "$@"
    e2e_expect_end "$E2E_DLG" "$what, second run"
}

run_twice files "" "" "$wdata\\a.txt" "$wdata\\b.txt"
for f in a.txt b.txt; do expect_hard_link "$links/$f" "$data/$f" "files twice"; done
run_twice mirror -1 Tree/sub/z.txt "$wdata\\Tree\\"
for f in x.txt sub/y.txt sub/z.txt; do expect_hard_link "$links/Tree/$f" "$data/Tree/$f" "mirror twice"; done

e2e_pass
