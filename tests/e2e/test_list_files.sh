#!/bin/bash
# List files as they come: well-formed or not, the program reads them by its rules (each LF ends
# an entry, less a CR right before it, the last line counts without a line end, a byte-order
# mark selects UTF-8 or UTF-16) and opens its dialog; huge or binary files neither crash nor
# hang it. Encodings without a mark: test_list_encodings.sh; lists that are not run (empty, a
# zero byte, UTF-16 BE, UTF-32): test_startup_messages.sh.
. "$(dirname "$0")/lib.sh"
e2e_setup

ONE='&Создать ссылку для "%s" в:'
MANY='&Создать ссылки для выделенных файлов (%d шт.) в:'

# Writes the bytes (printf format) to a list file, opens the dialog on it and checks the caption
# and the target edit, then cancels.
check_list() { # what caption target [wait-ms]
    local what="$1" caption="$2" target="$3" dlg
    e2e_start "$(e2e_winpath "$E2E_WORK/$what.lst")" 'Z:\links\'
    dlg="$(e2e_wait_window "$E2E_TITLE" "${4:-20000}")"
    expect_eq "$(drv text "$dlg" $IDC_CAPTION)" "$caption" "$what: caption"
    expect_eq "$(drv text "$dlg" $IDC_TARGET)" "$target" "$what: target"
    drv click "$dlg" $IDCANCEL >/dev/null
    e2e_wait_exit
    expect_eq "$E2E_EXIT_CODE" 1 "$what: exit code"
}
one() { printf "$ONE" "$1"; }
many() { printf "$MANY" "$1"; }

printf 'Z:\\data\\a.txt\nZ:\\data\\b.txt\n' >"$E2E_WORK/lf-only.lst"
check_list lf-only "$(many 2)" 'Z:\links\*.*'

# With LF alone the name stays whole.
printf 'Z:\\data\\report.txt\n' >"$E2E_WORK/lf-only-one.lst"
check_list lf-only-one "$(one report.txt)" 'Z:\links\report.txt'

# Zeros at the very end cut nothing off.
printf 'Z:\\data\\a.txt\r\n\0\0' >"$E2E_WORK/zero-end.lst"
check_list zero-end "$(one a.txt)" 'Z:\links\a.txt'

printf 'Z:\\data\\a.txt\r\nZ:\\data\\b.txt' >"$E2E_WORK/no-final-break.lst"
check_list no-final-break "$(many 2)" 'Z:\links\*.*'

printf 'Z:\\data\\a.txt' >"$E2E_WORK/no-break.lst"
check_list no-break "$(one a.txt)" 'Z:\links\a.txt'

printf '\r\n' >"$E2E_WORK/blank-line.lst"
check_list blank-line "$(one '')" 'Z:\links\'

# The plain list is in the ANSI code page: a name with a letter beyond ASCII is decoded by it.
e2e_list "$E2E_WORK/ansi.lst" 'Z:\data\café.txt'
check_list ansi "$(one café.txt)" 'Z:\links\café.txt'

# The file manager's UTF-8 and UTF-16 lists: names outside the ANSI code page come through whole.
printf '\xEF\xBB\xBFZ:\\данные\\отчёт.txt\r\n' >"$E2E_WORK/utf8.lst"
check_list utf8 "$(one отчёт.txt)" 'Z:\links\отчёт.txt'
{
    printf '\xFF\xFE'
    printf 'Z:\\данные\\отчёт.txt\r\n' | iconv -f UTF-8 -t UTF-16LE
} >"$E2E_WORK/utf16.lst"
check_list utf16 "$(one отчёт.txt)" 'Z:\links\отчёт.txt'

# Binary: 1 MiB of pseudo-random bytes without a zero. Every LF ends one entry, and what follows
# the last one (less a CR at the very end) is one more.
perl -e 'srand(7); print "Z"; print chr(1 + int(rand(255))) for 1 .. 1048576;' >"$E2E_WORK/binary.lst"
lines="$(perl -0777 -ne 'my $n = tr/\n//; s/.*\n//s; s/\r\z//; print $n + (length ? 1 : 0)' "$E2E_WORK/binary.lst")"
[ "$lines" -gt 1 ] || fail "binary list: generator made $lines lines"
check_list binary "$(many "$lines")" 'Z:\links\*.*'

# 100 MiB: about four million entries. The dialog opens and counts them all.
count=4033000
perl -e 'printf "Z:\\data\\file_%07d.txt\r\n", $_ for 1 .. '$count >"$E2E_WORK/huge.lst"
[ "$(stat -c %s "$E2E_WORK/huge.lst")" -ge $((100 * 1024 * 1024)) ] || fail "huge list is too small"
E2E_TIMEOUT=180 check_list huge "$(many $count)" 'Z:\links\*.*' 120000
rm -f "$E2E_WORK/huge.lst"

e2e_pass
