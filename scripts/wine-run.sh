#!/bin/bash
# Runs one Windows program under Wine in the build folder's prefix (CTest's emulator), on an
# own Xvfb display: the Windows tests open real windows, with or without a display around.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
velmora_wine_prefix_init
velmora_xvfb_start || exit 1
trap 'velmora_wine_server_stop; velmora_xvfb_stop' EXIT
velmora_wine_server_stop
timeout -k 10 "${VELMORA_WINE_TIMEOUT:-600}" wine "$@"
rc=$?
exit $rc
