#!/bin/bash
# run-tests.sh TEST_DIR [WIN32_DIR]: runs every test of a build tree under
# Wine with one display and one Wine server for the whole run, then the fuzz
# targets of the pure text code natively.
set -e
test_dir=$(cd "$1" && pwd)
export VEXA_WIN32_DIR=$(cd "${2:-$1}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "$VEXA_TESTS_WITH_DISPLAY" ]; then
    export VEXA_TESTS_WITH_DISPLAY=1
    exec "$here/with-xvfb" "$0" "$@"
fi

. "$here/wine-env.sh"
wine_env_for "$test_dir/bin/VexaPanel.exe"
wine_prefix_ready "$test_dir/wineprefix"
# One Wine server, with the prefix's services, for the whole CTest run.
wine_services_up
status=0
ctest --test-dir "$test_dir" --output-on-failure --timeout 600 || status=$?
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w 2>/dev/null || true
# The tests above may have run an x86_64 build; the shipping one is 32-bit.
"$here/run-shipping-smoke.sh" "$test_dir" "$VEXA_WIN32_DIR" || [ $status -ne 0 ] || status=1
# The parsers of outside text under libFuzzer, built natively beside the
# test tree.
"$here/run-fuzz.sh" "$(dirname "$test_dir")/fuzz" || status=1
exit $status
