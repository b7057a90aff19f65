# Sourced by every script that runs Windows programs under Wine (the tests, the demo, the
# screenshots). Sets what those runs need, whatever the machine has:
# - the locale: Wine makes Unix file names from the locale's character set, and under the POSIX
#   locale (a fresh Debian has no LANG) it cannot make a name beyond ASCII. C.UTF-8 is part of
#   Debian's libc, without the locales package; one fixed locale also fixes Wine's code pages
#   and its system texts, so runs compare on every machine;
# - the Wine prefix of a build folder (made once, then reused): WINEPREFIX, default
#   $VELMORA_BUILD_DIR/wineprefix, else ./wineprefix; quiet Wine, no Mono/Gecko prompts,
#   unmanaged windows, marlett for the caption buttons;
# - velmora_wine_server_stop, and velmora_xvfb_start / velmora_xvfb_stop: an own Xvfb display.
export LC_ALL=C.UTF-8
unset LANGUAGE
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
if [ -z "${WINEPREFIX:-}" ]; then
    export WINEPREFIX="${VELMORA_BUILD_DIR:-$PWD}/wineprefix"
fi

velmora_wine_prefix_init() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.velmora-ready" ]; then
            timeout -k 10 300 wineboot -i >/dev/null 2>&1 || true
            timeout -k 10 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
            timeout -k 10 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
            fonts="$WINEPREFIX/drive_c/windows/Fonts"
            mkdir -p "$fonts"
            for f in /usr/share/fonts/truetype/wine/marlett.ttf /usr/share/wine/fonts/marlett.ttf; do
                [ -f "$f" ] && cp -f "$f" "$fonts/" && break
            done
            timeout -k 10 60 wineserver -w || true
            touch "$WINEPREFIX/.velmora-ready"
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Ends the prefix's Wine server, if one runs, and waits until it is gone: a server left from an
# earlier run would keep its desktop on that run's display.
velmora_wine_server_stop() {
    timeout -k 5 30 wineserver -k 2>/dev/null
    timeout -k 5 30 wineserver -w 2>/dev/null
    return 0
}

# Starts an Xvfb on a free display (Xvfb picks it itself), exports DISPLAY and leaves the
# server's process id in VELMORA_XVFB_PID.
velmora_xvfb_start() {
    local fifo dir n
    command -v Xvfb >/dev/null || { echo "Xvfb is not installed (scripts/install-deps.sh)" >&2; return 1; }
    dir="$(mktemp -d)"
    fifo="$dir/displayfd"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    VELMORA_XVFB_PID=$!
    n="$(timeout 20 head -n1 "$fifo" || true)"
    rm -rf "$dir"
    if [ -z "$n" ]; then
        kill "$VELMORA_XVFB_PID" 2>/dev/null
        VELMORA_XVFB_PID=""
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$n"
}

velmora_xvfb_stop() {
    if [ -n "${VELMORA_XVFB_PID:-}" ]; then
        kill "$VELMORA_XVFB_PID" 2>/dev/null
        wait "$VELMORA_XVFB_PID" 2>/dev/null
        VELMORA_XVFB_PID=""
    fi
}
