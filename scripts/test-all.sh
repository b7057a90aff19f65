#!/bin/bash
# Installs what is missing, builds every tree and runs every test: the native tests (plain and
# with sanitizers), the Windows tests under Wine and the end-to-end tests on Xvfb. Ends with
# CTest's summary; the exit code is CTest's.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

bash scripts/install-deps.sh || exit 1
bash scripts/build.sh || exit 1

# One display for the Windows tests that open windows; every end-to-end test starts its own.
export VELMORA_BUILD_DIR="$root/build/win"
. tests/e2e/lib.sh
cleanup() {
    WINEPREFIX="$root/build/win/wineprefix" timeout -k 5 30 wineserver -k 2>/dev/null
    e2e_stop_xvfb
}
trap cleanup EXIT
trap 'exit 130' INT TERM
e2e_start_xvfb || exit 1

ctest --test-dir build --output-on-failure -j "${VELMORA_JOBS:-2}" --timeout 900
