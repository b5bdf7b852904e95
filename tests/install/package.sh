#!/bin/sh
# Builds the Debian package with CPack, checks its declared dependencies and contents, and
# installs it with dpkg into a scratch root (its maintainer scripts run against that root),
# then runs programs against the libraries there: the outside example built by pkg-config
# from the installed package, and the command-line tool when the build has it. Finally
# removes the package again.
# shellcheck source=tests/install/common.sh
. "$(dirname "$0")/common.sh"
: "${ZY_CPACK:?}" "${ZY_SHARE_DIR_FILE:?}"

if ! command -v dpkg-deb >/dev/null || ! command -v dpkg >/dev/null; then
  echo "dpkg not installed: no package test" >&2
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
  case ", $depends," in
    *", $dependency "* | *", $dependency,"*) ;;
    *) fail "package does not depend on $dependency: Depends: $depends" ;;
  esac
done
# The shared directory's file belongs to the machine's installations, not to this package.
if dpkg-deb --contents "$deb" | grep -q "share\.dir$"; then
  fail "package holds a share.dir"
fi

# A root with an empty package database, whose share.dir names another shared directory
# holding a description file of its own. The dependencies are not in that database, only on
# this machine; the maintainer scripts run here with DPKG_ROOT naming the root.
root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
: >"$root/var/lib/dpkg/status"
mkdir -p "$root$(dirname "$ZY_SHARE_DIR_FILE")" "$root/srv/maker/share/errors/French"
printf ' /srv/maker/share//\n\n' >"$root$ZY_SHARE_DIR_FILE"
echo "kept" >"$root/srv/maker/share/errors/French/zyostrelapi-errors.txt"
# dpkg wants ldconfig in PATH, which a user's PATH may leave out.
dpkg_root() {
  logged dpkg.log env PATH="$PATH:/usr/sbin:/sbin" dpkg --root="$root" --force-not-root \
    --force-depends --force-script-chrootless --log=/dev/null "$@"
}
dpkg_root --install "$deb"

# The package installs under /usr.
installed=$root/usr
expect_file "$installed/$ZY_INCLUDEDIR/zyostrelapi.h"
[ -L "$installed/$ZY_LIBDIR/libzyostrelapi.so.1" ] || fail "no soname link libzyostrelapi.so.1"
expect_file "$installed/$ZY_LIBDIR/libZyFpga.so.13"
expect_file "$installed/$ZY_LIBDIR/cmake/zyostrelapi/zyostrelapiConfig.cmake"
default_file=$(find "$root" -path '*/errors/English/zyostrelapi-errors.txt' ! -path '*/srv/*')
[ -n "$default_file" ] || fail "no English error description file installed"
count=$(find "$root" -name zyostrelapi-errors.txt ! -path '*/srv/*' | wc -l)
[ "$count" -eq "$ZY_LANGUAGES" ] ||
  fail "$count error description files installed, $ZY_LANGUAGES expected"

# postinst linked the files into the other shared directory, except where a file was.
default_dir=${default_file#"$root"}
default_dir=${default_dir%/errors/English/zyostrelapi-errors.txt}
links=$(find "$root/srv/maker/share/errors" -type l | wc -l)
[ "$links" -eq $((ZY_LANGUAGES - 1)) ] ||
  fail "postinst made $links links, $((ZY_LANGUAGES - 1)) expected"
link=$root/srv/maker/share/errors/German/zyostrelapi-errors.txt
[ "$(readlink "$link")" = "$default_dir/errors/German/zyostrelapi-errors.txt" ] ||
  fail "postinst linked $link to $(readlink "$link")"

build_with_pkgconfig "$installed/$ZY_LIBDIR/pkgconfig" "$scratch/pkgconfig"
expect_loads_from "$scratch/pkgconfig/consumer" "$root"
expect_consumer_runs "$scratch/pkgconfig/consumer"

if [ "${ZY_HAS_TOOL:-0}" = 1 ]; then
  tool=$installed/$ZY_BINDIR/ostrel
  expect_file "$tool"
  # Installed for real, the tool finds the library in the system's library directory; here
  # it is pointed at the root's.
  (
    export LD_LIBRARY_PATH="$installed/$ZY_LIBDIR"
    expect_loads_from "$tool" "$root"
    # shellcheck disable=SC2086 # the arguments are a list
    logged tool.log "$tool" ${ZY_TOOL_ARGS:-}
  )
  echo "ostrel ${ZY_TOOL_ARGS:-} ran from the installed package"
fi

# Removal takes the package's files and links away and leaves the other file.
dpkg_root --remove zyostrelapi
[ ! -e "$installed/$ZY_LIBDIR/libzyostrelapi.so.1" ] || fail "library left after removal"
links=$(find "$root/srv/maker/share/errors" -type l | wc -l)
[ "$links" -eq 0 ] || fail "removal left $links links"
[ "$(cat "$root/srv/maker/share/errors/French/zyostrelapi-errors.txt")" = kept ] ||
  fail "a description file the package did not install was changed"
