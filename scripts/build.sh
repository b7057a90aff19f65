#!/bin/bash
# Configures and builds Velmora's four build trees with Ninja, two jobs at a time:
#   build/native  the portable code and its tests, RelWithDebInfo
#   build/asan    the same with AddressSanitizer and UBSan
#   build/win     velmora.exe and the Windows tests (mingw-w64, Release; tests run under Wine)
#   build/fuzz    the libFuzzer targets only (clang); each runs briefly as a test
# and writes build/CTestTestfile.cmake so that `ctest --test-dir build` runs all of them.
# Arguments name the trees to build (default: all four), e.g. `scripts/build.sh win`.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
jobs="${VELMORA_JOBS:-2}"

trees=("$@")
[ ${#trees[@]} -eq 0 ] && trees=(native asan win fuzz)

configure() {
    local dir="$1"
    shift
    if [ ! -f "$build/$dir/build.ninja" ]; then
        cmake -S "$root" -B "$build/$dir" -G Ninja -Wno-dev "$@" >"$build/$dir.configure.log" 2>&1 || {
            cat "$build/$dir.configure.log" >&2
            echo "build: configuring build/$dir failed" >&2
            return 1
        }
    fi
}

mkdir -p "$build"
for tree in "${trees[@]}"; do
    targets=()
    case "$tree" in
    native) configure native -DCMAKE_BUILD_TYPE=RelWithDebInfo ;;
    asan) configure asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON ;;
    win) configure win -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" ;;
    fuzz)
        configure fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON
        targets=(--target velmora_fuzzers)
        ;;
    *)
        echo "build: unknown tree '$tree' (native, asan, win, fuzz)" >&2
        exit 2
        ;;
    esac
    echo "build: build/$tree"
    cmake --build "$build/$tree" -j "$jobs" "${targets[@]}"
done

# One ctest over every tree that has been configured, in a fixed order.
subdirs=()
for tree in native asan win; do
    [ -f "$build/$tree/CTestTestfile.cmake" ] && subdirs+=("$tree")
done
# Only the fuzzers are built in build/fuzz, so only their folder's tests are run.
[ -f "$build/fuzz/tests/fuzz/CTestTestfile.cmake" ] && subdirs+=("fuzz/tests/fuzz")
{
    echo "# Written by scripts/build.sh: runs the tests of every build tree."
    echo "subdirs(${subdirs[*]})"
} >"$build/CTestTestfile.cmake"
