#!/bin/bash
# The settings dialog with the registry as the profile: it shows the stored values, OK writes all
# five (integers as REG_DWORD, paths as REG_SZ, exactly as typed) and the application uses them at
# once, Cancel writes nothing, the depth trio follows the "save recursion depth" box, letters in
# the depth are refused with the framework's message, and the main dialog tells about a new
# language file only when the path's text changed.
. "$(dirname "$0")/lib.sh"
e2e_setup

list="$E2E_WORK/list.lst"
e2e_list "$list" 'Z:\data\report.txt'

e2e_reg_set_dword SaveWindowPos 1
e2e_reg_set_dword SaveRecursionDepth 0
e2e_reg_set_dword DefaultRecursionDepth 3
e2e_reg_set_sz LanguageFile 'lang\old.lng'
mkdir -p "$E2E_APP/lang"
printf '; an empty language file\r\n' >"$E2E_APP/lang/old.lng"

e2e_open "$(e2e_winpath "$list")" 'Z:\links\'

open_settings() { # leaves the settings dialog in $set
    drv click "$E2E_DLG" $IDC_SETTINGS >/dev/null
    set="$(e2e_wait_owned "$E2E_DLG")"
    expect_eq "$(drv text "$set")" 'Настройки' "settings title"
}

close_settings() { # button (1 OK, 2 Cancel)
    drv click "$set" "$1" >/dev/null
    drv waitgone "$set" 5000 >/dev/null || fail "the settings dialog did not close with button $1"
}

expect_fields() { # savePos saveDepth depth language help what
    expect_eq "$(drv checked "$set" $IDC_SAVE_WINDOW_POS)" "$1" "$6: save window position"
    expect_eq "$(drv checked "$set" $IDC_SAVE_DEPTH)" "$2" "$6: save recursion depth"
    expect_eq "$(drv text "$set" $IDC_DEFAULT_DEPTH)" "$3" "$6: default depth"
    expect_eq "$(drv text "$set" $IDC_LANGUAGE_FILE)" "$4" "$6: language file"
    expect_eq "$(drv text "$set" $IDC_HELP_FILE)" "$5" "$6: help file"
}

expect_trio() { # enabled(0/1) what: clicks are posted, so give the dialog a moment
    local id i
    for id in $IDC_DEFAULT_DEPTH_LABEL $IDC_DEFAULT_DEPTH $IDC_DEFAULT_DEPTH_SPIN; do
        for ((i = 0; i < 30; i++)); do
            [ "$(drv enabled "$set" "$id")" = "$1" ] && break
            sleep 0.1
        done
        expect_eq "$(drv enabled "$set" "$id")" "$1" "$2: control $id enabled"
    done
}

expect_no_message() { # owner what
    sleep 0.7
    [ -z "$(drv owned "$1")" ] || fail "$2: unexpected message: $(drv owned "$1")"
}

# A value as `wine reg query` prints it (REG_DWORD as a signed decimal), read independently of
# the program and of the driver.
reg_query() { # name
    local line type data
    line="$(timeout -k 5 60 wine reg query "$E2E_REG_SETTINGS" /v "$1" 2>/dev/null | tr -d '\r' |
        grep -E "^ +$1 +REG_" | head -n1)" || return 1
    line="${line#"${line%%[! ]*}"}"
    line="${line#"$1"}"
    line="${line#"${line%%[! ]*}"}"
    type="${line%% *}"
    data="${line#"$type"}"
    data="${data#    }"
    if [ "$type" = REG_DWORD ]; then
        data=$((data))
        [ "$data" -gt 2147483647 ] && data=$((data - 4294967296))
    fi
    printf '%s\t%s\n' "$type" "$data"
}

registry_dump() {
    timeout -k 5 60 wine reg query "$E2E_REG_SETTINGS" 2>/dev/null | tr -d '\r' | sort
}

# Opening shows the stored values; the up-down control offers -1 to 1000.
open_settings
expect_fields 1 0 3 'lang\old.lng' '' "stored values"
expect_eq "$(drv range "$set" $IDC_DEFAULT_DEPTH_SPIN)" '-1 1000' "up-down range"
expect_trio 1 "save depth off"
e2e_screenshot settings "$set"

# OK writes all five values in their types, the paths exactly as typed.
drv click "$set" $IDC_SAVE_WINDOW_POS >/dev/null
drv set "$set" $IDC_DEFAULT_DEPTH 5000 >/dev/null
drv set "$set" $IDC_HELP_FILE 'velmora_en.chm' >/dev/null
close_settings 1
expect_no_message "$E2E_DLG" "OK with the language unchanged"
expect_eq "$(reg_query SaveWindowPos)" "REG_DWORD"$'\t'0 "SaveWindowPos written"
expect_eq "$(reg_query SaveRecursionDepth)" "REG_DWORD"$'\t'0 "SaveRecursionDepth written"
expect_eq "$(reg_query DefaultRecursionDepth)" "REG_DWORD"$'\t'5000 "a depth beyond the arrows' range is written as typed"
expect_eq "$(reg_query LanguageFile)" "REG_SZ"$'\t''lang\old.lng' "LanguageFile written"
expect_eq "$(reg_query HelpFile)" "REG_SZ"$'\t''velmora_en.chm' "HelpFile written"

