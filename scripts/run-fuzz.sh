#!/bin/bash
# run-fuzz.sh [DIR] [RUNS]: builds the libFuzzer targets of tests/fuzz natively
# with clang into DIR (build/fuzz) and runs each over its seed corpus for RUNS
# executions (20000). Any finding fails the run; the input that caused it is
# left in DIR/findings. The committed seeds are only read: what a run learns
# goes to a scratch folder that is removed afterwards.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
dir="${1:-$root/build/fuzz}"
runs="${2:-20000}"
cxx="${VEXA_FUZZ_CXX:-clang++-14}"

if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root/tests/fuzz" -B "$dir" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$dir" -j "${JOBS:-2}" >/dev/null

mkdir -p "$dir/findings"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for corpus in "$root"/tests/fuzz/corpus/*/; do
    name=$(basename "$corpus")
    options=(-runs="$runs" -max_len=4096 -seed=1 -artifact_prefix="$dir/findings/$name-")
    [ -f "$root/tests/fuzz/dict/$name.dict" ] && options+=(-dict="$root/tests/fuzz/dict/$name.dict")
    mkdir -p "$scratch/$name"
    if "$dir/bin/fuzz_$name" "${options[@]}" "$scratch/$name" "$corpus" >"$scratch/$name.log" 2>&1; then
        echo "fuzz_$name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$scratch/$name.log")"
    else
        echo "fuzz_$name: FAILED"
        tail -n 40 "$scratch/$name.log"
        status=1
    fi
done
exit $status
