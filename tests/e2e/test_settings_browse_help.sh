#!/bin/bash
# The settings dialog's browse buttons and Help: a path ending in a backslash opens the file
# dialog in that folder with the file pattern as the name; choosing a file writes its full path
# into the edit, cancelling leaves the edit alone. Help starts the help viewer on the settings
# topic of the application's help file (a help file that does not exist falls back to the one
# beside the program; a path typed but not yet confirmed with OK is not used).
. "$(dirname "$0")/lib.sh"
e2e_setup

list="$E2E_WORK/list.lst"
e2e_list "$list" 'Z:\data\a.txt'
langs="$E2E_WORK/lang files"
mkdir -p "$langs"
printf '3=x\r\n' >"$langs/first.lng"
printf '3=y\r\n' >"$langs/second.lng"
printf 'not a language file\r\n' >"$langs/notes.txt"
wlangs="$(e2e_winpath "$langs")"
wapp="$(e2e_winpath "$E2E_APP")"
printf '[Settings]\r\nHelpFile=no such help.chm\r\n' >"$E2E_APP/velmora.ini"

e2e_open "$(e2e_winpath "$list")" 'Z:\links\' /i=velmora.ini
drv click "$E2E_DLG" $IDC_SETTINGS >/dev/null
set="$(e2e_wait_owned "$E2E_DLG")"

open_browser() { # button; leaves the file dialog in $fd
    drv click "$set" "$1" >/dev/null
    fd="$(e2e_wait_owned "$set")"
}

# A folder ending in a backslash: the file dialog starts there, showing the language files.
drv set "$set" $IDC_LANGUAGE_FILE "$wlangs\\" >/dev/null
open_browser $IDC_LANGUAGE_BROWSE
expect_eq "$(e2e_control_text "$fd" 1137)" 'lang files' "folder the file dialog opened"
expect_eq "$(e2e_control_text "$fd" 1148)" '*.lng' "file name the file dialog started with"
expect_contains "$(e2e_control_text "$fd" 1136)" '(*.lng)' "filter of the language browser"
e2e_screenshot settings_browse "$fd"
drv click "$fd" $IDCANCEL >/dev/null
drv waitgone "$fd" 5000 >/dev/null || fail "the file dialog did not close on Cancel"
expect_eq "$(drv text "$set" $IDC_LANGUAGE_FILE)" "$wlangs\\" "edit after Cancel"

# Choosing a file puts its full path into the edit.
open_browser $IDC_LANGUAGE_BROWSE
drv set "$fd" 1148 'second.lng' >/dev/null || fail "cannot type into the file dialog"
drv click "$fd" $IDOK >/dev/null
drv waitgone "$fd" 5000 >/dev/null || fail "the file dialog did not close on Open"
expect_eq "$(drv text "$set" $IDC_LANGUAGE_FILE)" "$wlangs\\second.lng" "edit after choosing a file"

# The help browser starts in the program's folder with the help files' filter.
drv set "$set" $IDC_HELP_FILE "$wapp\\" >/dev/null
open_browser $IDC_HELP_BROWSE
expect_eq "$(e2e_control_text "$fd" 1148)" '*.chm' "file name of the help browser"
expect_contains "$(e2e_control_text "$fd" 1136)" '(*.chm)' "filter of the help browser"
drv click "$fd" $IDCANCEL >/dev/null
drv waitgone "$fd" 5000 >/dev/null

# Help: the stored help file does not exist, so the one beside the program opens, on the
# settings topic; the path now in the edit is not used before OK.
hh_args() { ps -eo args | grep -i 'hh.exe' | grep -F "$wapp" | grep -v grep; }
drv click "$set" $IDC_HELP_BUTTON >/dev/null
hh="$(e2e_wait_window 'HH Parent')"
expect_contains "$(hh_args)" "$wapp\\velmora.chm::/prog_settings.htm" "help viewer's command line"
e2e_screenshot settings_help
drv syscommand "$hh" $SC_CLOSE >/dev/null
drv waitgone "$hh" 10000 >/dev/null || fail "the help window did not close"
for ((i = 0; i < 50; i++)); do [ -z "$(hh_args)" ] && break; sleep 0.1; done

# After OK the new help file counts: the English edition opens.
drv set "$set" $IDC_HELP_FILE 'velmora_en.chm' >/dev/null
drv set "$set" $IDC_LANGUAGE_FILE '' >/dev/null
drv click "$set" $IDOK >/dev/null
drv waitgone "$set" 5000 >/dev/null || fail "the settings dialog did not close on OK"
drv click "$E2E_DLG" $IDC_SETTINGS >/dev/null
set="$(e2e_wait_owned "$E2E_DLG")"
drv click "$set" $IDC_HELP_BUTTON >/dev/null
hh="$(e2e_wait_window 'HH Parent')"
expect_contains "$(hh_args)" "$wapp\\velmora_en.chm::/prog_settings.htm" "help viewer after OK"
expect_eq "$(drv text "$hh")" 'Velmora Help' "English help window title"
drv syscommand "$hh" $SC_CLOSE >/dev/null
drv waitgone "$hh" 10000 >/dev/null

drv click "$set" $IDCANCEL >/dev/null
drv waitgone "$set" 5000 >/dev/null
drv click "$E2E_DLG" $IDCANCEL >/dev/null
e2e_wait_exit
e2e_pass
