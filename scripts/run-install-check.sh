#!/bin/bash
# run-install-check.sh TEST_DIR WIN32_DIR: the setup program and the portable
# zip of `make dist`, tried in a fresh 64-bit Windows prefix, where the
# program runs under WOW64 and an administrator's start choice goes to the
# logon task: a silent install; the installed program on the virtual card
# (its stand-ins copied beside it for this check only) taking a start choice
# and saving its settings; a silent uninstall, after which nothing of ours
# is left but the kept settings file; then the zip, unpacked and started.
# Run by run-shipping-smoke.sh, natively or under emulation as the smoke is.
set -e
here=$(cd "$(dirname "$0")" && pwd)
test_dir=$(cd "$1" && pwd)
win32_dir=$(cd "$2" && pwd)
checker="$test_dir/bin/install_checks.exe"
say() { echo "install check: $*"; }
status=0
fail() { say "FAILED: $*"; status=1; }

dist="$test_dir/dist-install"
"$here/make-dist.sh" "$win32_dir" "$dist" >/dev/null
setup=$(ls "$dist"/VexaPanel-*-setup.exe)
zip_file=$(ls "$dist"/VexaPanel-*-portable.zip)

. "$here/wine-env.sh"
wine_env_for "$checker"
PREFIX_ARCH=win64
prefix="$test_dir/wineprefix-install"
rm -rf "$prefix" "$prefix.lock"
wine_prefix_ready "$prefix"
wine_services_up
wine32=/usr/lib/wine/wine
[ -x "$wine32" ] || wine32=wine
win_path() { printf 'Z:%s' "$1" | tr / '\\'; }
reg32() { "$WINE_LOADER" reg query "$@" /reg:32 >/dev/null 2>&1; }
stand_ins="nvapi.dll PMReader.dll nvflash.exe vcard.exe"

installed_win='C:\Program Files (x86)\Vexa Panel'
installed="$prefix/drive_c/Program Files (x86)/Vexa Panel"
menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vexa Panel"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VexaPanel'
task="$prefix/drive_c/windows/system32/tasks/VexaPanel"

timeout 300 "$wine32" "$(win_path "$setup")" /S || fail "the silent install ended with $?"
[ -f "$installed/VexaPanel.exe" ] && [ -f "$installed/Uninstall.exe" ] || fail "nothing installed in $installed_win"
[ -f "$menu/Vexa Panel.lnk" ] || fail "no Start-menu shortcut"
"$WINE_LOADER" reg query "$uninstall_key" /v UninstallString /reg:32 2>/dev/null |
    grep -qF '"C:\Program Files (x86)\Vexa Panel\Uninstall.exe"' || fail "no quoted uninstall string"
for v in DisplayName DisplayVersion Publisher EstimatedSize; do
    reg32 "$uninstall_key" /v $v || fail "the uninstall entry has no $v"
done
say "installed into $installed_win"

for f in $stand_ins; do cp "$win32_dir/bin/$f" "$installed/"; done
VEXA_INSTALLED_PANEL="$installed_win" timeout 300 "$WINE_LOADER" "$checker" \
    --gtest_filter=InstalledPanel.StartsTakesAStartChoiceAndSavesInItsFolder --gtest_brief=1 ||
    fail "the installed program"
if [ -f "$task" ]; then
    say "the start choice went to the logon task"
else
    reg32 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v VexaPanel || fail "no start entry at all"
    say "the start choice went to the Run value"
fi
for f in $stand_ins; do rm -f "$installed/$f"; done

# The uninstaller runs from a copy of itself in the temporary folder and the
# started one returns at once: the removal is done when its file is gone.
timeout 120 "$wine32" "$installed_win\\Uninstall.exe" /S || fail "the silent uninstall ended with $?"
for i in $(seq 1 120); do
    [ -e "$installed/Uninstall.exe" ] || [ -e "$menu" ] || break
    sleep 0.5
done
sleep 2
left=$(cd "$installed" 2>/dev/null && ls -A | tr '\n' ' ')
[ "$left" = "DM_CurrSettings.txt " ] || fail "the program's folder holds \"$left\", not only the kept settings file"
[ ! -e "$menu" ] || fail "the Start-menu folder is left"
! reg32 'HKLM\Software\VexaPanel' || fail "the program's registry key is left"
! reg32 "$uninstall_key" || fail "the uninstall entry is left"
! reg32 'HKLM\Software\Microsoft\Windows\CurrentVersion\Run' /v VexaPanel || fail "the Run value is left"
[ ! -e "$task" ] || fail "the logon task is left"
[ $status -ne 0 ] || say "uninstalled: only the kept settings file is left"

portable="$prefix/drive_c/Portable"
mkdir -p "$portable"
(cd "$portable" && unzip -q "$zip_file")
for f in $stand_ins; do cp "$win32_dir/bin/$f" "$portable/Vexa Panel/"; done
VEXA_INSTALLED_PANEL='C:\Portable\Vexa Panel' timeout 300 "$WINE_LOADER" "$checker" \
    --gtest_filter=InstalledPanel.StartsFromAnUnpackedFolder --gtest_brief=1 || fail "the unpacked zip"
[ $status -ne 0 ] || say "the portable zip runs from its folder"

"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w 2>/dev/null || true
[ $status -eq 0 ] && say "passed" || say "FAILED"
exit $status
