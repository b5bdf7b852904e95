#!/bin/sh
# Installs what building and testing the project needs, from Debian's packages, and only
# what is missing: on a machine that has everything it changes nothing and needs no network.
# Works as root or through sudo, on a minimal Debian with nothing but apt.
#   tools/install-deps.sh           what building, the examples and the tests need
#   tools/install-deps.sh --bench   also the tools the benchmarks compare against
#   tools/install-deps.sh --fuzz    also clang with its sanitizer and libFuzzer runtimes
set -eu

packages="
  g++ cmake ninja-build make pkg-config binutils
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  liblua5.1-0-dev lua-cjson-dev lua-cjson lua-filesystem-dev lua-dkjson
  libarchive-dev zlib1g-dev libcrypto++-dev libcjson-dev librapidxml-dev libb64-dev
  libboost-dev
  locales
  dpkg-dev
  file
"
for option in "$@"; do
  case "$option" in
    --bench) packages="$packages libxml2-utils libarchive-tools" ;;
    --fuzz) packages="$packages clang libclang-rt-14-dev" ;;
    *) echo "install-deps: unknown option $option" >&2; exit 2 ;;
  esac
done

missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done

if [ -z "$missing" ]; then
  echo "install-deps: all packages present"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "install-deps: missing packages:$missing; run as root or install sudo" >&2
  exit 1
fi

echo "install-deps: installing$missing"
$as_root apt-get update -q
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -q --no-install-recommends $missing
