#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   ./test.sh              the suite, then a short replay of the fuzz targets when clang is there
#   ./test.sh --sanitize   the suite built with AddressSanitizer and UndefinedBehaviorSanitizer
#                          (leak checking on) in build-sanitize
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/setup.sh"
install_missing_packages
if [ "${1:-}" = "--sanitize" ]; then
    cmake -S "$root" -B "$root/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKICKORA_SANITIZE=ON >/dev/null
    cmake --build "$root/build-sanitize" -j"$(nproc)"
    cd "$root/build-sanitize"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$root/tests/sanitizer-leaks.supp:print_suppressions=0"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
    exit 0
fi
build_project "$root"
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
if command -v clang++ >/dev/null; then
    "$root/scripts/fuzz.sh"
fi
