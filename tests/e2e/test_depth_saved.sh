#!/bin/bash
# The recursion depth: the dialog shows DefaultRecursionDepth; with SaveRecursionDepth on, the
# depth field is stored on every close, after Cancel too, 0 for text that is no number; with it
# off nothing is stored. The up-down control stops at -1 and 1000; a stored depth beyond that
# range, in the registry or in an INI file, is shown as the range's nearer end.
. "$(dirname "$0")/lib.sh"
e2e_setup

list="$E2E_WORK/list.lst"
e2e_list "$list" 'Z:\data\a\' 'Z:\data\b\'
wlist="$(e2e_winpath "$list")"

open_dialog() {
    e2e_open "$wlist" 'Z:\links\'
}

# Types text into the depth field and ends the dialog the given way.
close_with_depth() { # text how(cancel|escape|closebox)
    drv set "$E2E_DLG" $IDC_DEPTH "$1" >/dev/null || fail "cannot set the depth to '$1'"
    case "$2" in
    cancel) drv click "$E2E_DLG" $IDCANCEL >/dev/null ;;
    escape) drv key "$E2E_DLG" Escape >/dev/null ;;
    closebox) drv syscommand "$E2E_DLG" $SC_CLOSE >/dev/null ;;
    esac
    e2e_wait_exit
}

e2e_reg_set_dword SaveRecursionDepth 1
e2e_reg_set_dword DefaultRecursionDepth 2
open_dialog
expect_eq "$(drv text "$E2E_DLG" $IDC_DEPTH)" 2 "depth shown"
close_with_depth 5 cancel
expect_eq "$(e2e_reg_get DefaultRecursionDepth)" 5 "depth after Cancel"
expect_eq "$(drv regget "$E2E_REG_SETTINGS" DefaultRecursionDepth | cut -f1)" REG_DWORD \
    "type of DefaultRecursionDepth"

open_dialog
expect_eq "$(drv text "$E2E_DLG" $IDC_DEPTH)" 5 "depth shown at the next start"
close_with_depth abc escape
expect_eq "$(e2e_reg_get DefaultRecursionDepth)" 0 "depth after letters"

open_dialog
close_with_depth -1 closebox
expect_eq "$(e2e_reg_get DefaultRecursionDepth)" -1 "depth -1 after the close box"

# A typed value beyond the up-down range is stored as typed.
open_dialog
close_with_depth 5000 cancel
expect_eq "$(e2e_reg_get DefaultRecursionDepth)" 5000 "depth typed beyond the range"

# The arrows stop at the ends of the range, and what was stored beyond it reads as its end.
open_dialog
expect_eq "$(drv range "$E2E_DLG" $IDC_DEPTH_SPIN)" "-1 1000" "up-down range"
expect_eq "$(drv text "$E2E_DLG" $IDC_DEPTH)" 1000 "stored 5000 shown"
close_with_depth 3 cancel

# The INI file's reader wraps 99999999999 to 1215752191 at 32 bits: still beyond the range.
printf '[Settings]\r\nDefaultRecursionDepth=99999999999\r\n' >"$E2E_APP/depth.ini"
e2e_open "$wlist" 'Z:\links\' /i=depth.ini
expect_eq "$(drv text "$E2E_DLG" $IDC_DEPTH)" 1000 "INI depth 99999999999 shown"
close_with_depth 0 cancel

# Flag off: nothing is stored, whatever the field holds.
e2e_reg_set_dword SaveRecursionDepth 0
e2e_reg_set_dword DefaultRecursionDepth 2
open_dialog
close_with_depth 9 cancel
expect_eq "$(e2e_reg_get DefaultRecursionDepth)" 2 "depth with SaveRecursionDepth off"

e2e_pass
