#!/bin/bash
# Compiles one edition of the help into a .chm with chmcmd.
#   build_chm.sh <edition source folder> <shared style.css> <staging folder> <output .chm> <charset>
#                [<folder of the pictures>]
# Pictures (*.png) that the project lists in [FILES] are copied from the pictures folder.
# The sources are UTF-8. The Russian edition is converted to windows-1251, the code page of its
# LCID: the help viewer reads the contents and index files in that code page, whatever their
# meta tags say, and the full-text index is built from the same bytes.
set -euo pipefail
src=$1 css=$2 stage=$3 out=$4 charset=$5 pictures=${6:-}

rm -rf "$stage"
mkdir -p "$stage"
cp "$css" "$stage/style.css"
for f in "$src"/*.htm "$src"/*.hhc "$src"/*.hhk "$src"/*.hhp; do
    name=$(basename "$f")
    if [ "$charset" = utf-8 ]; then
        cp "$f" "$stage/$name"
    else
        sed "s/charset=utf-8/charset=$charset/" "$f" | iconv -f UTF-8 -t "$charset" > "$stage/$name"
    fi
done

# Pictures are taken as they are.
for f in "$src"/*.png; do [ -f "$f" ] && cp "$f" "$stage/"; done
project=$(ls "$stage"/*.hhp)
# A picture not taken yet is left out with a warning (scripts/screenshots.sh needs the build to
# take it); the help test fails on it.
for picture in $(sed -n '/^\[FILES\]/,/^\[/p' "$project" | tr -d '\r' | grep -E '\.png$'); do
    if [ -f "$pictures/$picture" ]; then
        cp "$pictures/$picture" "$stage/$picture"
    else
        echo "build_chm.sh: warning: $pictures/$picture is missing (scripts/screenshots.sh)" >&2
        sed -i "/^$picture\r\?\$/d" "$project"
    fi
done
(cd "$stage" && chmcmd --no-html-scan "$(basename "$project")" > chmcmd.log 2>&1) || {
    cat "$stage/chmcmd.log" >&2
    exit 1
}
built="$stage/$(sed -n 's/^Compiled file=//p' "$project" | tr -d '\r')"
if [ ! -s "$built" ]; then
    cat "$stage/chmcmd.log" >&2
    echo "build_chm.sh: chmcmd made no $built" >&2
    exit 1
fi
mv -f "$built" "$out"
