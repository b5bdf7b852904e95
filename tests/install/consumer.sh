#!/bin/sh
# Installs the build into a scratch root with DESTDIR, under a prefix other than the one it
# was configured for, then builds the outside example against that installation with
# find_package and with pkg-config and runs both builds: each must load the installed
# library and the installed emulator.
# shellcheck source=tests/install/common.sh
. "$(dirname "$0")/common.sh"

rm -rf "$scratch"
mkdir -p "$scratch"
root=$scratch/root
prefix=/opt/zyostrelapi
logged install.log env DESTDIR="$root" "$ZY_CMAKE" --install "$ZY_BUILD_DIR" --prefix "$prefix"

installed=$root$prefix
expect_file "$installed/$ZY_INCLUDEDIR/zyostrelapi.h"
[ -L "$installed/$ZY_LIBDIR/libzyostrelapi.so.1" ] || fail "no soname link libzyostrelapi.so.1"
[ -L "$installed/$ZY_LIBDIR/libzyostrelapi.so" ] || fail "no link libzyostrelapi.so to link with"
expect_file "$installed/$ZY_LIBDIR/libZyFpga.so.13"
# The error description files go to the shared directory, outside the prefix, one per
# language, and with DESTDIR below the root like everything else.
count=$(find "$root" -name zyostrelapi-errors.txt | wc -l)
[ "$count" -eq "$ZY_LANGUAGES" ] ||
  fail "$count error description files installed, $ZY_LANGUAGES expected"
if [ "${ZY_HAS_TOOL:-0}" = 1 ]; then
  expect_file "$installed/$ZY_BINDIR/ostrel"
fi

# find_package, seeing this installation only.
logged cmake-configure.log "$ZY_CMAKE" -S "$consumer_dir" -B "$scratch/cmake" \
  -G "${ZY_GENERATOR:-Unix Makefiles}" -DCMAKE_C_COMPILER="$ZY_CC" \
  -DCMAKE_C_FLAGS="$consumer_flags" -DCMAKE_PREFIX_PATH="$installed" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF
grep -q "Using zyostrelapi .* from $installed/" "$scratch/cmake-configure.log" ||
  fail "find_package did not take the scratch installation (log: $scratch/cmake-configure.log)"
logged cmake-build.log "$ZY_CMAKE" --build "$scratch/cmake"
expect_loads_from "$scratch/cmake/consumer" "$root"
expect_consumer_runs "$scratch/cmake/consumer"

build_with_pkgconfig "$installed/$ZY_LIBDIR/pkgconfig" "$scratch/pkgconfig"
expect_loads_from "$scratch/pkgconfig/consumer" "$root"
expect_consumer_runs "$scratch/pkgconfig/consumer"
