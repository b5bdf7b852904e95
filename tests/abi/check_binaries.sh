#!/bin/sh
# Usage: check_binaries.sh LIBRARY RUNTIME HEADER
# The library exports exactly the functions its public header declares, carries its soname
# and finds the runtime through RUNPATH (never RPATH, which LD_LIBRARY_PATH cannot override),
# whose every entry names a directory: an empty one would have the loader search the current
# directory. Both libraries bind their symbols at load and keep relocated data read-only.
set -eu
library=$1 runtime=$2 header=$3
fail=0

# Binding at load (BIND_NOW, or NOW among the FLAGS_1) and a read-only relocation segment.
check_hardened() {
  readelf -d "$1" | grep -q -e '(FLAGS) .*BIND_NOW' -e '(FLAGS_1) .*Flags:.* NOW' \
    || { echo "$1 does not bind its symbols at load"; fail=1; }
  readelf -lW "$1" | grep -q 'GNU_RELRO' \
    || { echo "$1 has no read-only relocation segment"; fail=1; }
}

expected=$(sed -n 's/^ZYOSTREL_API[^(]*[ *]\([A-Za-z_][A-Za-z0-9_]*\) *(.*/\1/p' "$header" | sort)
exported=$(nm -D --defined-only "$library" | awk '{print $3}' | sort)
if [ "$expected" != "$exported" ]; then
  echo "exported symbols differ from the header's functions:"
  printf '%s\n' "$expected" > expected.txt
  printf '%s\n' "$exported" > exported.txt
  diff expected.txt exported.txt || true
  fail=1
fi

dynamic=$(readelf -d "$library")
echo "$dynamic" | grep -q 'Library soname: \[libzyostrelapi.so.1\]' \
  || { echo "library soname is not libzyostrelapi.so.1"; fail=1; }
echo "$dynamic" | grep -q 'Shared library: \[libZyFpga.so.13\]' \
  || { echo "library does not need libZyFpga.so.13"; fail=1; }
echo "$dynamic" | grep -q '(RUNPATH)' || { echo "library has no RUNPATH"; fail=1; }
if echo "$dynamic" | grep -q '(RPATH)'; then echo "library has an RPATH"; fail=1; fi
runpath=$(echo "$dynamic" | sed -n 's/.*(RUNPATH).*Library runpath: \[\(.*\)\]$/\1/p')
case ":$runpath:" in
  *::*) echo "library RUNPATH has an empty entry: [$runpath]"; fail=1 ;;
esac
check_hardened "$library"
check_hardened "$runtime"

readelf -d "$runtime" | grep -q 'Library soname: \[libZyFpga.so.13\]' \
  || { echo "runtime soname is not libZyFpga.so.13"; fail=1; }
unexpected=$(nm -D --defined-only "$runtime" | awk '{print $3}' \
  | grep -v -e '^ZyFpgaDll_' -e '^zyemu_' || true)
if [ -n "$unexpected" ]; then
  echo "runtime exports more than its entry points and control interface:"
  echo "$unexpected"
  fail=1
fi

[ $fail -eq 0 ] && echo "exports, sonames, RUNPATH and binding as expected"
exit $fail
