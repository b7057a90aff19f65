#!/bin/bash
# Long names never push a window off the screen: the summary after 300 skipped entries of 620
# characters, and the error prompt for an 8,000-character name, lie wholly on the work area,
# with their counts, reason and buttons; a name too long is shortened in its middle.
: "${E2E_TIMEOUT:=120}"
. "$(dirname "$0")/lib.sh"
e2e_setup

links="$E2E_WORK/links"
mkdir -p "$links"
read -r wl wt wr wb <<<"$(drv workarea)"

# Left top right bottom of a window (or one of its controls) inside the work area.
expect_on_work_area() { # hwnd [id] what
    local l t r b
    read -r l t r b <<<"$(drv rect "$1" ${2:+"$2"})"
    [ "$l" -ge "$wl" ] && [ "$t" -ge "$wt" ] && [ "$r" -le "$wr" ] && [ "$b" -le "$wb" ] ||
        fail "$3 at $l $t $r $b, beyond the work area $wl $wt $wr $wb"
}

# A missing file whose name has 620 characters: Z:\...\ plus folders of 60 letters.
long_name() { # index length
    local name part
    name="$(e2e_winpath "$E2E_WORK")\\missing$1"
    part="$(printf 'x%.0s' {1..59})"
    while [ "${#name}" -lt "$2" ]; do name+="\\$part"; done
    printf '%s' "${name:0:$2}"
}

entries=()
for ((i = 0; i < 300; i++)); do entries+=("$(long_name "$i" 620)"); done
e2e_link_run "$(e2e_winpath "$links")\\" "" 0 "${entries[@]}"
prompt="$(e2e_wait_owned "$E2E_DLG" 30000)"
expect_on_work_area "$prompt" "" "the prompt for a 620-character name"
e2e_answer "$prompt" $IDC_SKIP_ALL
summary="$(e2e_wait_owned "$E2E_DLG" 60000)"
expect_on_work_area "$summary" "" "the summary of 300 skipped names"
expect_on_work_area "$summary" $IDOK "the summary's OK"
text="$(e2e_static_texts "$summary")"
expect_contains "$text" "Пропущено: 300" "the summary"
expect_contains "$text" "и ещё 290" "the summary"
expect_contains "$text" "…" "the summary's shortened names"
e2e_screenshot "fit-summary" "$summary"
drv key "$summary" Enter >/dev/null
e2e_wait_exit
expect_eq "$E2E_EXIT_CODE" 2 "exit code after the summary"

# One name of 8,000 characters: the prompt keeps its reason and buttons on the screen.
e2e_link_run "$(e2e_winpath "$links")\\" "" 0 "$(long_name 0 8000)"
prompt="$(e2e_wait_owned "$E2E_DLG" 30000)"
expect_on_work_area "$prompt" "" "the prompt for an 8,000-character name"
for id in $IDC_ERROR_TEXT $IDC_SKIP $IDC_RETRY $IDC_SKIP_ALL $IDCANCEL; do
    expect_on_work_area "$prompt" "$id" "control $id of the prompt"
done
message="$(e2e_control_text "$prompt" $IDC_ERROR_TEXT)"
expect_contains "$message" "…" "the prompt's shortened name"
expect_contains "$message" "xxxxxxxx" "the prompt's name"
[ "${#message}" -lt 8000 ] || fail "the prompt shows the whole name (${#message} characters)"
e2e_screenshot "fit-prompt" "$prompt"
e2e_answer "$prompt" $IDCANCEL
e2e_wait_exit
expect_eq "$E2E_EXIT_CODE" 3 "exit code after Cancel"
e2e_pass
