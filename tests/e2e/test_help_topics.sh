#!/bin/bash
# F1 opens the help topic of the window it is pressed in: the start page in the main dialog, the
# settings topic in Settings, the prompt's topic in the error prompt. A help or language file
# picked with "..." inside the program's folder is stored relative to it, any other as a full
# name; a relative help file is found in the program's folder after browsing elsewhere.
. "$(dirname "$0")/lib.sh"
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
langs="$E2E_WORK/lang files"
mkdir -p "$data" "$links" "$langs" "$E2E_APP/lang"
printf 'a\n' >"$data/a.txt"
printf 'taken\n' >"$links/a.txt"
printf '3=x\r\n' >"$langs/outside.lng"
printf '3=y\r\n' >"$E2E_APP/lang/inside.lng"
wapp="$(e2e_winpath "$E2E_APP")"
wlangs="$(e2e_winpath "$langs")"
e2e_list "$E2E_WORK/list.lst" "$(e2e_winpath "$data")\\a.txt"
printf '[Settings]\r\nHelpFile=velmora_en.chm\r\n' >"$E2E_APP/velmora.ini"

hh_args() { ps -eo args | grep -i 'hh.exe' | grep -F "$wapp" | grep -v grep; }

# Presses F1 in the window and checks the help viewer's argument, then closes the viewer.
expect_f1_topic() { # hwnd argument what
    drv press "$1" F1 >/dev/null || fail "$3: cannot press F1"
    local hh
    hh="$(e2e_wait_window 'HH Parent')"
    expect_eq "$(hh_args | sed 's/.*hh\.exe *//I')" "$2" "$3: help viewer's argument"
    drv syscommand "$hh" $SC_CLOSE >/dev/null
    drv waitgone "$hh" 10000 >/dev/null || fail "$3: the help window did not close"
    for ((i = 0; i < 50; i++)); do [ -z "$(hh_args)" ] && break; sleep 0.1; done
}

# Picks a file with a browse button of the settings dialog.
pick() { # settings-dialog button folder name
    local fd
    drv click "$1" "$2" >/dev/null
    fd="$(e2e_wait_owned "$1")"
    drv set "$fd" 1148 "$3\\$4" >/dev/null || fail "cannot type into the file dialog"
    drv click "$fd" $IDOK >/dev/null
    drv waitgone "$fd" 5000 >/dev/null || fail "the file dialog did not close on Open"
}

e2e_open "$(e2e_winpath "$E2E_WORK/list.lst")" "$(e2e_winpath "$links")\\" /i=velmora.ini
dlg="$E2E_DLG"
expect_f1_topic "$dlg" "$wapp\\velmora_en.chm" "main dialog"

drv click "$dlg" $IDC_SETTINGS >/dev/null
set="$(e2e_wait_owned "$dlg")"
pick "$set" $IDC_LANGUAGE_BROWSE "$wlangs" outside.lng
expect_eq "$(drv text "$set" $IDC_LANGUAGE_FILE)" "$wlangs\\outside.lng" "language file outside"
# The relative help file is still the program's, though the browser was elsewhere.
expect_f1_topic "$set" "$wapp\\velmora_en.chm::/prog_settings.htm" "settings"
pick "$set" $IDC_HELP_BROWSE "$wapp" velmora.chm
expect_eq "$(drv text "$set" $IDC_HELP_FILE)" 'velmora.chm' "help file inside"
pick "$set" $IDC_LANGUAGE_BROWSE "$wapp\\lang" inside.lng
expect_eq "$(drv text "$set" $IDC_LANGUAGE_FILE)" 'lang\inside.lng' "language file below"
drv click "$set" $IDOK >/dev/null
drv waitgone "$set" 5000 >/dev/null || fail "the settings dialog did not close on OK"
# The language notice.
box="$(e2e_wait_owned "$dlg")"
drv click "$box" $IDOK >/dev/null
drv waitgone "$box" 5000 >/dev/null
ini="$(tr -d '\r' <"$E2E_APP/velmora.ini")"
expect_contains "$ini" 'HelpFile=velmora.chm' "stored help file"
expect_contains "$ini" 'LanguageFile=lang\inside.lng' "stored language file"

# The error prompt: the link's name is taken.
drv click "$dlg" $IDOK >/dev/null
prompt="$(e2e_wait_owned "$dlg")"
expect_eq "$(drv text "$prompt")" 'Ошибка' "prompt title"
expect_f1_topic "$prompt" "$wapp\\velmora.chm::/error_prompt.htm" "error prompt"
e2e_answer "$prompt" $IDCANCEL
e2e_wait_exit

# At the next start the relative language file is read from the program's folder.
E2E_CWD="$langs" e2e_open "$(e2e_winpath "$E2E_WORK/list.lst")" 'Z:\links\' /i=velmora.ini
dlg="$E2E_DLG"
expect_eq "$(drv text "$dlg" $IDC_SETTINGS)" y "language file from the program's folder"
drv click "$dlg" $IDCANCEL >/dev/null
e2e_wait_exit

e2e_pass
