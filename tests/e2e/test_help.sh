#!/bin/bash
# Help: the Help button and F1 start the help viewer on the help file (the HelpFile setting when
# that file exists, else the .chm beside the program); when the viewer cannot be started the
# program says so and stays open.
. "$(dirname "$0")/lib.sh"
e2e_setup

[ -f "$E2E_APP/velmora.chm" ] || fail "velmora.chm is not beside velmora.exe"
[ -f "$E2E_APP/velmora_en.chm" ] || fail "velmora_en.chm is not beside velmora.exe"
list="$E2E_WORK/list.lst"
e2e_list "$list" 'Z:\data\a.txt'

open_dialog() {
    e2e_open "$(e2e_winpath "$list")" 'Z:\links\'
}

close_dialog() {
    drv click "$E2E_DLG" $IDCANCEL >/dev/null
    e2e_wait_exit
}

# Waits for the help viewer's window, checks its title (the help file's own), closes it.
expect_viewer() { # title what
    local viewer
    viewer="$(drv wait "HH Parent" 20000)" || fail "$2: no help window"
    expect_eq "$(drv text "$viewer")" "$1" "$2: help window title"
    drv syscommand "$viewer" $SC_CLOSE >/dev/null
    drv waitgone "$viewer" 10000 || fail "$2: the help window does not close"
}

open_dialog
drv click "$E2E_DLG" $IDC_HELP_BUTTON >/dev/null
expect_viewer Velmora "Help button"
drv press "$E2E_DLG" F1 >/dev/null || fail "cannot press F1"
expect_viewer Velmora "F1"
close_dialog

e2e_reg_set_sz HelpFile velmora_en.chm
open_dialog
drv click "$E2E_DLG" $IDC_HELP_BUTTON >/dev/null
expect_viewer "Velmora Help" "HelpFile velmora_en.chm"
close_dialog

e2e_reg_set_sz HelpFile 'Z:\nowhere\missing.chm'
open_dialog
drv click "$E2E_DLG" $IDC_HELP_BUTTON >/dev/null
expect_viewer Velmora "HelpFile naming a missing file"
close_dialog

# Without a viewer to start: message 1005, and the dialog stays.
hh="$WINEPREFIX/drive_c/windows/hh.exe"
[ -f "$hh" ] || fail "no hh.exe in the Wine prefix"
mv "$hh" "$hh.off"
e2e_on_exit "[ -f '$hh.off' ] && mv -f '$hh.off' '$hh'"
open_dialog
drv click "$E2E_DLG" $IDC_HELP_BUTTON >/dev/null
box="$(e2e_wait_owned "$E2E_DLG")"
expect_contains "$(e2e_static_texts "$box")" 'Не удалось открыть файл справки!' "message without a viewer"
expect_eq "$(drv text "$box")" Velmora "message caption"
drv click "$box" $IDOK >/dev/null
drv waitgone "$box" 10000 || fail "the message does not close"
expect_eq "$(drv visible "$E2E_DLG")" 1 "main dialog after the message"
close_dialog
mv -f "$hh.off" "$hh"

e2e_pass
