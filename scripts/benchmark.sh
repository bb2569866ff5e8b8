#!/bin/bash
# benchmark.sh [TEST_DIR] [SOAK_CYCLES]: the performance figures, in one run
# under Wine on the virtual card (headless under Xvfb):
#   - start to main window against a bare window-and-tray program, the
#     hardware waits taken from the panel's own run, the private bytes once
#     started, and where a BIOS backup spends its time (startup_benchmark);
#   - the monitor cycle's CPU time per 600 ms period, the GDI objects of a
#     paint, the skin region, and a soak of SOAK_CYCLES (10000) cycles and
#     paints with the private bytes and object counts before and after
#     (panel_benchmark).
# A 32-bit tree is measured twice where 32-bit Wine runs: in a 32-bit
# Windows and in a 64-bit one, where the program runs under WOW64.
# Each figure with its goal beside it; figures, not a pass or fail: the
# machine's speed is nobody's to control.
set -e
here=$(cd "$(dirname "$0")" && pwd)
if [ -n "$1" ]; then
    default_tree="$1"
elif "$here/can-run-i386"; then
    default_tree="$here/../build/win32"
else
    default_tree="$here/../build/test"
fi
test_dir=$(cd "$default_tree" && pwd)
cycles="${2:-10000}"

if [ -z "$VEXA_BENCH_WITH_DISPLAY" ]; then
    export VEXA_BENCH_WITH_DISPLAY=1
    exec "$here/with-xvfb" "$0" "$test_dir" "$cycles"
fi

cmake --build "$test_dir" -j 2 --target startup_benchmark panel_benchmark >/dev/null
. "$here/wine-env.sh"
wine_env_for "$test_dir/bin/VexaPanel.exe"
kinds="$PREFIX_ARCH"
[ "$PREFIX_ARCH" = win32 ] && kinds="win32 win64"
cd "$test_dir/bin"
for kind in $kinds; do
    case "$kind" in
        win32)
            prefix="$test_dir/wineprefix"
            echo "######## A 32-bit Windows (WINEARCH=win32): port I/O, no WOW64" ;;
        *)
            prefix="$test_dir/wineprefix"
            if [ "$(pe_machine "$test_dir/bin/VexaPanel.exe")" = 014c ]; then
                prefix="$test_dir/wineprefix-shipping"
                echo "######## A 64-bit Windows (WINEARCH=win64): the 32-bit program under WOW64"
            else
                echo "######## A 64-bit Windows (WINEARCH=win64), the x86_64 build"
            fi ;;
    esac
    PREFIX_ARCH=$kind
    wine_prefix_ready "$prefix"
    wine_services_up
    echo "== Start-up"
    "$WINE_LOADER" startup_benchmark.exe
    echo
    echo "== Monitor cycle, paint, skin region and soak"
    "$WINE_LOADER" panel_benchmark.exe "$cycles"
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    echo
done
