#!/bin/bash
# Fails when a portable file (the engine, the parsers: everything the native tests, fuzzers and
# benchmarks link) or a project header it includes, directly or not, names a Windows header -
# even behind an #ifdef. Arguments: the source folder, then the portable .cpp files.
set -u
src="$1"
shift
declare -A seen
queue=()
for f in "$@"; do
    queue+=("$f")
    h="${f%.cpp}.h"
    [ -f "$h" ] && queue+=("$h")
done
bad=0
while [ ${#queue[@]} -gt 0 ]; do
    f="${queue[0]}"
    queue=("${queue[@]:1}")
    [ -n "${seen[$f]:-}" ] && continue
    seen[$f]=1
    if grep -nEi '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](windows|winbase|winuser|winnt|windef|winioctl|shellapi|shlwapi|commctrl|commdlg|winreg|tchar|io|direct|uxtheme|objbase)\.h[>"]' "$f"; then
        echo "portable file includes a Windows header: $f" >&2
        bad=1
    fi
    while read -r inc; do
        for base in "$src" "$(dirname "$f")"; do
            if [ -f "$base/$inc" ]; then
                queue+=("$(realpath "$base/$inc")")
                break
            fi
        done
    done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$f")
done
echo "checked ${#seen[@]} portable files" 2>/dev/null || true
exit $bad
