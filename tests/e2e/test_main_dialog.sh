#!/bin/bash
# The main dialog as the file manager's button opens it: the caption names the one selected file
# or counts the entries, the target edit holds the target completed by the name or "*.*", the
# title carries the version, the depth shows the stored default. Built-in (Russian) texts.
. "$(dirname "$0")/lib.sh"
e2e_setup

# Opens the dialog on a list, checks caption and target, cancels. Leaves the handle in $E2E_DLG.
check_dialog() { # what target expected-caption expected-target entries...
    local what="$1" target="$2" caption="$3" expected_target="$4"
    shift 4
    local list="$E2E_WORK/$what.lst"
    e2e_list "$list" "$@"
    e2e_open "$(e2e_winpath "$list")" "$target"
    expect_eq "$(drv text "$E2E_DLG" $IDC_CAPTION)" "$caption" "$what: caption"
    expect_eq "$(drv text "$E2E_DLG" $IDC_TARGET)" "$expected_target" "$what: target"
    expect_eq "$(drv text "$E2E_DLG" $IDC_DEPTH)" 0 "$what: depth"
}

close_dialog() { # what
    drv click "$E2E_DLG" $IDCANCEL >/dev/null || fail "$1: cannot press Cancel"
    e2e_wait_exit
    expect_eq "$E2E_EXIT_CODE" 1 "$1: exit code"
}

check_dialog one-file 'Z:\links\' '&Создать ссылку для "report.txt" в:' 'Z:\links\report.txt' \
    'Z:\data\report.txt'
# The window: class, the template's texts, the system menu's extra item.
expect_eq "$(drv text "$E2E_DLG" $IDC_DEPTH_LABEL)" 'Глубин&а рекурсии для создания ссылок на каталоги:' "depth label"
expect_eq "$(drv text "$E2E_DLG" $IDOK)" OK "OK button"
expect_eq "$(drv text "$E2E_DLG" $IDCANCEL)" 'Отмена' "Cancel button"
expect_eq "$(drv text "$E2E_DLG" $IDC_SETTINGS)" 'Настрой&ки' "Settings button"
expect_eq "$(drv text "$E2E_DLG" $IDC_HELP_BUTTON)" 'Справка' "Help button"
menu="$(drv sysmenu "$E2E_DLG")" || fail "cannot read the system menu"
expect_eq "$(tail -n1 <<<"$menu")" $'16\tstring\t&О программе...' "About item"
expect_contains "$(tail -n2 <<<"$menu" | head -n1 | cut -f2)" separator "item before About"
expect_eq "$(drv focus "$E2E_DLG")" "$IDC_TARGET" "focus"
e2e_screenshot main-dialog-ru "$E2E_DLG"
close_dialog one-file

check_dialog one-folder 'Z:\links\' '&Создать ссылки для выделенных файлов (1 шт.) в:' 'Z:\links\*.*' \
    'Z:\data\Photos\'
close_dialog one-folder

check_dialog three-entries 'Z:\links\' '&Создать ссылки для выделенных файлов (3 шт.) в:' 'Z:\links\*.*' \
    'Z:\data\a.txt' 'Z:\data\b.txt' 'Z:\data\sub\'
close_dialog three-entries

# An empty list opens no dialog: test_startup_messages.sh.

# The name is appended to the target exactly as given, without a separator.
check_dialog no-backslash 'Z:\links' '&Создать ссылку для "report.txt" в:' 'Z:\linksreport.txt' \
    'Z:\data\report.txt'
close_dialog no-backslash

# An entry without any backslash is its own name; further arguments are ignored.
list="$E2E_WORK/bare.lst"
e2e_list "$list" 'report.txt'
e2e_open "$(e2e_winpath "$list")" 'Z:\links\' /x=ignored fourth fifth
expect_eq "$(drv text "$E2E_DLG" $IDC_CAPTION)" '&Создать ссылку для "report.txt" в:' "bare name: caption"
# Escape is the dialog's Cancel; the close box ends it the same way.
drv key "$E2E_DLG" Escape
e2e_wait_exit
expect_eq "$E2E_EXIT_CODE" 1 "Escape: exit code"

check_dialog close-box 'Z:\links\' '&Создать ссылку для "a.txt" в:' 'Z:\links\a.txt' 'Z:\data\a.txt'
drv syscommand "$E2E_DLG" $SC_CLOSE >/dev/null
e2e_wait_exit
# A run without /i= keeps its settings in the registry, and nothing was asked to be stored.
e2e_reg_get DefaultRecursionDepth >/dev/null && fail "DefaultRecursionDepth stored with the flag off"
e2e_reg_get PosLeft >/dev/null && fail "PosLeft stored with SaveWindowPos off"

e2e_pass
