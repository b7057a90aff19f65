# Sourced by the scripts that run Windows programs under Wine. Sets up (once) and selects the
# Wine prefix of a build folder: WINEPREFIX (default: $VELMORA_BUILD_DIR/wineprefix, else
# ./wineprefix), quiet Wine, no Mono/Gecko prompts, unmanaged windows, marlett for the caption buttons.
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