# The application took the values: the dialog opens with them. The trio follows the box.
open_settings
expect_fields 0 0 5000 'lang\old.lng' 'velmora_en.chm' "values after OK"
drv click "$set" $IDC_SAVE_DEPTH >/dev/null
expect_trio 0 "save depth ticked"
drv click "$set" $IDC_SAVE_DEPTH >/dev/null
expect_trio 1 "save depth unticked"
drv click "$set" $IDC_SAVE_DEPTH >/dev/null
drv set "$set" $IDC_DEFAULT_DEPTH -7 >/dev/null
drv set "$set" $IDC_LANGUAGE_FILE 'lang\other.lng' >/dev/null
before="$(registry_dump)"
close_settings 2
expect_no_message "$E2E_DLG" "Cancel"
expect_eq "$(registry_dump)" "$before" "registry after Cancel"
open_settings
expect_fields 0 0 5000 'lang\old.lng' 'velmora_en.chm' "values after Cancel"

# Letters in the depth: the framework's message, the dialog stays, the focus is on the edit,
# nothing is written.
drv set "$set" $IDC_DEFAULT_DEPTH 'abc' >/dev/null
drv set "$set" $IDC_LANGUAGE_FILE 'lang\new.lng' >/dev/null
drv click "$set" $IDOK >/dev/null
msg="$(e2e_wait_owned "$set")"
expect_eq "$(e2e_static_texts "$msg")" 'Введите целое число.' "integer-format message"
e2e_screenshot settings_not_a_number "$msg"
drv click "$msg" $IDOK >/dev/null
drv waitgone "$msg" 5000 >/dev/null || fail "the integer message did not close"
expect_eq "$(drv visible "$set")" 1 "settings dialog after refused letters"
for ((i = 0; i < 30; i++)); do [ "$(drv focus "$set")" = "$IDC_DEFAULT_DEPTH" ] && break; sleep 0.1; done
expect_eq "$(drv focus "$set")" "$IDC_DEFAULT_DEPTH" "focus after refused letters"
expect_eq "$(registry_dump)" "$before" "registry after refused letters"

# A negative depth is taken; a new language file brings the bilingual notice.
drv set "$set" $IDC_DEFAULT_DEPTH -7 >/dev/null
close_settings 1
notice="$(e2e_wait_owned "$E2E_DLG")"
expect_eq "$(e2e_static_texts "$notice")" \
    'Язык поменяется при следующем запуске!\n\nLanguage will change on next start!' "language notice"
e2e_screenshot language_notice "$notice"
drv click "$notice" $IDOK >/dev/null
drv waitgone "$notice" 5000 >/dev/null || fail "the notice did not close"
expect_eq "$(reg_query DefaultRecursionDepth)" "REG_DWORD"$'\t'-7 "negative depth written"
expect_eq "$(reg_query LanguageFile)" "REG_SZ"$'\t''lang\new.lng' "new language file written"
# The main dialog itself is not re-localised or changed.
expect_eq "$(drv text "$E2E_DLG" $IDC_DEPTH)" 3 "main dialog depth untouched"

# Only the letter case changed: that is a change too.
open_settings
drv set "$set" $IDC_LANGUAGE_FILE 'lang\New.lng' >/dev/null
close_settings 1
notice="$(e2e_wait_owned "$E2E_DLG")"
drv click "$notice" $IDOK >/dev/null
drv waitgone "$notice" 5000 >/dev/null

# Unchanged text: no notice. Changed and cancelled: no notice.
open_settings
close_settings 1
expect_no_message "$E2E_DLG" "OK with the same language file"
open_settings
drv set "$set" $IDC_LANGUAGE_FILE 'English.lng' >/dev/null
close_settings 2
expect_no_message "$E2E_DLG" "Cancel after changing the language file"
expect_eq "$(reg_query LanguageFile)" "REG_SZ"$'\t''lang\New.lng' "LanguageFile after Cancel"

# A very long path is taken and stored whole.
long='C:\help'
for ((i = 0; i < 120; i++)); do long+='\a-rather-long-folder-name'; done
long+='\velmora.chm'
open_settings
drv set "$set" $IDC_HELP_FILE "$long" >/dev/null
close_settings 1
expect_no_message "$E2E_DLG" "OK with a long help path"
expect_eq "$(reg_query HelpFile)" "REG_SZ"$'\t'"$long" "long HelpFile written"
open_settings
expect_eq "$(drv text "$set" $IDC_HELP_FILE)" "$long" "long help path shown again"
close_settings 2

drv click "$E2E_DLG" $IDCANCEL >/dev/null
e2e_wait_exit
e2e_pass
