#!/bin/bash
# The settings dialog with an INI file as the profile: OK writes the five values into the
# [Settings] section and nothing into the registry; a write that fails (the INI file's folder
# does not exist) shows message 1006, still closes the dialog, keeps the new values for the
# running program, and brings no language notice.
. "$(dirname "$0")/lib.sh"
e2e_setup

list="$E2E_WORK/list.lst"
e2e_list "$list" 'Z:\data\a.txt' 'Z:\data\b.txt'
wlist="$(e2e_winpath "$list")"

ini_value() { # file key: the value, or "<absent>"
    tr -d '\r' <"$1" | awk -F= -v k="$2" '
        /^\[/ { in_settings = ($0 == "[Settings]") }
        in_settings && $1 == k { v = substr($0, length(k) + 2); found = 1 }
        END { if (found) print v; else print "<absent>" }'
}

open_settings() { # leaves the settings dialog in $set
    drv click "$E2E_DLG" $IDC_SETTINGS >/dev/null
    set="$(e2e_wait_owned "$E2E_DLG")"
}

close_settings() { # button
    drv click "$set" "$1" >/dev/null
    drv waitgone "$set" 5000 >/dev/null || fail "the settings dialog did not close with button $1"
}

expect_no_message() { # owner what
    sleep 0.7
    [ -z "$(drv owned "$1")" ] || fail "$2: unexpected message"
}

# Round trip through velmora.ini beside the program.
ini="$E2E_APP/velmora.ini"
printf '[Other]\r\nKeep=1\r\n[Settings]\r\nSaveRecursionDepth=1\r\nDefaultRecursionDepth=2\r\n' >"$ini"
e2e_open "$wlist" 'Z:\links\' /i=velmora.ini
open_settings
expect_eq "$(drv checked "$set" $IDC_SAVE_DEPTH)" 1 "save depth from the INI file"
expect_eq "$(drv text "$set" $IDC_DEFAULT_DEPTH)" 2 "depth from the INI file"
for id in $IDC_DEFAULT_DEPTH_LABEL $IDC_DEFAULT_DEPTH $IDC_DEFAULT_DEPTH_SPIN; do
    expect_eq "$(drv enabled "$set" $id)" 0 "control $id disabled while the depth is saved"
done
drv click "$set" $IDC_SAVE_DEPTH >/dev/null
for id in $IDC_DEFAULT_DEPTH_LABEL $IDC_DEFAULT_DEPTH $IDC_DEFAULT_DEPTH_SPIN; do
    for ((i = 0; i < 30; i++)); do [ "$(drv enabled "$set" $id)" = 1 ] && break; sleep 0.1; done
    expect_eq "$(drv enabled "$set" $id)" 1 "control $id enabled after unticking"
done
drv click "$set" $IDC_SAVE_WINDOW_POS >/dev/null
drv set "$set" $IDC_DEFAULT_DEPTH 17 >/dev/null
drv set "$set" $IDC_LANGUAGE_FILE 'English.lng' >/dev/null
drv set "$set" $IDC_HELP_FILE 'Z:\help files\velmora_en.chm' >/dev/null
close_settings 1
notice="$(e2e_wait_owned "$E2E_DLG")"
expect_contains "$(e2e_static_texts "$notice")" 'Language will change on next start!' "language notice"
drv click "$notice" $IDOK >/dev/null
drv waitgone "$notice" 5000 >/dev/null
expect_eq "$(ini_value "$ini" SaveRecursionDepth)" 0 "INI SaveRecursionDepth"
expect_eq "$(ini_value "$ini" DefaultRecursionDepth)" 17 "INI DefaultRecursionDepth"
expect_eq "$(ini_value "$ini" SaveWindowPos)" 1 "INI SaveWindowPos"
expect_eq "$(ini_value "$ini" LanguageFile)" 'English.lng' "INI LanguageFile"
expect_eq "$(ini_value "$ini" HelpFile)" 'Z:\help files\velmora_en.chm' "INI HelpFile"
expect_contains "$(tr -d '\r' <"$ini")" $'[Other]\nKeep=1' "other sections kept"
e2e_reg_key_exists && fail "the registry was written with /i="
drv click "$E2E_DLG" $IDCANCEL >/dev/null
e2e_wait_exit
# SaveWindowPos is now on: closing the main dialog stored its rectangle too.
[ "$(ini_value "$ini" PosLeft)" != '<absent>' ] || fail "the new SaveWindowPos was not used at once"

# The INI file's folder does not exist: every write fails.
e2e_open "$wlist" 'Z:\links\' '/i=missing\velmora.ini'
open_settings
drv set "$set" $IDC_LANGUAGE_FILE 'English.lng' >/dev/null
drv set "$set" $IDC_DEFAULT_DEPTH 9 >/dev/null
drv click "$set" $IDOK >/dev/null
msg="$(e2e_wait_owned "$set")"
expect_eq "$(e2e_static_texts "$msg")" 'Ошибка при сохранении настроек!' "message 1006"
e2e_screenshot settings_save_failed "$msg"
drv click "$msg" $IDOK >/dev/null
drv waitgone "$set" 5000 >/dev/null || fail "the settings dialog stayed open after the failed save"
expect_no_message "$E2E_DLG" "failed save"
[ -e "$E2E_APP/missing" ] && fail "a folder was made for the INI file"
# The running program has the new values all the same.
open_settings
expect_eq "$(drv text "$set" $IDC_LANGUAGE_FILE)" 'English.lng' "language file kept after the failed save"
expect_eq "$(drv text "$set" $IDC_DEFAULT_DEPTH)" 9 "depth kept after the failed save"
close_settings 2
drv click "$E2E_DLG" $IDCANCEL >/dev/null
e2e_wait_exit

e2e_pass
