#!/bin/bash
# A language file named in the settings (here an INI file given with /i=) replaces the dialog's
# texts and the system menu's About item; lines it cannot use are ignored; a missing file is
# reported in both languages and the built-in texts stay. With /i= the registry is not touched.
. "$(dirname "$0")/lib.sh"
e2e_setup

list="$E2E_WORK/list.lst"
e2e_list "$list" 'Z:\data\report.txt'
wlist="$(e2e_winpath "$list")"

use_language_file() { # name
    printf '[Settings]\r\nLanguageFile=%s\r\n' "$1" >"$E2E_APP/velmora.ini"
}

open_dialog() {
    e2e_open "$wlist" 'Z:\links\' /i=velmora.ini
}

cancel_dialog() { # [dialog]
    drv click "${1:-$E2E_DLG}" $IDCANCEL >/dev/null
    e2e_wait_exit
}

about_item() {
    drv sysmenu "$E2E_DLG" | tail -n1
}

# Comments, a line starting with a blank and a message number that comes too late are ignored;
# for a number given twice the last line wins.
printf '; texts for the test\r\n[Main]\r\n3=One\r\n3=Two\r\n 4=ignored\r\n151=&Info\r\n1001=never\r\n' \
    >"$E2E_APP/test.lng"
use_language_file test.lng
open_dialog
expect_eq "$(drv text "$E2E_DLG" $IDC_SETTINGS)" Two "button 1013"
expect_eq "$(drv text "$E2E_DLG" $IDC_HELP_BUTTON)" 'Справка' "button 1014 (not in the file)"
expect_eq "$(drv text "$E2E_DLG" $IDOK)" OK "button 1"
expect_eq "$(about_item)" $'16\tstring\t&Info' "About item"
cancel_dialog

# An empty 151 adds neither the separator nor the item; an empty 3 empties the button.
printf '3=\r\n151=\r\n' >"$E2E_APP/test.lng"
open_dialog
expect_eq "$(drv text "$E2E_DLG" $IDC_SETTINGS)" "" "button 1013 with an empty text"
last="$(about_item)"
expect_not_contains "$last" $'16\t' "system menu with an empty 151"
expect_not_contains "$last" separator "system menu with an empty 151"
cancel_dialog

# Formats from a language file are used only with the built-in placeholders; hostile ones give
# way to the built-in text. A line longer than the reader's piece size does not break the file.
{
    printf '5=%%n%%s%%s%%d\r\n'
    printf '1=%*s\r\n' 3000 "" | tr ' ' x
    printf '2=Close\r\n'
} >"$E2E_APP/test.lng"
open_dialog
expect_eq "$(drv text "$E2E_DLG" $IDC_CAPTION)" '&Создать ссылку для "report.txt" в:' "caption with a hostile format"
expect_eq "$(drv text "$E2E_DLG" $IDCANCEL)" Close "text after an over-long line"
cancel_dialog
list3="$E2E_WORK/three.lst"
e2e_list "$list3" 'Z:\data\a' 'Z:\data\b' 'Z:\data\c'
printf '6=%%s files:\r\n' >"$E2E_APP/test.lng"
e2e_open "$(e2e_winpath "$list3")" 'Z:\links\' /i=velmora.ini
expect_eq "$(drv text "$E2E_DLG" $IDC_CAPTION)" '&Создать ссылки для выделенных файлов (3 шт.) в:' "count with %s in place of %d"
cancel_dialog
printf '6=%%d selected:\r\n' >"$E2E_APP/test.lng"
e2e_open "$(e2e_winpath "$list3")" 'Z:\links\' /i=velmora.ini
expect_eq "$(drv text "$E2E_DLG" $IDC_CAPTION)" '3 selected:' "count with a matching format"
cancel_dialog

# The English language file shipped beside the program, named relative to the program's folder.
[ -f "$E2E_APP/English.lng" ] || fail "English.lng is not beside velmora.exe"
english() { # number: the text English.lng gives it
    tr -d '\r' <"$E2E_APP/English.lng" | awk -v n="$1" '
        index($0, n "=") == 1 { t = substr($0, length(n) + 2) } END { print t }'
}
for n in 1 2 3 4 7; do
    [ -n "$(english $n)" ] || fail "English.lng has no text $n"
done
use_language_file English.lng
open_dialog
expect_eq "$(drv text "$E2E_DLG" $IDOK)" "$(english 1)" "English button 1"
expect_eq "$(drv text "$E2E_DLG" $IDCANCEL)" "$(english 2)" "English button 2"
expect_eq "$(drv text "$E2E_DLG" $IDC_SETTINGS)" "$(english 3)" "English button 1013"
expect_eq "$(drv text "$E2E_DLG" $IDC_HELP_BUTTON)" "$(english 4)" "English button 1014"
expect_eq "$(drv text "$E2E_DLG" $IDC_DEPTH_LABEL)" "$(english 7)" "English label 1010"
caption="$(english 5)"
expect_eq "$(drv text "$E2E_DLG" $IDC_CAPTION)" "${caption/\%s/report.txt}" "English caption"
expect_eq "$(drv text "$E2E_DLG")" "$E2E_TITLE" "title (never from the language file)"
e2e_screenshot main-dialog-en "$E2E_DLG"
cancel_dialog

# A language file that does not exist: the bilingual message, then the built-in texts.
use_language_file missing.lng
e2e_start "$wlist" 'Z:\links\' /i=velmora.ini
box="$(e2e_wait_window Velmora)"
expect_contains "$(e2e_static_texts "$box")" 'Языковой файл не найден!\n\nLanguage file is missing!' \
    "missing language file message"
drv click "$box" $IDOK >/dev/null
dlg="$(e2e_wait_window "$E2E_TITLE")"
expect_eq "$(drv text "$dlg" $IDC_SETTINGS)" 'Настрой&ки' "button 1013 after a missing language file"
cancel_dialog "$dlg"

e2e_reg_key_exists && fail "the registry was used although /i= named an INI file"
e2e_pass
