#!/bin/bash
# The main dialog's window rectangle: restored only when SaveWindowPos is on and all four values
# are stored and none is -1 (its size applied too); otherwise the dialog opens centred. On close
# it is stored when SaveWindowPos is on. Rectangles out of the user's reach: test_window_reach.sh.
. "$(dirname "$0")/lib.sh"
e2e_setup

list="$E2E_WORK/list.lst"
e2e_list "$list" 'Z:\data\a.txt'
wlist="$(e2e_winpath "$list")"

open_dialog() { # leaves the dialog's screen rectangle in $rect
    e2e_open "$wlist" 'Z:\links\'
    rect="$(drv rect "$E2E_DLG")"
}

close_dialog() {
    drv click "$E2E_DLG" $IDCANCEL >/dev/null
    e2e_wait_exit
}

# Centred on the 1024x768 screen, within a few pixels.
expect_centred() { # what
    local l t r b
    read -r l t r b <<<"$rect"
    local dx=$(((l + r) / 2 - 512)) dy=$(((t + b) / 2 - 384))
    [ "${dx#-}" -le 8 ] && [ "${dy#-}" -le 8 ] || fail "$1: window at $rect is not centred"
}

store_rect() { # left right top bottom (the stored order)
    e2e_reg_set_dword PosLeft "$1"
    e2e_reg_set_dword PosRight "$2"
    e2e_reg_set_dword PosTop "$3"
    e2e_reg_set_dword PosBottom "$4"
}

# Nothing stored, flag on: centred; the rectangle at close is stored.
e2e_reg_set_dword SaveWindowPos 1
open_dialog
expect_centred "nothing stored"
centred="$rect"
close_dialog
read -r l t r b <<<"$centred"
expect_eq "$(e2e_reg_get PosLeft) $(e2e_reg_get PosTop) $(e2e_reg_get PosRight) $(e2e_reg_get PosBottom)" \
    "$l $t $r $b" "rectangle stored on close"

# All four stored: that place and that size, even where it is larger than the template's.
right=$((100 + r - l + 25)) bottom=$((50 + b - t + 23))
store_rect 100 $right 50 $bottom
open_dialog
expect_eq "$rect" "100 50 $right $bottom" "restored rectangle"
e2e_screenshot main-dialog-restored "$E2E_DLG"
close_dialog
expect_eq "$(e2e_reg_get PosLeft) $(e2e_reg_get PosTop) $(e2e_reg_get PosRight) $(e2e_reg_get PosBottom)" \
    "100 50 $right $bottom" "restored rectangle stored again"

# One value -1, or one missing: nothing restored.
store_rect -1 500 50 200
open_dialog
expect_centred "PosLeft -1"
close_dialog

store_rect 100 500 50 200
e2e_reg_delete PosBottom
open_dialog
expect_centred "PosBottom missing"
close_dialog

# A rectangle that no monitor shows opens centred too.
store_rect 5000 5400 5000 5150
open_dialog
expect_centred "rectangle off every monitor"
close_dialog

# Flag off: the stored rectangle is not used and not overwritten.
e2e_reg_set_dword SaveWindowPos 0
store_rect 100 500 50 200
open_dialog
expect_centred "SaveWindowPos off"
close_dialog
expect_eq "$(e2e_reg_get PosLeft) $(e2e_reg_get PosTop) $(e2e_reg_get PosRight) $(e2e_reg_get PosBottom)" \
    "100 50 500 200" "rectangle with SaveWindowPos off"

e2e_pass
