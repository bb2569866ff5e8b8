#!/bin/bash
# run-panel.sh BUILD_DIR: starts the panel on the virtual card. On a real
# display it simply runs; headless, it runs under Xvfb, saves a screenshot
# and prints where it is.
set -e
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
# The tests' build of the program: Wine reports every account as a guest,
# which would show every tuning control disabled; this build takes the
# privilege from VEXA_TEST_PRIVILEGE (2, administrator, unless set).
exe="$build/bin/VexaPanelForTests.exe"
export VEXA_TEST_PRIVILEGE="${VEXA_TEST_PRIVILEGE:-2}"
shot_dir="$build/screenshots"

if [ -z "$VEXA_PANEL_HEADLESS" ] && [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then
    cd "$build/bin"
    exec "$here/wine-run" "$exe" "$@"
fi

if [ -z "$VEXA_PANEL_HEADLESS" ]; then
    export VEXA_PANEL_HEADLESS=1
    unset DISPLAY
    exec "$here/with-xvfb" "$0" "$build" "$@"
fi

mkdir -p "$shot_dir"
cd "$build/bin"
"$here/wine-run" "$exe" "$@" &
panel=$!
# Give the hardware start-up and the first monitor pass time to show.
for _ in $(seq 1 ${VEXA_RUN_SECONDS:-12}); do
    sleep 1
    kill -0 "$panel" 2>/dev/null || break
done
shot="$shot_dir/panel-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
. "$here/wine-env.sh"
wine_env_for "$exe"
export WINEPREFIX="$build/wineprefix"
"$WINESERVER" -k 2>/dev/null || true
wait "$panel" 2>/dev/null || true
echo "Screenshot of the panel: $shot"
