#!/bin/bash
# Under one Wine, on one tree: the real velmora.exe mirroring it (a list file holding the tree's
# folder, depth -1, OK pressed by the driver), the minimal Win32 mirror win32_mirror.exe (the
# floor for any Windows program there, bench/win32_mirror.cpp) and, for reference, `cp -al`
# (native). The three take turns, the order rotating every round; each mirror is checked and
# removed (untimed, then `sync`) before the next run. Needs the Windows build
# (scripts/build.sh win) and Xvfb.
#
#   bench/wine_mirror.sh [sizes] [runs]       default: 10000,100000 and 5
#
# What is timed, and why it is fair to both Windows programs: from the moment the benchmark
# asks for the work to start to the moment the process has ended (bash's `wait` returns).
#  - velmora.exe: started, its dialog found and the depth set untimed; the clock starts just
#    before the driver is told to post the OK click, and stops when the process is gone.
#  - win32_mirror.exe --wait: started untimed; it writes "ready" and waits for a line on its
#    standard input; the clock starts just before that line is written and stops when the
#    process is gone.
# Both leave out Wine's and the program's start-up and include the program's whole exit. The
# clock starts early for velmora.exe by the driver's round trip (its serving process reads
# the command, posts the click and answers); that round trip is measured and printed, so the
# ratio can be read with it: it counts against velmora.exe, never for it.
#
# Beside the wall clock, the processor time over the same span: the program's own (its whole
# life's, from the shell's child usage, less what it had used when the clock started, from
# /proc/PID/schedstat) plus the Wine server's and the X server's (schedstat before and after),
# since every file call of a Wine program is also work of the Wine server, and every redraw
# of velmora.exe's dialog work of the X server. On a machine shared with others' builds the
# wall clock waits for the processor at every round trip to the server; the processor time
# does much less, so it is the steadier comparison there. Every run also records how busy
# the machine was with everything else meanwhile ("others", a share of all cores, from
# /proc/stat less the run's own processor time), and the ratios are given both of the
# medians and as the median of each round's own ratio (the three ran minutes apart at most).
#
# One at a time per build: the rig's set-up and teardown stop the Wine server of the build's
# prefix, and every program of that prefix with it (a program whose server goes away ends
# with exit code 0 and leaves its mirror half made). A second run on the same build is
# refused; do not run the end-to-end tests of the same build meanwhile either.
. "$(dirname "$0")/../tests/e2e/lib.sh"
exec {bench_lock}>"$VELMORA_BUILD_DIR/wine_mirror.lock"
flock -n "$bench_lock" || { echo "wine_mirror.sh: another run uses $VELMORA_BUILD_DIR" >&2; exit 2; }
sizes="${1:-10000,100000}"
runs="${2:-5}"
E2E_TIMEOUT=3600
FLOOR_EXE="$VELMORA_BUILD_DIR/bench/win32_mirror.exe"
ENGINE_EXE="$VELMORA_BUILD_DIR/bench/win32_engine.exe"
for exe in "$FLOOR_EXE" "$ENGINE_EXE"; do
    [ -f "$exe" ] || fail "$exe is not built: scripts/build.sh win"
done
e2e_setup

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "temp folder: ${TMPDIR:-/tmp} on $(df -T "${TMPDIR:-/tmp}" | awk 'NR==2 {print $2}')"
echo "$(wine --version 2>/dev/null), commit $(git -C "$E2E_SOURCE_DIR" rev-parse --short HEAD)$(git -C "$E2E_SOURCE_DIR" diff --quiet HEAD -- src bench || echo ' (with changes)')"
echo "date: $(date -u '+%Y-%m-%d %H:%M UTC'), load:$(uptime | sed 's/.*load average//')"

data="$E2E_WORK/data"
links="$E2E_WORK/links"
mkdir -p "$links"
wlinks="$(e2e_winpath "$links")"
mkfifo "$E2E_WORK/go" "$E2E_WORK/ready"

