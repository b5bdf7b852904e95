#!/bin/sh
# Installs what is missing, builds everything with warnings as errors, installs the error
# description files and runs every test.
#   tools/run-tests.sh             regular build in build/
#   tools/run-tests.sh --sanitize  AddressSanitizer + UBSan build in build-asan/
#   tools/run-tests.sh --tsan      ThreadSanitizer build in build-tsan/ of the tests labelled
#                                  concurrency only, and only those run
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh

build_dir=build
options="-DZY_WERROR=ON"
case "${1:-}" in
  --sanitize)
    build_dir=build-asan
    options="$options -DZY_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"
    ;;
  --tsan)
    cmake -S . -B build-tsan -G Ninja -DZY_WERROR=ON -DZY_TSAN=ON
    cmake --build build-tsan --target zy_concurrency_tests
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
      ctest --test-dir build-tsan --output-on-failure -L concurrency -j "$(nproc)"
    exit 0
    ;;
esac

cmake -S . -B "$build_dir" -G Ninja $options
cmake --build "$build_dir"
./tools/install-error-files.sh "$build_dir"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
