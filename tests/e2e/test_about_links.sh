#!/bin/bash
# The About box's two links, clicked with the mouse: the home page and "mailto:" with the
# support address reach the shell's handlers; when the shell cannot open the page, the program
# registered for web pages starts with the address in place of its placeholder (a trailing
# switch dropped); when both fail, message 1004 shows the code, with the built-in text when a
# language file gives 1004 a wrong placeholder.
#
# The handlers are test commands that record their command line. The classes they replace in
# the build's Wine prefix are exported first and restored when the test ends.
. "$(dirname "$0")/lib.sh"
e2e_setup
command -v xdotool >/dev/null || fail "xdotool is not installed (scripts/install-deps.sh)"

saved="$E2E_WORK/classes"
mkdir -p "$saved"
CLASSES=('HKCR\https' 'HKCR\mailto' 'HKCR\.htm' 'HKCR\velmora.test.htm')
reg() { timeout -k 5 60 wine reg "$@" >/dev/null 2>&1; }
for i in "${!CLASSES[@]}"; do
    reg export "${CLASSES[$i]}" "$(e2e_winpath "$saved/$i.reg")" /y || rm -f "$saved/$i.reg"
done
restore_classes() {
    for i in "${!CLASSES[@]}"; do
        reg delete "${CLASSES[$i]}" /f
        [ -f "$saved/$i.reg" ] && reg import "$(e2e_winpath "$saved/$i.reg")"
    done
}
trap 'rc=$?; restore_classes; (exit $rc); e2e_teardown' EXIT

record="$E2E_WORK/record.txt"
wrecord="$(e2e_winpath "$record")"
cmd='C:\windows\system32\cmd.exe'
set_command() { # class command
    reg add "$1\\shell\\open\\command" /ve /d "$2" /f || fail "cannot register $1"
}

list="$E2E_WORK/list.lst"
e2e_list "$list" 'Z:\data\report.txt'
printf '[Settings]\r\nLanguageFile=links.lng\r\n' >"$E2E_APP/velmora.ini"
: >"$E2E_APP/links.lng"

open_about() { # leaves the About box in $about
    e2e_open "$(e2e_winpath "$list")" 'Z:\links\' /i=velmora.ini
    drv syscommand "$E2E_DLG" $IDM_ABOUTBOX >/dev/null
    about="$(e2e_wait_owned "$E2E_DLG")"
}

close_all() {
    drv click "$about" $IDOK >/dev/null
    drv waitgone "$about" 5000 >/dev/null || fail "the About box did not close"
    drv click "$E2E_DLG" $IDCANCEL >/dev/null
    e2e_wait_exit
}

click_link() { # id: a real mouse click in the middle of the link
    local l t r b
    read -r l t r b <<<"$(drv rect "$about" "$1")" || fail "no control $1"
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1 || fail "xdotool could not click"
}

wait_record() { # text: waits until the record file holds it
    local i
    for ((i = 0; i < 100; i++)); do
        [ -f "$record" ] && grep -qF -- "$1" "$record" && return 0
        sleep 0.1
    done
    fail "the handler did not receive '$1' (record: $(cat "$record" 2>/dev/null))"
}

no_message() { # what
    sleep 0.5
    [ -z "$(drv owned "$about")" ] || fail "$1: a message appeared: $(e2e_static_texts "$(drv owned "$about" | head -n1 | cut -f2)")"
}

blue_pixels() { # id: how many pure blue pixels the link's rectangle shows on the screen
    local l t r b
    read -r l t r b <<<"$(drv rect "$about" "$1")"
    import -display "$DISPLAY" -window root -crop "$((r - l))x$((b - t))+$l+$t" +repage \
        "$E2E_WORK/link.png" 2>/dev/null || fail "cannot read the screen"
    convert "$E2E_WORK/link.png" -format %c histogram:info:- |
        awk '/#0000FF/ { n += $1 } END { print n + 0 }'
}

