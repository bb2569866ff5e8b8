#!/bin/sh
# make-dist.sh BUILD_DIR OUT_DIR: the release. OUT_DIR/"Vexa Panel" is the
# release layout; beside it the setup program VexaPanel-<version>-setup.exe
# (NSIS) and VexaPanel-<version>-portable.zip, which unpacks into that
# folder. Only what is ours goes in; the virtual card's driver, memory
# library and flash tool never do (a stand-in nvapi.dll beside the program
# would shadow the real driver).
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
bin="$build/bin"
out="$2"
version=$(sed -n 's/^project(VexaPanel VERSION \([0-9.]*\).*/\1/p' "$here/../CMakeLists.txt")
[ -n "$version" ] || { echo "make-dist: no version in CMakeLists.txt" >&2; exit 1; }

rm -rf "$out"
layout="$out/Vexa Panel"
mkdir -p "$layout"
out=$(cd "$out" && pwd)
files="VexaPanel.exe inicd.dll DMini digifaw.ttf Arial.ttf HELP.CHM"
for f in $files; do
    cp "$bin/$f" "$layout/"
done
for f in nvapi.dll PMReader.dll nvflash.exe vcard.exe; do
    if [ -e "$layout/$f" ]; then
        echo "make-dist: $f must not be in a release layout" >&2
        exit 1
    fi
done

# The installer's file list, from the layout itself.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{
    echo '!macro VexaInstallFiles'
    for f in $files; do echo "  File \"$layout/$f\""; done
    echo '!macroend'
    echo '!macro VexaRemoveFiles'
    for f in $files; do echo "  Delete \"\$INSTDIR\\$f\""; done
    echo '!macroend'
} > "$work/files.nsh"
icon=""
[ -f "$build/skin/vexa.ico" ] && icon="-DICON=$build/skin/vexa.ico"
setup="$out/VexaPanel-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DFILES="$work/files.nsh" -DOUTFILE="$setup" $icon \
    "$here/../installer/VexaPanel.nsi" >"$work/makensis.log" 2>&1 ||
    { cat "$work/makensis.log" >&2; echo "make-dist: makensis failed" >&2; exit 1; }

zip_file="$out/VexaPanel-$version-portable.zip"
(cd "$out" && zip -qr -X "$zip_file" "Vexa Panel")

echo "Release in $out:"
ls "$out" "$layout"
