#!/bin/sh
# Builds the program and runs the whole test suite; then the same suite once more under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -e
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs"
if [ "${ZORVAN_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DZORVAN_SANITIZE=ON -DZORVAN_BUILD_BENCH=OFF
  cmake --build build-sanitize -j"$jobs"
  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
fi
