# Shared by wine-run and the make targets: picks the Wine loader for a
# program and makes sure a prefix exists (created once, under a lock).
#
# A prefix is a whole Windows of one kind. A 32-bit program in a 32-bit
# prefix (WINEARCH=win32) runs as on a 32-bit XP: port I/O works and the
# process is not under WOW64. The same program in a 64-bit prefix runs as on
# a 64-bit Windows, under WOW64. wine_env_for picks the kind that matches
# the program; VEXA_PREFIX_ARCH (win32 or win64) overrides it.

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
        8664)
            WINE_LOADER=/usr/lib/wine/wine64
            prefix_arch=win64 ;;
        *)
            WINE_LOADER=wine
            [ -x /usr/lib/wine/wine ] && WINE_LOADER=/usr/lib/wine/wine
            # Where no 32-bit loader runs, a 32-bit program can only live in
            # a 64-bit prefix (under an emulator that makes it run at all).
            if [ -z "$VEXA_WINE32_RUNS" ]; then
                VEXA_WINE32_RUNS=no
                /usr/lib/wine/wine --version >/dev/null 2>&1 && VEXA_WINE32_RUNS=yes
                export VEXA_WINE32_RUNS
            fi
            prefix_arch=win64
            [ "$VEXA_WINE32_RUNS" = yes ] && prefix_arch=win32 ;;
    esac
    PREFIX_ARCH="${VEXA_PREFIX_ARCH:-$prefix_arch}"
}

# The loader that boots and configures a prefix of the chosen kind.
prefix_loader() {
    if [ "$PREFIX_ARCH" = win32 ]; then
        echo /usr/lib/wine/wine
    elif [ -x /usr/lib/wine/wine64 ]; then
        echo /usr/lib/wine/wine64
    else
        echo wine
    fi
}

wine_prefix_ready() {
    export WINEPREFIX="$1"
    export WINEARCH="${PREFIX_ARCH:-win64}"
    marker="$WINEPREFIX/.vexa-ready-$WINEARCH"
    [ -f "$marker" ] && [ -f "$WINEPREFIX/.vexa-fontlink-2" ] && [ -f "$WINEPREFIX/.vexa-crash-quiet-1" ] &&
        [ -f "$WINEPREFIX/.vexa-cjk-captions-1" ] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        loader=$(prefix_loader)
        if [ ! -f "$marker" ]; then
            # A prefix of the other kind cannot be turned into this one.
            rm -rf "$WINEPREFIX"
            mkdir -p "$WINEPREFIX"
            $loader wineboot -i >/dev/null 2>&1 || true
            # Without a window manager, destroying a managed top-level window
            # stalls for about two seconds under Xvfb.
            $loader reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
            if [ "$WINEARCH" = win32 ]; then
                # The program's main target: a 32-bit XP.
                $loader winecfg -v winxp >/dev/null 2>&1
            fi
            "${WINESERVER:-wineserver}" -w
            touch "$marker"
        fi
        if [ ! -f "$WINEPREFIX/.vexa-fontlink-2" ]; then
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
        if [ ! -f "$WINEPREFIX/.vexa-crash-quiet-1" ]; then
            # A program that faults ends as on an unattended machine, with
            # no crash dialog waiting for a click that never comes.
            $loader reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
            "${WINESERVER:-wineserver}" -w
            touch "$WINEPREFIX/.vexa-crash-quiet-1"
        fi
        if [ ! -f "$WINEPREFIX/.vexa-cjk-captions-1" ]; then
            # Under a Chinese locale Wine gives captions and dialogs SimSun,
            # and links its own faces to it, as a Chinese Windows does; the
            # machine's CJK font stands in for it, or titles show boxes.
            $loader reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /t REG_SZ /d 'WenQuanYi Micro Hei' \
                /f >/dev/null 2>&1
            "${WINESERVER:-wineserver}" -w
            touch "$WINEPREFIX/.vexa-cjk-captions-1"
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Keeps the prefix's Wine server, services and desktop up until
# "$WINESERVER -k", so that each program started meanwhile does not boot
# Windows again (about two seconds). wineboot starts the services and the
# desktop here, away from the caller's pipes: one started by a test would
# hold that test's output open, and CTest would wait for it for ever.
wine_services_up() {
    "${WINESERVER:-wineserver}" -p </dev/null >/dev/null 2>&1 || true
    "$WINE_LOADER" wineboot </dev/null >/dev/null 2>&1 || true
}
