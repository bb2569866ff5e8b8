#!/bin/sh
# make-dist.sh BUILD_DIR OUT_DIR: the release layout. Only what is ours goes
# in; the virtual card's driver, memory library and flash tool never do (a
# stand-in nvapi.dll beside the program would shadow the real driver).
set -e
bin="$1/bin"
out="$2"
rm -rf "$out"
mkdir -p "$out"
for f in VexaPanel.exe inicd.dll DMini digifaw.ttf Arial.ttf HELP.CHM; do
    cp "$bin/$f" "$out/"
done
for f in nvapi.dll PMReader.dll nvflash.exe vcard.exe; do
    if [ -e "$out/$f" ]; then
        echo "make-dist: $f must not be in a release layout" >&2
        exit 1
    fi
done
echo "Release layout in $out:"
ls "$out"
