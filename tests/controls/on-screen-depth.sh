#!/bin/sh
# on-screen-depth.sh DEPTH PREFIX program.exe [args...]
# Runs a Windows program under Wine on a private Xvfb screen of the given
# colour depth, in a Wine prefix of its own, so that its Wine server and
# desktop process start on that screen instead of being shared with the
# tests on the usual 24-bit one. Exits with the program's status.
set -e
depth="$1"; prefix="$2"; shift 2
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)

fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/fd"
Xvfb -displayfd 5 -screen 0 1024x768x"$depth" -nolisten tcp 5>"$fifo_dir/fd" >/dev/null 2>&1 &
xvfb_pid=$!
read -r num < "$fifo_dir/fd" || true
rm -rf "$fifo_dir"
if [ -z "$num" ]; then
    echo "Xvfb did not start a ${depth}-bit screen" >&2
    exit 1
fi
export DISPLAY=":$num"

status=0
"$scripts/wine-run" --prefix "$prefix" "$@" || status=$?

# The prefix's Wine server and desktop must not outlive their screen.
. "$scripts/wine-env.sh"
wine_env_for "$1"
WINEPREFIX="$prefix" "${WINESERVER:-wineserver}" -k 2>/dev/null || true
kill "$xvfb_pid" 2>/dev/null || true
wait "$xvfb_pid" 2>/dev/null || true
exit $status
