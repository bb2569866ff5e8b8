# Shared by wine-run and the make targets: picks the Wine loader for a
# program and makes sure a prefix exists (created once, under a lock).

pe_machine() {
    # Prints the PE machine field of a Windows executable: 14c or 8664.
    off=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tx2 -j$((off + 4)) -N2 "$1" | tr -d ' '
}

wine_env_for() {
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Gecko or Mono installer dialogs when a fresh prefix boots.
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
    if [ -x /usr/lib/wine/wineserver64 ]; then
        export WINESERVER=/usr/lib/wine/wineserver64
    fi
    case "$(pe_machine "$1")" in
        8664) WINE_LOADER=/usr/lib/wine/wine64 ;;
        *) WINE_LOADER=wine ;;
    esac
}

wine_prefix_ready() {
    export WINEPREFIX="$1"
    [ -f "$WINEPREFIX/.vexa-ready" ] && [ -f "$WINEPREFIX/.vexa-fontlink-2" ] && return 0
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.vexa-ready" ]; then
            loader=wine
            [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
            $loader wineboot -i >/dev/null 2>&1 || true
            # Without a window manager, destroying a managed top-level window
            # stalls for about two seconds under Xvfb.
            $loader reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
            "${WINESERVER:-wineserver}" -w
            touch "$WINEPREFIX/.vexa-ready"
        fi
        if [ ! -f "$WINEPREFIX/.vexa-fontlink-2" ]; then
            loader=wine
            [ -x /usr/lib/wine/wine64 ] && loader=/usr/lib/wine/wine64
            # A Chinese Windows draws Chinese text in "Arial" (the panel) and
            # in the caption font (dialog titles) through font linking; the
            # prefix gets the same links to a CJK font of the machine's, or
            # the Chinese panel would show empty boxes.
            for face in Arial "Arial Bold" Tahoma "Tahoma Bold"; do
                $loader reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                    /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
            done
            "${WINESERVER:-wineserver}" -w
            touch "$WINEPREFIX/.vexa-fontlink-2"
        fi
    ) 9>"$WINEPREFIX.lock"
}
