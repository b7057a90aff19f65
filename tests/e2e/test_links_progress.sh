#!/bin/bash
# A long mirror shows its progress: a bar below the buttons whose range is the count of the
# files to link and whose position moves forward between two looks, and (after about two
# seconds) the time left beside it; the batch ends by itself with every file linked and exit
# code 0, and the dialog's row is gone with it. 30,000 files in 300 folders.
: "${E2E_TIMEOUT:=240}"
. "$(dirname "$0")/lib.sh"
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
for ((d = 0; d < 20; d++)); do
    for ((s = 0; s < 15; s++)); do
        dir="$data/Tree/d$d/s$s"
        mkdir -p "$dir"
        (cd "$dir" && touch f{00..99}.dat)
    done
done
mkdir -p "$links"
files="$(find "$data" -type f | wc -l)"
expect_eq "$files" 30000 "files in the source"

e2e_link_run "$(e2e_winpath "$links")\\" "" -1 "$(e2e_winpath "$data")\\Tree\\"

# The bar appears once the batch shows itself; prints "position low high".
bar=""
for ((i = 0; i < 400; i++)); do
    bar="$(drv bar "$E2E_DLG" $IDC_PROGRESS 2>/dev/null)" && [ -n "$bar" ] && [ "${bar#* }" != "0 0" ] && break
    kill -0 "$E2E_VELMORA_PID" 2>/dev/null || fail "the batch ended before its bar showed"
    bar=""
    sleep 0.05
done
[ -n "$bar" ] || fail "no progress bar with a range while the batch runs"
expect_eq "${bar#* }" "0 $files" "the bar's range"
first="${bar%% *}"
sleep 1
second="$(drv bar "$E2E_DLG" $IDC_PROGRESS)"
second="${second%% *}"
[ "$first" -lt "$second" ] && [ "$second" -le "$files" ] ||
    fail "the bar did not move forward: $first, then $second of $files"
# Once two seconds of work have shown the speed, the time left is told.
for ((i = 0; i < 60; i++)); do
    left="$(drv text "$E2E_DLG" $IDC_TIME_LEFT 2>/dev/null)" || break
    [ -n "$left" ] && break
    sleep 0.1
done
[[ "$left" == "Осталось меньше минуты" || "$left" == Остал*примерно* ]] ||
    fail "the time left reads '$left'"

e2e_expect_end "$E2E_DLG" "30,000-file mirror" 200 0
expect_eq "$(find "$links/Tree" -type f | wc -l)" "$files" "files in the mirror"
expect_eq "$(find "$data" -type f -links 2 | wc -l)" "$files" "source files with a second link"
e2e_pass
