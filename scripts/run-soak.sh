#!/bin/bash
# run-soak.sh TEST_DIR [FUZZ_RUNS]: the long runs that `make test` keeps
# short: the fault sweep over every point, the panel's 10,000-cycle soak of
# monitor cycles and paints, and each fuzz target for FUZZ_RUNS executions
# (1,000,000). Exits non-zero when any of them fails.
set -e
here=$(cd "$(dirname "$0")" && pwd)
test_dir=$(cd "$1" && pwd)
fuzz_runs="${2:-1000000}"

if [ -z "$VEXA_SOAK_WITH_DISPLAY" ]; then
    export VEXA_SOAK_WITH_DISPLAY=1
    exec "$here/with-xvfb" "$0" "$test_dir" "$fuzz_runs"
fi

. "$here/wine-env.sh"
wine_env_for "$test_dir/bin/VexaPanel.exe"
wine_prefix_ready "$test_dir/wineprefix"
cd "$test_dir/bin"
status=0
echo "== Fault sweep, every point"
unset VEXA_SWEEP_POINTS
"$WINE_LOADER" panel_fault_sweep.exe >"$test_dir/soak-sweep.txt" 2>&1 || status=1
grep -E '^\[ (sweep|  PASSED  |  FAILED  ) \]|failed: ' "$test_dir/soak-sweep.txt" || true
echo
echo "== Monitor cycles and paints, 10,000 rounds"
"$WINE_LOADER" panel_benchmark.exe 10000 | tee "$test_dir/soak-benchmark.txt" | tail -n 12
grep -q "every check passed" "$test_dir/soak-benchmark.txt" || status=1
"$WINESERVER" -k 2>/dev/null || true
echo
echo "== Fuzz targets, $fuzz_runs executions each"
"$here/run-fuzz.sh" "$(dirname "$test_dir")/fuzz" "$fuzz_runs" || status=1
[ $status -eq 0 ] && echo "soak: every long run passed" || echo "soak: FAILED"
exit $status
