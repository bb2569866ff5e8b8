#!/bin/sh
# Installs what the build and the tests need on Debian 12, and nothing when it
# is all there already, so that `make` stays fast the second time.
set -e

# Debian packages the build uses (one per line, "name" or "name:arch").
PACKAGES="
cmake
make
g++
binutils
g++-mingw-w64-i686-win32
g++-mingw-w64-x86-64-win32
binutils-mingw-w64-i686
binutils-mingw-w64-x86-64
googletest
clang-14
libclang-rt-14-dev
wine
wine64
wine32:i386
qemu-user-static
xvfb
xauth
x11-utils
imagemagick
fontforge
python3-fontforge
fonts-liberation
fp-utils
python3
python3-pil
python3-numpy
python3-cairo
fonts-liberation2
fonts-wqy-microhei
nsis
zip
unzip
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "Installing:$missing"
case "$missing" in
    *:i386*)
        dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386 ;;
esac
# A mirror in the middle of a sync can fail one index; a second try usually
# gets it, and otherwise the install goes on with the indexes that came.
$SUDO apt-get update -q || { sleep 10; $SUDO apt-get update -q; } ||
    echo "install-deps: some package indexes did not update; installing from the rest" >&2
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
