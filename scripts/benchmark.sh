#!/bin/bash
# benchmark.sh [TEST_DIR] [SOAK_CYCLES]: the performance figures, in one run
# under Wine on the virtual card (headless under Xvfb):
#   - start to main window against a bare window-and-tray program, with the
#     hardware waits measured on their own (startup_benchmark);
#   - the monitor cycle's CPU time per 600 ms period, the GDI objects of a
#     paint, the skin region, and a soak of SOAK_CYCLES (10000) cycles and
#     paints with the private bytes and object counts before and after
#     (panel_benchmark).
# Figures, not a pass or fail: the machine's speed is nobody's to control.
set -e
here=$(cd "$(dirname "$0")" && pwd)
test_dir=$(cd "${1:-$here/../build/test}" && pwd)
cycles="${2:-10000}"

if [ -z "$VEXA_BENCH_WITH_DISPLAY" ]; then
    export VEXA_BENCH_WITH_DISPLAY=1
    exec "$here/with-xvfb" "$0" "$test_dir" "$cycles"
fi

cmake --build "$test_dir" -j 2 --target startup_benchmark panel_benchmark >/dev/null
. "$here/wine-env.sh"
wine_env_for "$test_dir/bin/VexaPanel.exe"
wine_prefix_ready "$test_dir/wineprefix"
cd "$test_dir/bin"
echo "== Start-up"
"$WINE_LOADER" startup_benchmark.exe
echo
echo "== Monitor cycle, paint, skin region and soak"
"$WINE_LOADER" panel_benchmark.exe "$cycles"
"$WINESERVER" -k 2>/dev/null || true
