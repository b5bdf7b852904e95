#!/bin/sh
# Installs what is missing, builds everything with warnings as errors, installs the error
# description files and runs every test.
#   tools/run-tests.sh             regular build in build/
#   tools/run-tests.sh --sanitize  AddressSanitizer + UBSan build in build-asan/
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh

build_dir=build
options="-DZY_WERROR=ON"
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-asan
  options="$options -DZY_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"
fi

cmake -S . -B "$build_dir" -G Ninja $options
cmake --build "$build_dir"
./tools/install-error-files.sh "$build_dir"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
