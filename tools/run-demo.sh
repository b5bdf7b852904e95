#!/bin/sh
# Installs what is missing, builds the library with the emulated instrument, installs its
# error description files and runs the example programs against it.
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build
./tools/install-error-files.sh build
for example in first_session acquisition instrument_setup dsp_reset error_descriptions \
    firmware_update; do
  echo "== $example"
  ./build/examples/$example
done
