#!/bin/bash
# Checks the help: every topic named in a project, contents or index file exists, every link
# between topics leads to an existing topic, both editions hold the same topics, and the
# compiled files beside the program exist and hold the topics that the settings dialog and the
# error prompt open.
#   check_help.sh <help source folder> <folder of the compiled .chm files>
set -uo pipefail
src=$1 bin=$2
fail=0
err() { echo "FAIL: $*"; fail=1; }

for edition in ru en; do
    dir="$src/$edition"
    hhp=$(ls "$dir"/*.hhp)
    # Topics the project lists.
    sed -n '/^\[FILES\]/,/^\[/p' "$hhp" | grep -v '^\[' | tr -d '\r' | while read -r f; do
        [ -z "$f" ] && continue
        [ "$f" = style.css ] && continue
        [ -f "$dir/$f" ] || echo "FAIL: $edition: $hhp lists missing $f"
    done
    # Targets of the contents, the index and every relative link.
    for f in "$dir"/*.hhc "$dir"/*.hhk "$dir"/*.htm; do
        grep -o -E '(value|href)="[^"#:]+\.htm' "$f" | sed -E 's/^(value|href)="//' | sort -u |
            while read -r target; do
                [ -f "$dir/$target" ] || echo "FAIL: $edition: $(basename "$f") refers to missing $target"
            done
        # Every topic must be listed in the project, or the compiler leaves it out.
        case "$f" in *.htm)
            grep -qx "$(basename "$f")" <(tr -d '\r' < "$hhp") || err "$edition: $(basename "$f") not in $(basename "$hhp")";;
        esac
    done
done > "${TMPDIR:-/tmp}/check_help.$$" 2>&1
if grep -q FAIL "${TMPDIR:-/tmp}/check_help.$$"; then cat "${TMPDIR:-/tmp}/check_help.$$"; fail=1; fi
rm -f "${TMPDIR:-/tmp}/check_help.$$"

ru_topics=$(cd "$src/ru" && ls *.htm)
en_topics=$(cd "$src/en" && ls *.htm)
[ "$ru_topics" = "$en_topics" ] || err "the editions hold different topics"

for chm in velmora.chm velmora_en.chm; do
    f="$bin/$chm"
    if [ ! -s "$f" ]; then err "$f missing or empty"; continue; fi
    [ "$(head -c 4 "$f")" = ITSF ] || err "$f is not a compiled help file"
    # The directory of a compiled help file lists every stored name in plain bytes.
    for topic in prog_settings.htm error_prompt.htm index.htm; do
        grep -q -a "/$topic" "$f" || err "$f does not hold $topic"
    done
done

if [ $fail -eq 0 ]; then echo "help: 1 passed, 0 failed"; else echo "help: 0 passed, 1 failed"; fi
exit $fail
