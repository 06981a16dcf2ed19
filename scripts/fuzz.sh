#!/usr/bin/env bash
# libFuzzer targets of tests/fuzz, built with clang in build-fuzz (the normal build stays g++).
#   scripts/fuzz.sh                   every target over its seed corpus for a few seconds: a
#                                     regression check (FUZZ_SECONDS, default 3)
#   scripts/fuzz.sh TARGET SECONDS    a campaign of one target; new inputs go to
#                                     build-fuzz/corpus/TARGET, findings to build-fuzz/findings
#   scripts/fuzz.sh --list            the targets
# A finding ends the run with a non-zero exit and names the input that caused it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
seeds="$root/tests/fuzz/corpus"

targets() {
    for f in "$root"/tests/fuzz/fuzz_*.cpp; do basename "$f" .cpp; done
}

if [ "${1:-}" = "--list" ]; then
    targets
    exit 0
fi
if ! command -v clang++ >/dev/null; then
    echo "clang++ fehlt: die Fuzz-Ziele brauchen clang und libFuzzer (Pakete clang, libclang-rt-14-dev)." >&2
    exit 1
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKICKORA_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_all >/dev/null

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/sanitizer-leaks.supp:print_suppressions=0}"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$build/findings"

# Seeds that live elsewhere: the Jet fixtures.
extra_seeds() {
    case "$1" in
        fuzz_jetimport) echo "$root/tests/fixtures/jet/DateTestDatabase.mdb" ;;
    esac
}

# run TARGET SECONDS WORKDIR: the committed seeds are read, new inputs land in WORKDIR.
run() {
    local target="$1" seconds="$2" work="$3"
    mkdir -p "$work"
    for f in $(extra_seeds "$target"); do cp -n "$f" "$work/"; done
    local dirs=("$work")
    [ -d "$seeds/$target" ] && dirs+=("$seeds/$target")
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2560 -max_len=1048576 \
        -print_final_stats=1 -artifact_prefix="$build/findings/$target-" "${dirs[@]}"
}

if [ $# -eq 2 ]; then
    [ -f "$root/tests/fuzz/$1.cpp" ] || { echo "Unbekanntes Ziel $1; scripts/fuzz.sh --list nennt sie." >&2; exit 2; }
    run "$1" "$2" "$build/corpus/$1"
    exit 0
fi
if [ $# -ne 0 ]; then
    echo "Aufruf: scripts/fuzz.sh [TARGET SECONDS | --list]" >&2
    exit 2
fi

seconds="${FUZZ_SECONDS:-3}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failed=()
for t in $(targets); do
    if run "$t" "$seconds" "$scratch/$t" >"$scratch/$t.log" 2>&1; then
        echo "fuzz $t: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$scratch/$t.log" | grep -o '[0-9]*$') Läufe ohne Befund"
    else
        echo "fuzz $t: BEFUND" >&2
        tail -n 40 "$scratch/$t.log" >&2
        failed+=("$t")
    fi
done
[ ${#failed[@]} -eq 0 ] || { echo "Befunde in: ${failed[*]}" >&2; exit 1; }
