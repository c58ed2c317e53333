#!/bin/sh
# Checks that the sources are formatted, builds the program with warnings as errors and runs the
# whole test suite; then the same suite once more under AddressSanitizer and
# UndefinedBehaviorSanitizer; then each fuzz target for ZORVAN_FUZZ_SECONDS (60) seconds when
# clang++ is there.
set -e
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
tools/check-format.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVAN_WERROR=ON
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs"
if [ "${ZORVAN_SKIP_SANITIZERS:-0}" != 1 ]; then
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DZORVAN_SANITIZE=ON -DZORVAN_BUILD_BENCH=OFF \
    -DZORVAN_WERROR=ON
  cmake --build build-sanitize -j"$jobs"
  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
fi
if command -v clang++ >/dev/null 2>&1; then
  CXX=clang++ tools/fuzz.sh "${ZORVAN_FUZZ_SECONDS:-60}"
else
  echo "run-tests: clang++ is not installed, the fuzz targets are not run"
fi
