#!/bin/bash
# Lists in every encoding the file manager writes, with and without a byte-order mark, and with
# LF-only line ends: the caption names the file and OK links exactly that file, an "&" in the
# name shown as itself. An ANSI list whose bytes are UTF-8 as well is read the way that names
# an existing file. A language file in UTF-16 or without a final line break is read whole.
. "$(dirname "$0")/lib.sh"
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
mkdir -p "$data" "$links"
for f in отчёт.txt report report2 'report §.txt' 'Tom & Jerry.txt' 'Â©.txt'; do
    printf 'contents of %s\n' "$f" >"$data/$f"
done
wdata="$(e2e_winpath "$data")"
wlinks="$(e2e_winpath "$links")"
ONE='&Создать ссылку для "%s" в:'
MANY='&Создать ссылки для выделенных файлов (%d шт.) в:'

utf16() { iconv -f UTF-8 -t UTF-16LE || fail "iconv"; }

# Starts the program on the list file, checks the caption, presses OK and checks that each
# name got its hard link in the links folder.
check_list() { # what caption name...
    local what="$1" caption="$2" name
    shift 2
    e2e_open "$(e2e_winpath "$E2E_WORK/$what.lst")" "$wlinks\\"
    expect_eq "$(drv text "$E2E_DLG" $IDC_CAPTION)" "$caption" "$what: caption"
    [ -z "${SHOT:-}" ] || e2e_screenshot "$SHOT" "$E2E_DLG"
    drv click "$E2E_DLG" $IDOK >/dev/null || fail "$what: cannot press OK"
    e2e_expect_end "$E2E_DLG" "$what"
    for name in "$@"; do
        expect_hard_link "$links/$name" "$data/$name" "$what"
    done
    expect_eq "$(ls "$links" | wc -l)" "$#" "$what: links made"
    rm -f "$links"/*
}

entry="$wdata\\отчёт.txt"
printf '\xEF\xBB\xBF%s\r\n' "$entry" >"$E2E_WORK/utf8-mark.lst"
check_list utf8-mark "$(printf "$ONE" отчёт.txt)" отчёт.txt
printf '%s\r\n' "$entry" >"$E2E_WORK/utf8.lst"
check_list utf8 "$(printf "$ONE" отчёт.txt)" отчёт.txt
{
    printf '\xFF\xFE'
    printf '%s\r\n' "$entry" | utf16
} >"$E2E_WORK/utf16-mark.lst"
check_list utf16-mark "$(printf "$ONE" отчёт.txt)" отчёт.txt
printf '%s\r\n' "$entry" | utf16 >"$E2E_WORK/utf16.lst"
check_list utf16 "$(printf "$ONE" отчёт.txt)" отчёт.txt

# ANSI: a sign that Wine's ANSI code page holds and that is no UTF-8 on its own.
e2e_list "$E2E_WORK/ansi.lst" "$wdata\\report §.txt"
check_list ansi "$(printf "$ONE" 'report §.txt')" 'report §.txt'

# Code page 1252 writes "Â©" as C2 A9, which is UTF-8 for "©": "Â©.txt" exists, "©.txt" does
# not, so the list is read as ANSI.
expect_eq "$(drv acp)" 1252 "Wine's ANSI code page under the scripts' locale"
e2e_list "$E2E_WORK/ansi-or-utf8.lst" "$wdata\\Â©.txt"
expect_eq "$(od -An -tx1 -j $((${#wdata} + 1)) -N2 "$E2E_WORK/ansi-or-utf8.lst" | tr -d ' ')" c2a9 \
    "ansi-or-utf8: the list's bytes"
check_list ansi-or-utf8 "$(printf "$ONE" 'Â©.txt')" 'Â©.txt'

# The label reads "&" as the mark of an access key: the name's own is doubled, so it shows.
e2e_list "$E2E_WORK/ampersand.lst" "$wdata\\Tom & Jerry.txt"
SHOT=main-dialog-ampersand check_list ampersand "$(printf "$ONE" 'Tom && Jerry.txt')" \
    'Tom & Jerry.txt'

# LF alone ends a line whole: report2 is linked, not the other file report.
printf '%s\n' "$wdata\\report2" >"$E2E_WORK/lf-one.lst"
check_list lf-one "$(printf "$ONE" report2)" report2
printf '%s\n' "$wdata\\report2" "$wdata\\report" >"$E2E_WORK/lf-two.lst"
check_list lf-two "$(printf "$MANY" 2)" report2 report
printf '%s\n' "$wdata\\report2" "$entry" | utf16 >"$E2E_WORK/utf16-lf.lst"
check_list utf16-lf "$(printf "$MANY" 2)" report2 отчёт.txt

# Language files: Notepad's "Unicode" (UTF-16 with a mark), UTF-8 without a mark, and a last
# line without a line break.
printf '%s\r\n' '; test' '3=Параметры' '4=Справка?' | utf16 >"$E2E_WORK/body16"
for variant in utf16 utf8; do
    case $variant in
    utf16) { printf '\xFF\xFE' && cat "$E2E_WORK/body16" && printf '2=Close' | utf16; } ;;
    utf8) printf '; test\r\n3=Параметры\r\n4=Справка?\r\n2=Close' ;;
    esac >"$E2E_APP/test.lng"
    printf '[Settings]\r\nLanguageFile=test.lng\r\n' >"$E2E_APP/velmora.ini"
    e2e_open "$(e2e_winpath "$E2E_WORK/lf-one.lst")" "$wlinks\\" /i=velmora.ini
    expect_eq "$(drv text "$E2E_DLG" $IDC_SETTINGS)" 'Параметры' "$variant language file: button 1013"
    expect_eq "$(drv text "$E2E_DLG" $IDC_HELP_BUTTON)" 'Справка?' "$variant language file: button 1014"
    expect_eq "$(drv text "$E2E_DLG" $IDCANCEL)" 'Close' "$variant language file: last line without a break"
    drv click "$E2E_DLG" $IDCANCEL >/dev/null
    e2e_wait_exit
done

e2e_pass
