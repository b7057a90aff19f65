#!/bin/bash
# Runs one Windows program under Wine in the build folder's prefix (CTest's emulator).
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
velmora_wine_prefix_init
timeout -k 10 "${VELMORA_WINE_TIMEOUT:-600}" wine "$@"
rc=$?
exit $rc
