#!/bin/bash
# Installs what is missing, builds every tree and runs every test: the native tests (plain and
# with sanitizers), the Windows tests under Wine and the end-to-end tests. Ends with CTest's
# summary; the exit code is CTest's. Needs no locale and no display: the locale is set here,
# and every run of a Windows program starts its own Xvfb.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

export LC_ALL=C.UTF-8
unset LANGUAGE
bash scripts/install-deps.sh || exit 1
bash scripts/build.sh || exit 1
ctest --test-dir build --output-on-failure -j "${VELMORA_JOBS:-2}" --timeout 900
