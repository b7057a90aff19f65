#!/bin/bash
# Checks the help: every topic named in a project, contents or index file exists, every link
# between topics leads to an existing topic, both editions hold the same topics, and the
# compiled files beside the program exist and hold the topics that the settings dialog and the
# error prompt open, every picture a topic shows exists, and the table of string numbers in the
# language-file topic (<table id="numbers">) lists every number of the program's built-in texts,
# and no other, in both editions.
#   check_help.sh <help source folder> <folder of the compiled .chm files> [<source folder>]
# The source folder (default: the help folder's parent) holds src/text/texts.h and texts.cpp.
set -uo pipefail
export LC_ALL=C
src=$1 bin=$2 root=${3:-$1/..}
fail=0
err() { echo "FAIL: $*"; fail=1; }

for edition in ru en; do
    dir="$src/$edition"
    hhp=$(ls "$dir"/*.hhp)
    # Topics the project lists.
    sed -n '/^\[FILES\]/,/^\[/p' "$hhp" | grep -v '^\[' | tr -d '\r' | while read -r f; do
        [ -z "$f" ] && continue
        case "$f" in style.css | *.png) continue ;; esac
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

# The built-in texts' numbers: the names the table in texts.cpp uses, looked up in the headers
# of src/text (texts.h names them today).
texts_h="$root/src/text/*.h" texts_cpp="$root/src/text/texts.cpp"
builtin_ids=$(
    cat $texts_h | grep -o -E '\bk[A-Za-z0-9]+ = [0-9]+' | sed -E 's/ = / /' | sort -u -k1,1 >"${TMPDIR:-/tmp}/ids.$$"
    grep -o -E '\{txt::k[A-Za-z0-9]+,' "$texts_cpp" | sed -E 's/^\{txt::(k[A-Za-z0-9]+),$/\1/' | sort -u |
        join - "${TMPDIR:-/tmp}/ids.$$" | awk '{ print $2 }' | sort -n
    rm -f "${TMPDIR:-/tmp}/ids.$$"
)
builtin_count=$(echo "$builtin_ids" | grep -c .)
builtin_names=$(grep -c -E '\{txt::k[A-Za-z0-9]+,' "$texts_cpp")
# Every name of the table must have been found with its number, or the reading above is broken.
[ "$builtin_count" -ge 10 ] && [ "$builtin_count" -eq "$builtin_names" ] ||
    err "cannot read the built-in texts' numbers from $texts_h and $texts_cpp ($builtin_count of $builtin_names)"
for edition in ru en; do
    page="$src/$edition/language_files.htm"
    # The first cell of every row of the numbers table.
    listed=$(sed -n '/<table id="numbers">/,/<\/table>/p' "$page" |
        sed -n -E 's/^<tr><td>([0-9]+)<\/td>.*/\1/p' | sort -n)
    [ -n "$listed" ] || err "$edition: language_files.htm has no table of string numbers"
    for id in $(comm -23 <(echo "$builtin_ids" | sort) <(echo "$listed" | sort)); do
        err "$edition: string number $id is not in the table of language_files.htm"
    done
    for id in $(comm -13 <(echo "$builtin_ids" | sort) <(echo "$listed" | sort)); do
        err "$edition: language_files.htm lists $id, which the program does not have"
    done
    dups=$(echo "$listed" | uniq -d | tr '\n' ' ')
    [ -z "$dups" ] || err "$edition: language_files.htm lists $dups more than once"
    # Pictures the topics show, from the screenshots folder the help is compiled with.
    for img in $(grep -o -h -E '<img [^>]*src="[^"]+"' "$src/$edition"/*.htm | sed -E 's/.*src="([^"]+)"/\1/' | sort -u); do
        [ -f "$root/docs/screenshots/$img" ] || err "$edition: the help shows $img, missing in docs/screenshots"
        grep -qx "$img" <(tr -d '\r' < "$(ls "$src/$edition"/*.hhp)") || err "$edition: $img not in the project's [FILES]"
    done
done

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
