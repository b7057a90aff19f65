#!/bin/bash
# After a batch that skipped anything, a summary in the program's language: what was made, how
# long it took and what was skipped, by name; the program then ends with exit code 2. One
# batch per language: two files linked, one skipped (its name taken), a folder mirrored at
# depth 1.
. "$(dirname "$0")/lib.sh"
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
mkdir -p "$data/Dir" "$links"
for f in a.txt b.txt c.txt Dir/x.txt; do printf '%s\n' "$f" >"$data/$f"; done
wdata="$(e2e_winpath "$data")"
wlinks="$(e2e_winpath "$links")"
skipped="${wdata//\\/\\\\}\\\\b.txt"

expect_summary() { # language-file-or-empty what summary
    [ -z "$1" ] || e2e_reg_set_sz LanguageFile "$1"
    echo obstacle >"$links/b.txt"
    e2e_link_run "$wlinks\\" "" 1 "$wdata\\a.txt" "$wdata\\b.txt" "$wdata\\c.txt" "$wdata\\Dir\\"
    e2e_answer "$(e2e_wait_owned "$E2E_DLG")" $IDC_SKIP
    box="$(e2e_wait_owned "$E2E_DLG")"
    expect_eq "$(drv text "$box")" Velmora "$2: caption"
    # The time taken reads M:SS (a second either way on a busy machine).
    expect_eq "$(e2e_static_texts "$box" | sed -E 's/: [0-9]+:[0-9]{2}\\n/: M:SS\\n/')" "$3" "$2: summary"
    e2e_screenshot "batch-summary-$2" "$box"
    drv key "$box" Enter >/dev/null
    e2e_wait_exit
    expect_eq "$E2E_EXIT_CODE" 2 "$2: exit code"
    for f in a.txt c.txt Dir/x.txt; do expect_hard_link "$links/$f" "$data/$f" "$2"; done
    expect_eq "$(cat "$links/b.txt")" obstacle "$2: the skipped file's obstacle"
    rm -rf "${links:?}"/*
}

expect_summary "" ru "Созданы не все ссылки: часть элементов пропущена.\\n\\nСоздано жёстких \
ссылок: 3\\nСоздано точек соединения: 0\\nСоздано каталогов: 1\\nУже были на месте: 0\\nПропущено: 1\
\\nВремя работы: M:SS\\n\\nПропущены:\\n$skipped"
expect_summary English.lng en "Not every link was made: some items were skipped.\\n\\nHard links \
made: 3\\nJunctions made: 0\\nFolders made: 1\\nAlready in place: 0\\nSkipped: 1\\nTime taken: M:SS\\n\\nSkipped items:\
\\n$skipped"

e2e_pass
