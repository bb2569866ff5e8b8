#!/bin/sh
# configure-tree.sh DIR ARCH RUN_TESTS: configures one build tree once; later
# builds re-run CMake by themselves when a CMakeLists.txt changes. A tree of
# another architecture is started afresh; one that only registers its tests
# differently is reconfigured in place.
set -e
dir="$1"; arch="$2"; run_tests="$3"
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -f "$dir/CMakeCache.txt" ] && grep -q "^VEXA_ARCH:STRING=$arch\$" "$dir/CMakeCache.txt"; then
    grep -q "^VEXA_RUN_TESTS:BOOL=$run_tests\$" "$dir/CMakeCache.txt" && exit 0
    exec cmake -S "$root" -B "$dir" -DVEXA_RUN_TESTS:BOOL="$run_tests" >/dev/null
fi
rm -rf "$dir"
cmake -S "$root" -B "$dir" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/Toolchain-$arch-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DVEXA_ARCH:STRING="$arch" \
    -DVEXA_RUN_TESTS:BOOL="$run_tests" >/dev/null
