#!/bin/sh
# check-imports.sh FILE...: fails when a program or DLL imports anything but
# DLLs that a bare Windows XP has (no C++ runtime DLLs, no api-ms-win sets),
# or when a program imports a library that one feature alone uses: those
# are loaded on that feature's first use, not at every start.
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comdlg32.dll
wininet.dll netapi32.dll msvcrt.dll comctl32.dll ole32.dll oleaut32.dll
version.dll winmm.dll shlwapi.dll ws2_32.dll"
on_first_use="comdlg32.dll wininet.dll ole32.dll oleaut32.dll"
status=0
for file in "$@"; do
    if [ ! -f "$file" ]; then
        echo "missing: $file"
        status=1
        continue
    fi
    dlls=$(objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    for dll in $dlls; do
        case " $(echo $allowed) " in
            *" $dll "*) ;;
            *) echo "$file imports $dll, which a bare Windows XP lacks"; status=1 ;;
        esac
        case "$file:: $on_first_use " in
            *.exe::*" $dll "*) echo "$file imports $dll, which it should load on first use"; status=1 ;;
        esac
    done
    echo "$(basename "$file"): $(echo $dlls)"
done
exit $status
