#!/bin/sh
# Builds the Debian package with CPack, checks its declared dependencies and contents,
# unpacks it into a scratch root with dpkg-deb and runs programs against the libraries there:
# the outside example built by pkg-config from the unpacked package, and the command-line
# tool when the build has it.
# shellcheck source=tests/install/common.sh
. "$(dirname "$0")/common.sh"
: "${ZY_CPACK:?}" "${ZY_SHARE_DIR_FILE:?}"

if ! command -v dpkg-deb >/dev/null; then
  echo "dpkg-deb not installed: no package test" >&2
  exit 77
fi

rm -rf "$scratch"
mkdir -p "$scratch"
logged cpack.log "$ZY_CPACK" --config "$ZY_BUILD_DIR/CPackConfig.cmake" -G DEB \
  -B "$scratch/package"
set -- "$scratch"/package/*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  fail "expected one package in $scratch/package: $*"
fi
deb=$1

# The dependencies come from the libraries the binaries load; without them the package
# would install where it cannot run.
depends=$(dpkg-deb --field "$deb" Depends)
for dependency in libc6 libstdc++6; do
  case ", $depends" in
    *", $dependency "* | *", $dependency,"* | *", $dependency") ;;
    *) fail "package does not depend on $dependency: Depends: $depends" ;;
  esac
done

dpkg-deb --contents "$deb" >"$scratch/contents.txt"
# The shared directory's file belongs to the machine's installations, not to this package.
if grep -q "share\.dir$" "$scratch/contents.txt"; then
  fail "package holds a share.dir"
fi

root=$scratch/root
dpkg-deb --extract "$deb" "$root"
# The package installs under /usr.
installed=$root/usr
expect_file "$installed/$ZY_INCLUDEDIR/zyostrelapi.h"
[ -L "$installed/$ZY_LIBDIR/libzyostrelapi.so.1" ] || fail "no soname link libzyostrelapi.so.1"
expect_file "$installed/$ZY_EMULATOR_DIR/libZyFpga.so.13"
expect_file "$installed/$ZY_LIBDIR/cmake/zyostrelapi/zyostrelapiConfig.cmake"
count=$(find "$root" -name zyostrelapi-errors.txt | wc -l)
[ "$count" -eq 6 ] || fail "$count error description files in the package, 6 expected"

# Maintainer scripts, run on the unpacked root as dpkg would run them there: with a share.dir
# naming another shared directory, postinst links the description files into it, except
# where a real file is in place, and prerm takes exactly those links away.
dpkg-deb --control "$deb" "$scratch/control"
default_file=$(find "$root" -name zyostrelapi-errors.txt -path '*/English/*')
default_dir=${default_file#"$root"}
default_dir=${default_dir%/errors/English/zyostrelapi-errors.txt}
mkdir -p "$root$(dirname "$ZY_SHARE_DIR_FILE")" "$root/srv/maker/share/errors/French"
printf ' /srv/maker/share//\n\n' >"$root$ZY_SHARE_DIR_FILE"
echo "kept" >"$root/srv/maker/share/errors/French/zyostrelapi-errors.txt"
DPKG_ROOT=$root sh "$scratch/control/postinst" configure
links=$(find "$root/srv/maker/share/errors" -type l | wc -l)
[ "$links" -eq 5 ] || fail "postinst made $links links, 5 expected"
link=$root/srv/maker/share/errors/German/zyostrelapi-errors.txt
[ "$(readlink "$link")" = "$default_dir/errors/German/zyostrelapi-errors.txt" ] ||
  fail "postinst linked $link to $(readlink "$link")"
DPKG_ROOT=$root sh "$scratch/control/prerm" remove
links=$(find "$root/srv/maker/share/errors" -type l | wc -l)
[ "$links" -eq 0 ] || fail "prerm left $links links"
[ "$(cat "$root/srv/maker/share/errors/French/zyostrelapi-errors.txt")" = kept ] ||
  fail "a description file the package did not install was changed"

build_with_pkgconfig "$installed/$ZY_LIBDIR/pkgconfig" "$scratch/pkgconfig"
expect_loads_from "$scratch/pkgconfig/consumer" "$root"
expect_consumer_runs "$scratch/pkgconfig/consumer"

if [ "${ZY_HAS_TOOL:-0}" = 1 ]; then
  tool=$installed/$ZY_BINDIR/ostrel
  expect_file "$tool"
  expect_loads_from "$tool" "$root"
  # shellcheck disable=SC2086 # the arguments are a list
  logged tool.log "$tool" ${ZY_TOOL_ARGS:-}
  echo "ostrel ${ZY_TOOL_ARGS:-} ran from the unpacked package"
fi
