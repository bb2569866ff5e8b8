#!/bin/sh
# run-gallery.sh BUILD_TREE [OUTPUT.png]: shows every control in every state
# under Xvfb and saves the picture (default: BUILD_TREE/controls_gallery.png).
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
tree=$(cd "$1" && pwd)
out=${2:-$tree/controls_gallery.png}
cd "$tree/bin"
"$root/scripts/with-xvfb" "$root/scripts/wine-run" ./controls_gallery.exe controls_gallery.bmp
convert controls_gallery.bmp "$out"
echo "$out"
