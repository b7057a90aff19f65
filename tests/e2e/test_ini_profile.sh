#!/bin/bash
# The profile choice: /i=<name> (the i in either case) keeps the settings in that INI file, a
# relative name taken from the program's folder whatever folder the program starts in, and then
# the registry is not used; any other third argument is ignored and the registry is used.
. "$(dirname "$0")/lib.sh"
e2e_setup

list="$E2E_WORK/list.lst"
e2e_list "$list" 'Z:\data\a.txt' 'Z:\data\b.txt'
wlist="$(e2e_winpath "$list")"
elsewhere="$E2E_WORK/elsewhere"
mkdir -p "$elsewhere"

ini_value() { # file key
    tr -d '\r' <"$1" | awk -F= -v k="$2" '$1 == k { v = substr($0, length(k) + 2) } END { print v }'
}

# Starts from another folder with the third argument, checks the depth the dialog shows, then
# types a new depth and cancels (the depth is stored on close when SaveRecursionDepth is on).
run_with() { # third-argument expected-depth new-depth what
    E2E_CWD="$elsewhere" e2e_open "$wlist" 'Z:\links\' "$1"
    expect_eq "$(drv text "$E2E_DLG" $IDC_DEPTH)" "$2" "$4: depth shown"
    drv set "$E2E_DLG" $IDC_DEPTH "$3" >/dev/null || fail "$4: cannot set the depth"
    drv click "$E2E_DLG" $IDCANCEL >/dev/null
    e2e_wait_exit
}

printf '[Settings]\r\nSaveRecursionDepth=1\r\nDefaultRecursionDepth=4\r\n' >"$E2E_APP/links.ini"
run_with /i=links.ini 4 7 "/i=links.ini"
expect_eq "$(ini_value "$E2E_APP/links.ini" DefaultRecursionDepth)" 7 "depth stored in the INI file"
[ -e "$elsewhere/links.ini" ] && fail "links.ini was made in the starting folder"
e2e_reg_key_exists && fail "the registry was used with /i="

run_with /I=links.ini 7 -1 "/I=links.ini"
expect_eq "$(ini_value "$E2E_APP/links.ini" DefaultRecursionDepth)" -1 "depth stored by /I="
e2e_reg_key_exists && fail "the registry was used with /I="

# Not the /i= form: the registry holds the settings.
e2e_reg_set_dword SaveRecursionDepth 1
e2e_reg_set_dword DefaultRecursionDepth 3
depth=3
for third in -i=links.ini /ilinks.ini /i:links.ini /i /i=; do
    run_with "$third" "$depth" $((depth + 1)) "third argument '$third'"
    depth=$((depth + 1))
    expect_eq "$(e2e_reg_get DefaultRecursionDepth)" "$depth" "'$third': depth stored in the registry"
done
expect_eq "$(ini_value "$E2E_APP/links.ini" DefaultRecursionDepth)" -1 "INI file untouched without /i="
[ -z "$(find "$E2E_APP" "$elsewhere" -name '*.ini' ! -path "$E2E_APP/links.ini")" ] ||
    fail "an INI file was made without /i=: $(find "$E2E_APP" "$elsewhere" -name '*.ini')"

# An INI file in a folder that does not exist: defaults, and closing writes nothing anywhere.
E2E_CWD="$elsewhere" e2e_open "$wlist" 'Z:\links\' '/i=Z:\nowhere\links.ini'
expect_eq "$(drv text "$E2E_DLG" $IDC_DEPTH)" 0 "missing INI folder: depth"
drv click "$E2E_DLG" $IDCANCEL >/dev/null
e2e_wait_exit
expect_eq "$E2E_EXIT_CODE" 1 "missing INI folder: exit code"
[ -e /nowhere ] && fail "missing INI folder: the folder was created"

e2e_pass
