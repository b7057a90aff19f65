#!/bin/bash
# A stored window rectangle is restored only where the user can reach the window: at (0,0) with
# the dialog's own size it opens there; a size smaller than the dialog's own, one that does not
# fit an int, or a title bar not wholly on the screen's work area opens it centred instead.
. "$(dirname "$0")/lib.sh"
e2e_setup

list="$E2E_WORK/list.lst"
e2e_list "$list" 'Z:\data\a.txt'

# Opens the dialog, leaves its rectangle (left top right bottom) in $shown and closes it.
open_rect() { # [screenshot name]
    e2e_open "$(e2e_winpath "$list")" 'Z:\links\'
    shown="$(drv rect "$E2E_DLG")"
    [ -z "${1:-}" ] || e2e_screenshot "$1" "$E2E_DLG"
    drv click "$E2E_DLG" $IDCANCEL >/dev/null
    e2e_wait_exit
}

store_rect() { # left right top bottom (the stored order)
    e2e_reg_set_dword PosLeft "$1"
    e2e_reg_set_dword PosRight "$2"
    e2e_reg_set_dword PosTop "$3"
    e2e_reg_set_dword PosBottom "$4"
}

e2e_reg_set_dword SaveWindowPos 1
open_rect
centred="$shown"
read -r l t r b <<<"$centred"
w=$((r - l)) h=$((b - t))
[ "$w" -gt 100 ] && [ "$h" -gt 50 ] || fail "the dialog's own size is $w x $h"

# what | stored left right top bottom | expected rectangle (left top right bottom) or "centred"
while IFS='|' read -r what stored expected; do
    [ -n "$what" ] || continue
    # shellcheck disable=SC2086
    store_rect $stored
    open_rect "window-reach-${what// /-}"
    [ "$expected" = centred ] && expected="$centred"
    expect_eq "$shown" "$expected" "$what"
done <<CASES
at 0,0 with its own size|0 $w 0 $h|0 0 $w $h
larger than its own size|100 $((100 + w + 60)) 50 $((50 + h + 30))|100 50 $((100 + w + 60)) $((50 + h + 30))
lower half below the screen|200 $((200 + w)) $((768 - h / 2)) $((768 - h / 2 + h))|200 $((768 - h / 2)) $((200 + w)) $((768 - h / 2 + h))
narrower than its own size|100 $((100 + w - 20)) 50 $((50 + h))|centred
10 x 9 pixels|100 110 50 59|centred
size overflows|0x80000000 0x7fffffff 0x80000000 0x7fffffff|centred
title bar above the screen|100 $((100 + w)) -10 $((h - 10))|centred
title bar over the right edge|$((1024 - w / 2)) $((1024 - w / 2 + w)) 100 $((100 + h))|centred
CASES

e2e_pass
