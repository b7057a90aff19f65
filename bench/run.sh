#!/bin/sh
# Builds the benchmark in Release (build/bench) and runs it. Arguments go to mirror_bench:
#   bench/run.sh                      10,000 and 100,000 files, five runs each, list of 100,000
#   bench/run.sh --million            adds the 1,000,000-file tree
#   bench/run.sh --sizes 10000 --runs 3 --no-list
#   bench/run.sh --scenario rerun     a fresh mirror, then the same mirror made again over it
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
# -O2 rather than -O3: GCC 12 reports false -Wrestrict warnings in std::string code at -O3;
# -g keeps symbols for perf and callgrind.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -g -DNDEBUG" >/dev/null
cmake --build "$build" -j2 --target mirror_bench
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "temp folder: ${TMPDIR:-/tmp} on $(df -T "${TMPDIR:-/tmp}" | awk 'NR==2 {print $2}')"
echo "date: $(date -u '+%Y-%m-%d %H:%M UTC'), load:$(uptime | sed 's/.*load average//')"
echo "commit $(git -C "$root" rev-parse --short HEAD)$(git -C "$root" diff --quiet HEAD -- src bench || echo ' (with changes)')"
exec "$build/bench/mirror_bench" "$@"
