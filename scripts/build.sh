#!/bin/bash
# Configures and builds Velmora's build trees with the presets of CMakePresets.json, which say
# what each tree is (two jobs at a time, or VELMORA_JOBS):
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
cd "$root"

trees=("$@")
[ ${#trees[@]} -eq 0 ] && trees=(native asan win fuzz)

mkdir -p "$build"
for tree in "${trees[@]}"; do
    case "$tree" in
    native | asan | win | fuzz) ;;
    *)
        echo "build: unknown tree '$tree' (native, asan, win, fuzz)" >&2
        exit 2
        ;;
    esac
    if [ ! -f "$build/$tree/build.ninja" ]; then
        cmake --preset "$tree" >"$build/$tree.configure.log" 2>&1 || {
            cat "$build/$tree.configure.log" >&2
            echo "build: configuring build/$tree failed" >&2
            exit 1
        }
    fi
    echo "build: build/$tree"
    cmake --build --preset "$tree" -j "$jobs"
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
