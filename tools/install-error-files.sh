#!/bin/sh
# Installs the error description files of a build where the library reads them: the errors
# directory of the shared directory that /etc/zyvend/share/share.dir names, or of the
# library's default shared directory when that file is absent (the file is then written to
# name it). A share.dir that points elsewhere is kept and the files go there. Changes nothing
# when the installed files are current; otherwise works as root or through sudo.
#   tools/install-error-files.sh [build-dir]     build-dir defaults to build
set -eu
cd "$(dirname "$0")/.."
build_dir=${1:-build}
script=$build_dir/translator/errors/install-error-files.cmake
if [ ! -f "$script" ]; then
  echo "install-error-files: $script missing; configure and build $build_dir first" >&2
  exit 1
fi

if [ "$(cmake -DZY_MODE=check -P "$script")" = "current" ]; then
  echo "install-error-files: error description files up to date"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "install-error-files: run as root or install sudo to install the error description files" >&2
  exit 1
fi
# The script, not "cmake --install": as root that would leave a root-owned install record
# in the build directory.
$as_root cmake -DZY_MODE=install -P "$script"
