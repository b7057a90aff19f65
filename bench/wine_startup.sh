#!/bin/bash
# Time from starting velmora.exe under Wine to its visible main dialog, with a one-entry list
# and with a 100,000-entry list, alternating, five runs each (Wine's server is stopped between
# runs, so every run starts alike). Needs the Windows build (scripts/build.sh win) and a
# display (DISPLAY set, e.g. an Xvfb). Usage: bench/wine_startup.sh [build/win]
set -u
build="$(cd "${1:-build/win}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
python3 - "$work" <<'PY'
import sys
w = sys.argv[1]
open(f'{w}/one.lst', 'wb').write(b'Z:\\tmp\\a.txt\r\n')
with open(f'{w}/big.lst', 'wb') as f:
    for i in range(100000):
        f.write(('Z:\\tmp\\data\\folder%03d\\file%06d.txt\r\n' % (i % 300, i)).encode())
PY
declare -A times
for list in one big one big one big one big one big; do
    t0=$(date +%s%N)
    timeout -k 5 60 wine "$build/velmora.exe" "$work/$list.lst" 'Z:\tmp\target\' >/dev/null 2>&1 &
    pid=$!
    until xwininfo -root -tree 2>/dev/null | grep -q '"Velmora 1.1"'; do sleep 0.02; done
    t1=$(date +%s%N)
    ms=$(((t1 - t0) / 1000000))
    echo "$list list: $ms ms"
    times[$list]="${times[$list]:-} $ms"
    kill "$pid" 2>/dev/null
    timeout -k 5 30 wineserver -k 2>/dev/null
    sleep 0.3
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
one=$(median "${times[one]}")
big=$(median "${times[big]}")
echo "median: one entry $one ms, 100,000 entries $big ms, ratio $(awk -v a="$big" -v b="$one" 'BEGIN { printf "%.2f", a / b }')"