# 0. Both links are blue, before, while and after the mouse is over them.
open_about
sleep 0.3
for id in $IDC_HOME_LINK $IDC_MAIL_LINK; do
    [ "$(blue_pixels $id)" -gt 20 ] || fail "link $id is not drawn in blue"
done
read -r l t r b <<<"$(drv rect "$about" $IDC_HOME_LINK)"
xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) && sleep 0.3
[ "$(blue_pixels $IDC_HOME_LINK)" -gt 20 ] || fail "the home page link is not blue while hovered"
xdotool mousemove 5 5 && sleep 0.3
[ "$(blue_pixels $IDC_HOME_LINK)" -gt 20 ] || fail "the home page link is not blue after the mouse left"
close_all

# 1. The shell opens both addresses with their protocol handlers.
set_command 'HKCR\https' "$cmd /c echo web [%1]>>$wrecord"
set_command 'HKCR\mailto' "$cmd /c echo mail [%1]>>$wrecord"
reg delete 'HKCR\.htm' /f
open_about
click_link $IDC_HOME_LINK
wait_record 'web [https://tarnwell.example/velmora/]'
no_message "home page through the shell"
click_link $IDC_MAIL_LINK
wait_record 'mail [mailto:velmora@tarnwell.example]'
no_message "mail through the shell"
close_all

# 2. No https handler: the web-page program starts with the address; the switch after the
# placeholder is dropped.
rm -f "$record"
reg delete 'HKCR\https' /f
reg add 'HKCR\.htm' /ve /d velmora.test.htm /f || fail "cannot register .htm"
set_command 'HKCR\velmora.test.htm' "$cmd /c echo fallback>>$wrecord \"%1\" -nohome"
open_about
click_link $IDC_HOME_LINK
wait_record 'fallback'
line="$(tr -d '\r' <"$record" | grep fallback | head -n1)"
expect_contains "$line" 'https://tarnwell.example/velmora/' "fallback command line"
expect_not_contains "$line" '-nohome' "fallback command line"
expect_not_contains "$line" '%1' "fallback command line"
no_message "home page through the fallback"
close_all

# 3. Neither works: a beep and message 1004 with the code, built in.
reg delete 'HKCR\.htm' /f
reg delete 'HKCR\mailto' /f
open_about
click_link $IDC_HOME_LINK
msg="$(e2e_wait_owned "$about")"
text="$(e2e_static_texts "$msg")"
[[ "$text" =~ ^'Не удалось выполнить команду.\nКод ошибки: '[0-9]+\.$ ]] ||
    fail "message 1004: got '$text'"
e2e_screenshot link_failed "$msg"
drv click "$msg" $IDOK >/dev/null
drv waitgone "$msg" 5000 >/dev/null || fail "the message did not close"
close_all

# 4. A language text with the right placeholder is used; one with another is not.
printf '1004=Command failed, code %%d.\r\n' >"$E2E_APP/links.lng"
open_about
click_link $IDC_MAIL_LINK
msg="$(e2e_wait_owned "$about")"
[[ "$(e2e_static_texts "$msg")" =~ ^'Command failed, code '[0-9]+\.$ ]] ||
    fail "message 1004 from the language file: got '$(e2e_static_texts "$msg")'"
drv click "$msg" $IDOK >/dev/null
drv waitgone "$msg" 5000 >/dev/null
close_all

printf '1004=Command failed: %%s\r\n' >"$E2E_APP/links.lng"
open_about
click_link $IDC_HOME_LINK
msg="$(e2e_wait_owned "$about")"
[[ "$(e2e_static_texts "$msg")" =~ ^'Не удалось выполнить команду.\nКод ошибки: '[0-9]+\.$ ]] ||
    fail "message 1004 with a wrong placeholder: got '$(e2e_static_texts "$msg")'"
drv click "$msg" $IDOK >/dev/null
drv waitgone "$msg" 5000 >/dev/null
close_all

e2e_pass
