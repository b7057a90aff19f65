#!/bin/bash
# The About box, opened from the main dialog's system menu (command 16, its low four bits
# ignored): the template's Russian lines and the version without a language file, and each of
# the numbers 150, 152, 153, 154 (both developer lines) and 156 replacing only its own line.
. "$(dirname "$0")/lib.sh"
e2e_setup

list="$E2E_WORK/list.lst"
e2e_list "$list" 'Z:\data\report.txt'
wlist="$(e2e_winpath "$list")"

open_about() { # [system command]; leaves the About box in $about
    e2e_open "$wlist" 'Z:\links\' /i=velmora.ini
    drv syscommand "$E2E_DLG" "${1:-$IDM_ABOUTBOX}" >/dev/null || fail "cannot post the system command"
    about="$(e2e_wait_owned "$E2E_DLG")"
}

close_all() {
    drv click "$about" $IDOK >/dev/null
    drv waitgone "$about" 5000 >/dev/null || fail "the About box did not close on OK"
    drv click "$E2E_DLG" $IDCANCEL >/dev/null
    e2e_wait_exit
}

use_language() { # lines of the language file
    printf '%s\r\n' "$@" >"$E2E_APP/about.lng"
    printf '[Settings]\r\nLanguageFile=about.lng\r\n' >"$E2E_APP/velmora.ini"
}

expect_lines() { # title 1003 1004 1005 1006 1000 what
    expect_eq "$(drv text "$about")" "$1" "$7: title"
    expect_eq "$(drv text "$about" $IDC_ABOUT_PROGRAM)" "$2" "$7: program line"
    expect_eq "$(drv text "$about" $IDC_ABOUT_VERSION)" "$3" "$7: version line"
    expect_eq "$(drv text "$about" $IDC_ABOUT_DEVELOPER)" "$4" "$7: developer line"
    expect_eq "$(drv text "$about" $IDC_ABOUT_AFFILIATION)" "$5" "$7: affiliation line"
    expect_eq "$(drv text "$about" $IDC_HOME_LABEL)" "$6" "$7: home page label"
    # The links always show their addresses.
    expect_eq "$(drv text "$about" $IDC_HOME_LINK)" 'https://tarnwell.example/velmora/' "$7: home page link"
    expect_eq "$(drv text "$about" $IDC_MAIL_LINK)" 'velmora@tarnwell.example' "$7: mail link"
}

ru_title='О программе'
ru_program='Программа: Velmora'
ru_developer='Разработчик: Tarnwell'
ru_affiliation='Компания Tarnwell, 2026 г.'
ru_home='Домашняя страница:'

# No language file.
printf '[Settings]\r\n' >"$E2E_APP/velmora.ini"
open_about
expect_lines "$ru_title" "$ru_program" 'Версия: 1.1' "$ru_developer" "$ru_affiliation" "$ru_home" \
    "built-in texts"
[ "$(drv enabled "$E2E_DLG")" = 0 ] || fail "the main dialog is not disabled under the About box"
e2e_screenshot about "$about"
close_all

# The menu command with its low four bits set (as the system may report it) opens it too.
open_about 19
expect_eq "$(drv text "$about")" "$ru_title" "About box from command 19"
close_all

# Every number present.
use_language '150=About Velmora' '152=Program:' '153=Version:' '154=Developer:' '156=Home page:'
open_about
expect_lines 'About Velmora' 'Program: Velmora' 'Version: 1.1' 'Developer: Tarnwell' 'Tarnwell, 2026' \
    'Home page:' "all numbers"
e2e_screenshot about_english "$about"
close_all

# 153 alone: only the version line changes.
use_language '153=Version:'
open_about
expect_lines "$ru_title" "$ru_program" 'Version: 1.1' "$ru_developer" "$ru_affiliation" "$ru_home" \
    "153 only"
close_all

# 154 alone switches both the developer and the affiliation line.
use_language '154=Developer:'
open_about
expect_lines "$ru_title" "$ru_program" 'Версия: 1.1' 'Developer: Tarnwell' 'Tarnwell, 2026' "$ru_home" \
    "154 only"
close_all

# Present but empty texts are used as they are; the version is still appended after a blank.
use_language '150=' '152=' '153=' '156='
open_about
expect_lines "" ' Velmora' ' 1.1' "$ru_developer" "$ru_affiliation" "" "empty texts"
close_all

e2e_pass
