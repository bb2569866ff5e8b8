#!/bin/bash
# screenshots.sh BUILD_DIR OUT_DIR: the pictures the README shows, taken from
# the built program on the virtual card under Xvfb, in English and in
# Simplified Chinese: the panel, the tray menu, Settings and About.
set -e
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "$VEXA_SCREENSHOTS_WITH_DISPLAY" ]; then
    export VEXA_SCREENSHOTS_WITH_DISPLAY=1
    exec "$here/with-xvfb" "$0" "$@"
fi

. "$here/wine-env.sh"
wine_env_for "$build/bin/VexaPanelForTests.exe"
wine_prefix_ready "$build/wineprefix"
marks=$(mktemp -d)
trap 'rm -rf "$marks"' EXIT
# The panel is centred on the 1280 x 1024 screen; its dialogs and the menu
# open over it.
area=560x380+360+320

for language in en zh; do
    case $language in
        en) locale=en_US.UTF-8 ;;
        zh) locale=zh_CN.UTF-8 ;;
    esac
    rm -f "$marks"/*
    (cd "$build/bin" && LC_ALL=$locale LANG=$locale "$here/wine-run" --prefix "$build/wineprefix" \
        "$build/bin/screenshot_tour.exe" "Z:${marks//\//\\}") &
    tour=$!
    while kill -0 "$tour" 2>/dev/null; do
        for ready in "$marks"/*.ready; do
            [ -e "$ready" ] || continue
            view=$(basename "$ready" .ready)
            import -window root -crop "$area" +repage "$out/$view-$language.png"
            rm -f "$ready"
            touch "$marks/$view.taken"
        done
        sleep 0.2
    done
    wait "$tour" || { echo "screenshots: the $language tour did not finish" >&2; exit 1; }
done
"$WINESERVER" -k 2>/dev/null || true
ls "$out"/*.png
