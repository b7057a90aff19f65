#!/bin/bash
# Start-up refusals: a wrong argument count, an unreadable list file and a list that holds less
# than it seems (no line, a zero byte with text after it, UTF-16 BE or UTF-32) end the program
# after a message with the built-in text (for a list: its name and why), captioned with the
# program file's name, with exit code 4, and without touching the settings (no registry key,
# no INI file).
. "$(dirname "$0")/lib.sh"
e2e_setup

WRONG_COUNT='Неправильное число параметров!'
NO_LIST='Не удаётся открыть список файлов!'

# Starts velmora.exe with the arguments, expects the message box, closes it and expects the
# program to end without opening its dialog.
expect_refusal() { # expected-text what args...
    local expected="$1" what="$2" box texts
    shift 2
    e2e_start "$@"
    box="$(e2e_wait_window velmora)"
    texts="$(e2e_static_texts "$box")"
    expect_contains "$texts" "$expected" "$what: message"
    e2e_screenshot "startup-message-$what" "$box"
    drv click "$box" $IDOK >/dev/null || fail "$what: cannot press OK"
    e2e_wait_exit
    expect_eq "$E2E_EXIT_CODE" 4 "$what: exit code"
    drv wait "$E2E_TITLE" 300 >/dev/null 2>&1 && fail "$what: the main dialog opened"
    e2e_reg_key_exists && fail "$what: the registry key was created"
    return 0
}

list="$E2E_WORK/list.txt"
e2e_list "$list" 'Z:\data\a.txt'
wlist="$(e2e_winpath "$list")"

expect_refusal "$WRONG_COUNT" no-arguments
expect_refusal "$WRONG_COUNT" one-argument "$wlist"
expect_refusal "$NO_LIST" missing-list "$(e2e_winpath "$E2E_WORK/none.txt")" 'Z:\target\'
mkdir "$E2E_WORK/folder"
expect_refusal "$NO_LIST" list-is-a-folder "$(e2e_winpath "$E2E_WORK/folder")" 'Z:\target\'

# Lists that would run as an empty or cut batch. Each message names the list file (the driver
# shows a backslash doubled).
expect_list_refusal() { # why file
    local name
    name="$(e2e_winpath "$2")"
    expect_refusal "«${name//\\/\\\\}» $1" "$(basename "$2" .lst)" "$name" 'Z:\target\'
}
printf 'Z:\\data\\a.txt\r\n\0Z:\\data\\b.txt\r\n' >"$E2E_WORK/zero-byte.lst"
expect_list_refusal 'содержит нулевой байт' "$E2E_WORK/zero-byte.lst"
{
    printf '\xFE\xFF'
    printf 'Z:\\data\\a.txt\r\n' | iconv -f UTF-8 -t UTF-16BE
} >"$E2E_WORK/utf16-be.lst"
expect_list_refusal 'записан в кодировке UTF-16 BE или UTF-32' "$E2E_WORK/utf16-be.lst"
: >"$E2E_WORK/empty.lst"
expect_list_refusal 'пуст' "$E2E_WORK/empty.lst"

# With an INI file named the refusal comes before the profile is chosen: no file is made.
expect_refusal "$NO_LIST" missing-list-with-ini "$(e2e_winpath "$E2E_WORK/none.txt")" 'Z:\target\' /i=velmora.ini
[ -e "$E2E_APP/velmora.ini" ] && fail "missing-list-with-ini: velmora.ini was created"

# A language file in the settings never replaces these two texts: they come before it is read.
printf '1001=Something else\r\n1002=Something else\r\n' >"$E2E_APP/lang.lng"
e2e_reg_set_sz LanguageFile lang.lng
e2e_start
box="$(e2e_wait_window velmora)"
expect_contains "$(e2e_static_texts "$box")" "$WRONG_COUNT" "language file set: message"
drv click "$box" $IDOK >/dev/null
e2e_wait_exit

e2e_pass
