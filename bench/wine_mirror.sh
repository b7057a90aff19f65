#!/bin/bash
# The real velmora.exe under Wine mirroring a tree of 10,000 files (depth -1, started with a
# list file holding the tree's folder, driven from outside), beside `cp -al` on the same tree,
# alternating, three runs each. For information: it measures Wine's file calls as much as the
# program. Needs the Windows build (scripts/build.sh win) and Xvfb.
#
#   bench/wine_mirror.sh [files] [runs]
. "$(dirname "$0")/../tests/e2e/lib.sh"
files="${1:-10000}"
runs="${2:-3}"
E2E_TIMEOUT=600
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
mkdir -p "$data/tree" "$links"
# About 90 files a folder, in folders two levels deep.
folders=$(((files + 89) / 90))
for ((i = 0; i < folders; i++)); do mkdir -p "$data/tree/d$((i / 10))/d$i"; done
for ((i = 0; i < files; i++)); do
    printf 'file %d\n' "$i" >"$data/tree/d$((i % folders / 10))/d$((i % folders))/file$i.txt"
done
wdata="$(e2e_winpath "$data")"
wlinks="$(e2e_winpath "$links")"

now() { date +%s.%N; }

run_velmora() {
    e2e_list "$E2E_WORK/run.lst" "$wdata\\tree\\"
    e2e_start "$(e2e_winpath "$E2E_WORK/run.lst")" "$wlinks\\"
    dlg="$(e2e_wait_window "Velmora 1.1")"
    drv set "$dlg" 1011 -1 >/dev/null || fail "cannot set the depth"
    local start end
    start="$(now)"
    drv click "$dlg" 1 >/dev/null || fail "cannot press OK"
    while kill -0 "$E2E_VELMORA_PID" 2>/dev/null; do sleep 0.02; done
    end="$(now)"
    e2e_wait_exit
    expect_eq "$E2E_EXIT_CODE" 0 "exit code"
    linked="$(find "$links/tree" -type f -links 2 | wc -l)"
    expect_eq "$linked" "$files" "files hard-linked in the mirror"
    echo "$end - $start" | bc
}

run_cp() {
    local start end
    start="$(now)"
    cp -al "$data/tree" "$links/"
    end="$(now)"
    echo "$end - $start" | bc
}

velmora_times=()
cp_times=()
for ((r = 1; r <= runs; r++)); do
    t="$(run_velmora)"
    velmora_times+=("$t")
    rm -rf "${links:?}/tree"
    t="$(run_cp)"
    cp_times+=("$t")
    rm -rf "${links:?}/tree"
    echo "run $r: velmora.exe ${velmora_times[-1]} s, cp -al ${cp_times[-1]} s" >&2
done
median() { printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
mv="$(median "${velmora_times[@]}")"
mc="$(median "${cp_times[@]}")"
echo "$files files, $folders folders: velmora.exe under Wine median $mv s ($(echo "$files / $mv" | bc) links/s), cp -al median $mc s ($(echo "$files / $mc" | bc) links/s)"
e2e_pass
