#!/bin/bash
# Fails when a file under src/ includes a project header its folder may not include. The rule is
# the README's source-tree table, read here: a row "| `src/<folder>/` | ... | <may include> |"
# lets <folder> include its own files and the folders named in the last column ("everything",
# or none for "OS headers only"); a header outside src/ counts as the folder it lives in
# (resource.h: res). A row may name only the folders of rows above it, so no cycle can form.
# Arguments: the source root (holding README.md, src/ and res/).
set -u
root="$1"
declare -A allowed
folders=()
bad=0
while IFS='|' read -r folder rule; do
    for name in ${rule//,/ }; do
        name="${name%%/*}"
        [ -d "$root/src/$name" ] || continue  # not a source folder: res/, "everything"
        [[ " ${folders[*]} " == *" $name "* ]] && continue
        echo "README: src/$folder/ may include $name, which is no layer below it" >&2
        bad=1
    done
    folders+=("$folder")
    allowed[$folder]="$rule"
done < <(sed -nE 's/^\| *`src\/([a-z0-9_]+)\/` *\|.*\| *([^|]*[^ |]) *\| *$/\1|\2/p' "$root/README.md" |
    sed -E 's/`//g; s/\|OS headers only$/|/')
[ ${#folders[@]} -gt 0 ] || { echo "README: no source-tree rows found" >&2; exit 1; }

for folder in "${folders[@]}"; do
    rule="${allowed[$folder]}"
    [ "$rule" == everything ] && continue
    while IFS=: read -r file line inc; do
        if [[ "$inc" == */* ]]; then
            layer="${inc%%/*}"
        elif [ -f "$(dirname "$file")/$inc" ]; then
            layer="$folder"
        elif [ -f "$root/res/$inc" ]; then
            layer=res
        else
            layer="?"
        fi
        [ "$layer" == "$folder" ] && continue
        [[ ", $rule, " == *", $layer"[,/]* ]] && continue
        echo "$file:$line: src/$folder/ may not include \"$inc\" (README: $folder may include: ${rule:-OS headers only})" >&2
        bad=1
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$root/src/$folder" |
        sed -E 's/^([^:]+):([0-9]+):[^"]*"([^"]+)".*/\1:\2:\3/')
done
for dir in "$root"/src/*/; do
    name="$(basename "$dir")"
    [ -n "${allowed[$name]+x}" ] || { echo "README: src/$name/ has no row in the source-tree table" >&2; bad=1; }
done
[ $bad -eq 0 ] && echo "checked the includes of ${#folders[@]} source folders"
exit $bad
