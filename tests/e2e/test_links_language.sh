#!/bin/bash
# The error prompt with a language file: its title, buttons and message lines come from the
# file; a message text whose conversions do not fit (a number, a missing or an extra name) is
# not used as a format, the built-in line is shown instead, and the batch goes on.
. "$(dirname "$0")/lib.sh"
e2e_setup

data="$E2E_WORK/data"
links="$E2E_WORK/links"
mkdir -p "$data/Photos/sub" "$links"
printf 'a\n' >"$data/a.txt"
printf 'b\n' >"$data/Photos/b.jpg"
wdata="$(e2e_winpath "$data")"
wlinks="$(e2e_winpath "$links")"
ALREADY_EXISTS="$(e2e_error_text 183)"
NOT_SUPPORTED="$(e2e_error_text 50)"

# Like e2e_link_run (the main dialog in E2E_DLG), with the settings in an INI file that names
# the language file.
run_with_language() { # language-file depth entry...
    local depth="$2"
    printf '[Settings]\r\nLanguageFile=%s\r\n' "$1" >"$E2E_APP/velmora.ini"
    shift 2
    e2e_list "$E2E_WORK/run.lst" "$@"
    e2e_open "$(e2e_winpath "$E2E_WORK/run.lst")" "$wlinks\\" /i=velmora.ini
    drv set "$E2E_DLG" $IDC_DEPTH "$depth" >/dev/null || fail "cannot set the depth"
    drv click "$E2E_DLG" $IDOK >/dev/null || fail "cannot press OK"
}

# The shipped English file: every text of the prompt is English (a "\n" in a language text
# reads as CR LF).
[ -f "$E2E_APP/English.lng" ] || fail "English.lng is not built beside the program"
echo obstacle >"$links/a.txt"
run_with_language English.lng 0 "$wdata\\a.txt" "$wdata\\Photos\\"
prompt="$(e2e_wait_owned "$E2E_DLG")"
expect_eq "$(drv text "$prompt")" Error "English: title"
expect_eq "$(e2e_control_text "$prompt" $IDC_ERROR_TEXT)" \
    "Error while creating the link for the file\\r\\n${wdata//\\/\\\\}\\\\a.txt\\n$ALREADY_EXISTS" \
    "English: file prompt"
expect_eq "$(drv controls "$prompt" | cut -f2,6 | tail -n4 | tr '\t\n' '= ')" \
    "$IDC_SKIP=&Skip $IDC_RETRY=&Retry $IDC_SKIP_ALL=Skip &all $IDCANCEL=&Cancel " "English: buttons"
e2e_screenshot links-error-prompt-en "$prompt"
e2e_answer "$prompt" $IDC_SKIP
prompt="$(e2e_wait_owned "$E2E_DLG")"
expect_eq "$(e2e_control_text "$prompt" $IDC_ERROR_TEXT)" \
    "Error while creating the link for the folder\\r\\n${wlinks//\\/\\\\}\\\\Photos\\n$NOT_SUPPORTED" \
    "English: junction prompt"
e2e_answer "$prompt" $IDC_SKIP
e2e_expect_end "$E2E_DLG" "English" 30 2

# Texts that do not fit: 105 wants a number, 106 a second name; 107 fits. 100 and 101 replace
# the title and Skip, the other buttons keep the template's texts.
printf '%s\r\n' '100=Fehler' '101=&Weiter' '105=Datei %d' '106=Ordner %s %s' \
    '107=Ordner anlegen: %s (100%%)' >"$E2E_APP/bad.lng"
mkdir -p "$data/Other"
echo obstacle >"$links/Other"

# Checks the prompt's texts: the title, the message (escaped as the driver gives it) and the
# buttons; prints the prompt.
expect_prompt_texts() { # what message
    local prompt
    prompt="$(e2e_wait_owned "$E2E_DLG")"
    expect_eq "$(drv text "$prompt")" Fehler "$1: title"
    expect_eq "$(drv controls "$prompt" | cut -f2,6 | tr '\t\n' '= ')" "$IDC_ERROR_TEXT=$2\
 $IDC_SKIP=&Weiter $IDC_RETRY=Повтор&ить $IDC_SKIP_ALL=Пропустить &все $IDCANCEL=&Отмена " "$1: prompt"
    echo "$prompt"
}
run_with_language bad.lng 1 "$wdata\\a.txt" "$wdata\\Photos\\" "$wdata\\Other\\"
prompt="$(expect_prompt_texts "105 with a number" \
    "Ошибка при создании ссылки для файла\\n${wdata//\\/\\\\}\\\\a.txt\\n$ALREADY_EXISTS")"
e2e_answer "$prompt" $IDC_SKIP
prompt="$(expect_prompt_texts "106 with two names" \
    "Ошибка при создании ссылки для каталога\\n${wlinks//\\/\\\\}\\\\Photos\\\\sub\\n$NOT_SUPPORTED")"
e2e_answer "$prompt" $IDC_SKIP
prompt="$(expect_prompt_texts "107 that fits" \
    "Ordner anlegen: ${wlinks//\\/\\\\}\\\\Other (100%)\\n$ALREADY_EXISTS")"
e2e_answer "$prompt" $IDC_SKIP
e2e_expect_end "$E2E_DLG" "texts that do not fit" 30 2
expect_hard_link "$links/Photos/b.jpg" "$data/Photos/b.jpg" "texts that do not fit"
expect_eq "$(cat "$links/Other")" obstacle "texts that do not fit: the obstacle"

e2e_pass
