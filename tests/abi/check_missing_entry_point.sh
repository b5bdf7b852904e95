#!/bin/sh
# Usage: check_missing_entry_point.sh PROGRAM RUNTIME_DIR SYMBOL LIBRARY
# PROGRAM links LIBRARY, which uses SYMBOL of the runtime; RUNTIME_DIR holds a libZyFpga.so.13
# without it. Run against that runtime, the program must not start: the loader refuses it and
# names the symbol, rather than the program dying at its first call of the entry point.
set -eu
program=$1 runtime_dir=$2 symbol=$3 library=$4

nm -D --undefined-only "$library" | grep -qw "$symbol" \
  || { echo "the library does not use $symbol, so its absence proves nothing"; exit 1; }
if nm -D --defined-only "$runtime_dir/libZyFpga.so.13" | grep -qw "$symbol"; then
  echo "the stand-in runtime in $runtime_dir defines $symbol"
  exit 1
fi

status=0
output=$(LD_LIBRARY_PATH=$runtime_dir "$program" emulator 2>&1) || status=$?
echo "$output"
fail=0
[ $status -ne 0 ] || { echo "the program exited with 0"; fail=1; }
case $output in
  *"undefined symbol: $symbol"*) ;;
  *) echo "the loader did not name $symbol"; fail=1 ;;
esac
case $output in
  *"open:"*) echo "the program ran before the missing symbol stopped it"; fail=1 ;;
esac
[ $fail -eq 0 ] && echo "refused at load, naming $symbol"
exit $fail
