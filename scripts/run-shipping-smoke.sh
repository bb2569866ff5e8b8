#!/bin/bash
# run-shipping-smoke.sh TEST_DIR WIN32_DIR: starts the shipping 32-bit
# VexaPanel.exe on the virtual card once per chip kind and checks it from
# outside with shipping_smoke.exe of the test tree. On a kernel without
# 32-bit support only the 32-bit programs run under qemu-user; the checker
# and Wine's services stay native x86_64. Then the setup program and the
# portable zip of the same program are tried the same way
# (run-install-check.sh). When the 32-bit program cannot run at all this
# says so and passes.
set -e
here=$(cd "$(dirname "$0")" && pwd)
self="$here/$(basename "$0")"
binfmt=/proc/sys/fs/binfmt_misc

register_qemu() {
    # i386 ELF executables and shared objects. F opens the emulator now, so
    # that it is found from any mount namespace.
    printf '%s' ":$1:M::"'\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$QEMU_I386:F" \
        > $binfmt/register
}

run_checker() {
    . "$here/wine-env.sh"
    wine_env_for "$CHECKER"
    # A 64-bit Windows of its own, where the 32-bit program runs under WOW64
    # (the tests' tree covers a 32-bit Windows where it can), booted where
    # 32-bit programs run: one booted without them lacks the 32-bit system
    # files, and every 32-bit program then fails to load kernel32.dll.
    PREFIX_ARCH=win64
    if [ ! -f "$PREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        rm -rf "$PREFIX"
    fi
    wine_prefix_ready "$PREFIX"
    status=0
    timeout -k 10 600 $WINE_LOADER "$CHECKER" "$PANEL_DIR_WIN" "$STATE_WIN" 120 || status=$?
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
    [ $status -ne 124 ] || echo "shipping smoke: FAILED: no result within 10 minutes"
    # The setup program and the zip hold the same 32-bit program.
    "$here/run-install-check.sh" "$TEST_DIR" "$WIN32_DIR" || [ $status -ne 0 ] || status=1
    return $status
}

# Exit status 125 from here on means "the emulator cannot be used".
case "$1" in
    --binfmt-namespace)
        # A binfmt_misc instance of this user namespace (Linux 6.7 and
        # later): the emulator is registered for this process tree only, and
        # the rest of the machine, can-run-i386 included, sees the kernel as
        # it is. Registering takes the namespace's root; Wine then runs in a
        # nested namespace as the caller again (its server directory and its
        # prefix go by the user id), and the registration still applies there.
        mount -t binfmt_misc binfmt_misc $binfmt 2>/dev/null || exit 125
        register_qemu qemu-i386 2>/dev/null || exit 125
        exec unshare --user --map-user="$OWNER_UID" --map-group="$OWNER_GID" "$self" --emulated ;;
    --emulated)
        "$here/can-run-i386" || exit 125
        run_checker
        exit $? ;;
esac

notice() {
    echo "shipping smoke: NOTICE: the shipping 32-bit VexaPanel.exe was not executed: $*"
    exit 0
}

test_dir=$(cd "$1" && pwd)
win32_dir=$(cd "$2" && pwd)
panel_dir="$win32_dir/bin"
export CHECKER="$test_dir/bin/shipping_smoke.exe"
export TEST_DIR="$test_dir" WIN32_DIR="$win32_dir"
. "$here/wine-env.sh"
[ -f "$panel_dir/VexaPanel.exe" ] && [ "$(pe_machine "$panel_dir/VexaPanel.exe")" = 014c ] ||
    notice "no 32-bit build in $win32_dir"
for f in "$panel_dir"/{VexaPanel.exe,nvapi.dll,PMReader.dll,nvflash.exe,inicd.dll,DMini,Arial.ttf,digifaw.ttf} "$CHECKER" \
    "$test_dir/bin/install_checks.exe"; do
    [ -f "$f" ] || { echo "shipping smoke: FAILED: $f is missing"; exit 1; }
done

win_path() { printf 'Z:%s' "$1" | tr / '\\'; }
export PANEL_DIR_WIN=$(win_path "$panel_dir")
export STATE_WIN=$(win_path "$test_dir/shipping-smoke.state")
export PREFIX="$test_dir/wineprefix-shipping"
export QEMU_I386=/usr/bin/qemu-i386-static
# Without a preloader (Debian ships none), 32-bit Wine reserves the address
# space above 2 GiB in 64 KiB steps. qemu-user (7.2) honours none of those
# address hints and each attempt costs time in proportion to the guest
# address space: about a minute per process with the default 4 GiB, seconds
# with a space that ends just above 2 GiB.
export QEMU_RESERVED_VA=0x82000000

started=$(date +%s)
finish() {
    echo "shipping smoke: $1 ($(($(date +%s) - started)) s)"
    case "$1" in passed*) exit 0 ;; esac
    exit 1
}

if "$here/can-run-i386"; then
    echo "shipping smoke: 32-bit Wine runs natively"
    run_checker && finish "passed, native"
    finish "FAILED, native"
fi

[ -x "$QEMU_I386" ] || notice "this kernel runs no 32-bit programs and $QEMU_I386 (qemu-user-static) is missing"

export OWNER_UID=$(id -u) OWNER_GID=$(id -g)
if unshare --user --map-root-user --mount true 2>/dev/null; then
    echo "shipping smoke: running the 32-bit programs under $QEMU_I386"
    status=0
    unshare --user --map-root-user --mount "$self" --binfmt-namespace || status=$?
    [ $status -eq 0 ] && finish "passed, emulated"
    [ $status -ne 125 ] && finish "FAILED, emulated"
fi

# Older kernels have one binfmt_misc for the whole machine: only root may
# register there, and the entry goes again when this script ends. While it
# is there, can-run-i386 answers yes for everyone on the machine.
[ "$(id -u)" -eq 0 ] || notice "this kernel has no binfmt_misc per user namespace and registering qemu needs root"
mounted_here=""
if [ ! -f $binfmt/register ]; then
    mount -t binfmt_misc binfmt_misc $binfmt 2>/dev/null || notice "binfmt_misc cannot be mounted"
    mounted_here=1
fi
entry=vexa-qemu-i386-$$
cleanup() {
    [ ! -f $binfmt/$entry ] || echo -1 > $binfmt/$entry
    [ -z "$mounted_here" ] || umount $binfmt 2>/dev/null || true
}
trap cleanup EXIT
register_qemu $entry 2>/dev/null || notice "qemu cannot be registered with binfmt_misc"
"$here/can-run-i386" || notice "32-bit programs do not run even under $QEMU_I386"
echo "shipping smoke: 32-bit programs run under $QEMU_I386 (registered until this run ends)"
run_checker && finish "passed, emulated"
finish "FAILED, emulated"