# The tree of bench/mirror_bench.cpp: N small files over about N/90 leaf folders three levels
# deep. Prints the number of folders, the tree's own included.
make_tree() { # folder files
    python3 - "$1" "$2" <<'PY'
import os, sys
root, files = sys.argv[1], int(sys.argv[2])
leaves = max(1, (files + 45) // 90)
b = 1
while b * b * b < leaves:
    b += 1
paths = ['%s/d%d/d%d/d%d' % (root, l // (b * b), l // b % b, l % b) for l in range(leaves)]
made = set()
for p in paths:
    os.makedirs(p, exist_ok=True)
    made.update([p, os.path.dirname(p), os.path.dirname(os.path.dirname(p))])
for i in range(files):
    with open('%s/file%d.txt' % (paths[i % leaves], i), 'w') as f:
        f.write('file %d\n' % i)
print(len(made) + 1)
PY
}

elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

# The Wine server of this prefix: its folder is named after the prefix's device and inode.
server_dir="$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))"
server_pid=""
for p in $(pgrep wineserver); do
    [[ "$(readlink "/proc/$p/cwd")" == */"$server_dir" ]] && server_pid="$p"
done
[ -n "$server_pid" ] || fail "cannot find the Wine server of $WINEPREFIX"

# The rig's X server (its variable was renamed once; either name will do).
xvfb_pid="${VELMORA_XVFB_PID:-${E2E_XVFB_PID:-}}"
[ -n "$xvfb_pid" ] && [ -d "/proc/$xvfb_pid" ] || fail "cannot find the rig's Xvfb"

# Processor time in nanoseconds a running process has used so far, all its threads.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ t += $1 } END { printf "%.0f", t }'; }
# Processor time of the shell's ended and collected children, in nanoseconds, from `times`
# written to FILE. (`times` must run in this shell itself: a subshell has children of its own.)
children_ns() { # file
    awk 'NR == 2 { t = 0; for (i = 1; i <= 2; i++) { split($i, p, /[ms]/); t += p[1] * 60 + p[2] } printf "%.0f", t * 1e9 }' "$1"
}
# Processor time in nanoseconds the whole machine has been busy (every core, every process).
machine_busy_ns() {
    awk -v hz="$(getconf CLK_TCK)" '$1 == "cpu" { printf "%.0f", ($2 + $3 + $4 + $7 + $8 + $9) * 1e9 / hz }' /proc/stat
}
cores=$(nproc)

# Starts the clocks for the Windows program started as the child of `timeout` $1.
clock_start() {
    local prog
    prog="$(pgrep -P "$1" | head -1)"
    cpu_prog0=$(cpu_ns "$prog")
    cpu_server0=$(cpu_ns "$server_pid")
    cpu_x0=$(cpu_ns "$xvfb_pid")
    busy0=$(machine_busy_ns)
    times >"$E2E_WORK/times0"
    start=$EPOCHREALTIME
}
# Stops them once `timeout` has been collected: sets `took` and `cpu` (seconds).
clock_stop() {
    local end=$EPOCHREALTIME server x children
    times >"$E2E_WORK/times1"
    server=$(cpu_ns "$server_pid")
    x=$(cpu_ns "$xvfb_pid")
    others_from "$busy0"
    took="$(elapsed "$start" "$end")"
    children=$(($(children_ns "$E2E_WORK/times1") - $(children_ns "$E2E_WORK/times0")))
    cpu_split="$(awk -v c="$((children - cpu_prog0))" -v s="$((server - cpu_server0))" -v x="$((x - cpu_x0))" 'BEGIN { printf "program %.3f + Wine server %.3f + X server %.3f", c / 1e9, s / 1e9, x / 1e9 }')"
    cpu="$(awk -v c="$((children - cpu_prog0))" -v s="$((server - cpu_server0))" -v x="$((x - cpu_x0))" 'BEGIN { printf "%.3f", (c + s + x) / 1e9 }')"
    others="$(awk -v b="$busy" -v c="$cpu" -v w="$took" -v n="$cores" 'BEGIN { o = b / 1e9 - c; if (o < 0) o = 0; printf "%.0f", 100 * o / (n * w) }')"
}

# How busy the machine was with everything else over the run just timed: `busy` (ns, every
# process) from busy0 to now; `others` is set by the caller's clock_stop or run_cp.
others_from() { # busy0
    busy=$(($(machine_busy_ns) - $1))
}

# The mirror of the tree must be complete: every folder, every file with two links.
check_mirror() { # what
    local f d
    f="$(find "$links/tree" -type f -links 2 | wc -l)"
    d="$(find "$links/tree" -type d | wc -l)"
    expect_eq "$f" "$files" "$1: files hard-linked in the mirror"
    expect_eq "$d" "$folders" "$1: folders in the mirror"
}

clear_mirror() {
    rm -rf "${links:?}/tree"
    sync
}

# Each sets `took` (seconds).
run_velmora() {
    e2e_list "$E2E_WORK/run.lst" "$wsource\\"
    e2e_start "$(e2e_winpath "$E2E_WORK/run.lst")" "$wlinks\\"
    dlg="$(e2e_wait_window "Velmora 1.1")"
    drv set "$dlg" 1011 -1 >/dev/null || fail "cannot set the depth"
    local code
    clock_start "$E2E_VELMORA_PID"
    drv click "$dlg" 1 >/dev/null || fail "cannot press OK"
    wait "$E2E_VELMORA_PID"
    code=$?
    clock_stop
    E2E_VELMORA_PID=""
    expect_eq "$code" 0 "velmora.exe exit code"
    check_mirror velmora.exe
}

# A program that writes "ready" and waits for a line on its input: win32_mirror.exe (the
# floor) or win32_engine.exe (velmora.exe's engine and back end without its dialog).
run_waiting() { # exe name
    local pid to from line code
    (cd "$E2E_WORK" && exec timeout -k 5 "$E2E_TIMEOUT" wine "$1" "$wsource" "$wlinks" --wait) \
        <"$E2E_WORK/go" >"$E2E_WORK/ready" 2>>"$E2E_WORK/$2.log" &
    pid=$!
    exec {to}>"$E2E_WORK/go" {from}<"$E2E_WORK/ready"
    IFS= read -r -t 120 line <&"$from" || fail "$2 did not start"
    expect_eq "$line" ready "$2"
    clock_start "$pid"
    echo go >&"$to"
    wait "$pid"
    code=$?
    clock_stop
    IFS= read -r -t 5 line <&"$from"
    exec {to}>&- {from}<&-
    expect_eq "$code" 0 "$2 exit code ($line; $(tail -1 "$E2E_WORK/$2.log" 2>/dev/null))"
    expect_eq "$line" "links $files folders $folders failures 0" "$2 result"
    check_mirror "$2"
}

run_floor() { run_waiting "$FLOOR_EXE" win32_mirror.exe; }
run_engine() { run_waiting "$ENGINE_EXE" win32_engine.exe; }

run_cp() {
    local start=$EPOCHREALTIME busy0
    busy0=$(machine_busy_ns)
    times >"$E2E_WORK/times0"
    cp -al "$data/tree" "$links/" || fail "cp -al failed"
    took="$(elapsed "$start" "$EPOCHREALTIME")"
    times >"$E2E_WORK/times1"
    others_from "$busy0"
    local own=$(($(children_ns "$E2E_WORK/times1") - $(children_ns "$E2E_WORK/times0")))
    others="$(awk -v b="$busy" -v c="$own" -v w="$took" -v n="$cores" 'BEGIN { o = (b - c) / 1e9; if (o < 0) o = 0; printf "%.0f", 100 * o / (n * w) }')"
    cpu=""
    check_mirror "cp -al"
}

median() { printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
spread() { printf '%s\n' "$@" | sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%s-%s", lo, hi }'; }

# The driver's round trip (read a command, answer it): the head start velmora.exe's clock has.
trips=()
for ((i = 0; i < 11; i++)); do
    start=$EPOCHREALTIME
    drv acp >/dev/null
    trips+=("$(elapsed "$start" "$EPOCHREALTIME")")
done
echo "driver round trip: median $(median "${trips[@]}") s ($(spread "${trips[@]}"))"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
per_link() { awk -v a="$1" -v n="$files" 'BEGIN { printf "%.1f", a * 1e6 / n }'; }

tools=(velmora engine floor cp)
wall_rows=()
cpu_rows=()
IFS=',' read -r -a size_list <<<"$sizes"
for files in "${size_list[@]}"; do
    rm -rf "$data"
    mkdir -p "$data"
    folders="$(make_tree "$data/tree" "$files")" || fail "cannot make the tree"
    wsource="$(e2e_winpath "$data/tree")"
    sync
    # One untimed, checked run of each Windows program warms the caches alike.
    run_velmora
    clear_mirror
    run_floor
    clear_mirror
    run_engine
    clear_mirror
    declare -A walls=([velmora]="" [engine]="" [floor]="" [cp]="") cpus=([velmora]="" [engine]="" [floor]="")
    load_before="$(uptime | sed 's/.*load average: //')"
    declare -A round=() round_cpu=()
    pair_wall_v="" pair_wall_e="" pair_cpu_v="" pair_cpu_e="" busiest=0
    for ((r = 0; r < runs; r++)); do
        line="[$files files] run $((r + 1)):"
        for ((k = 0; k < ${#tools[@]}; k++)); do
            tool="${tools[$(((r + k) % ${#tools[@]}))]}"
            "run_$tool"
            clear_mirror
            walls[$tool]+=" $took"
            round[$tool]=$took
            line+=" $tool $took s"
            if [ -n "$cpu" ]; then
                cpus[$tool]+=" $cpu"
                round_cpu[$tool]=$cpu
                line+=" (processor $cpu s: $cpu_split)"
            fi
            line+=" [others ${others}%]"
            busiest=$((others > busiest ? others : busiest))
        done
        echo "$line" >&2
        pair_wall_v+=" $(ratio "${round[velmora]}" "${round[floor]}")"
        pair_wall_e+=" $(ratio "${round[engine]}" "${round[floor]}")"
        pair_cpu_v+=" $(ratio "${round_cpu[velmora]}" "${round_cpu[floor]}")"
        pair_cpu_e+=" $(ratio "${round_cpu[engine]}" "${round_cpu[floor]}")"
    done
    load_after="$(uptime | sed 's/.*load average: //')"
    # shellcheck disable=SC2086
    {
        mv=$(median ${walls[velmora]})
        me=$(median ${walls[engine]})
        mf=$(median ${walls[floor]})
        mc=$(median ${walls[cp]})
        cv=$(median ${cpus[velmora]})
        ce=$(median ${cpus[engine]})
        cf=$(median ${cpus[floor]})
        wall_rows+=("| $files | $folders | $mv ($(spread ${walls[velmora]})) | $me ($(spread ${walls[engine]})) | $mf ($(spread ${walls[floor]})) | $(ratio "$mv" "$mf") | $(median $pair_wall_v) | $(ratio "$me" "$mf") | $(median $pair_wall_e) | $mc ($(spread ${walls[cp]})) | $(per_link "$mv") | $(per_link "$mf") | $load_before / $load_after | $busiest% |")
        cpu_rows+=("| $files | $cv ($(spread ${cpus[velmora]})) | $ce ($(spread ${cpus[engine]})) | $cf ($(spread ${cpus[floor]})) | $(ratio "$cv" "$cf") | $(median $pair_cpu_v) | $(ratio "$ce" "$cf") | $(median $pair_cpu_e) |")
        echo "[$files files] per-round ratios to the floor, wall: velmora.exe$pair_wall_v; engine$pair_wall_e" >&2
        echo "[$files files] per-round ratios to the floor, processor: velmora.exe$pair_cpu_v; engine$pair_cpu_e" >&2
        for tool in velmora engine floor cp; do
            echo "[$files files] $tool wall s:${walls[$tool]}${cpus[$tool]:+; processor s:${cpus[$tool]}}" >&2
        done
    }
    rm -rf "$data"
done

echo
echo "From the go (OK, or the line on the input) to the process's exit, wall clock:"
echo
echo "| files | folders | velmora.exe median s (min-max) | win32_engine.exe | win32_mirror.exe (floor) | velmora / floor, of medians | median of per-round ratios | engine / floor, of medians | median of per-round ratios | cp -al | velmora.exe µs/link | floor µs/link | load before / after | others' share of the cores, busiest run |"
echo "|---:|---:|---|---|---|---:|---:|---:|---:|---|---:|---:|---|---:|"
printf '%s\n' "${wall_rows[@]}"
echo
echo "Processor time over the same span: the program's, the Wine server's and the X server's:"
echo
echo "| files | velmora.exe median s (min-max) | win32_engine.exe | win32_mirror.exe (floor) | velmora / floor, of medians | median of per-round ratios | engine / floor, of medians | median of per-round ratios |"
echo "|---:|---|---|---|---:|---:|---:|---:|"
printf '%s\n' "${cpu_rows[@]}"
e2e_pass
