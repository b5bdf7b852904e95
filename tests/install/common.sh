# Shared by the installation tests: sourced, with the scratch directory as $1 of the test.

set -eu
: "${ZY_SOURCE_DIR:?}" "${ZY_BUILD_DIR:?}" "${ZY_CMAKE:?}" "${ZY_CC:?}" "${ZY_LIBDIR:?}"
: "${ZY_INCLUDEDIR:?}" "${ZY_BINDIR:?}" "${ZY_LANGUAGES:?}"
scratch=${1:?scratch directory}
consumer_dir=$ZY_SOURCE_DIR/examples/consumer
# Libraries must be found through the installation's own paths, not the caller's.
unset LD_LIBRARY_PATH

# A sanitized library needs its runtime loaded first, so the consumer is built like it.
consumer_flags=""
if [ "${ZY_SANITIZE:-0}" = 1 ]; then
  consumer_flags="-fsanitize=address,undefined"
fi

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Runs "$@" with its output in $scratch/<log>, shown when it fails.
logged() {
  log=$scratch/$1
  shift
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    fail "$* (log: $log)"
  fi
}

expect_file() {
  [ -f "$1" ] || fail "missing $1"
}

# The program must load the product library and the emulator from below the given root.
expect_loads_from() {
  program=$1
  root=$2
  ldd "$program" >"$scratch/ldd.txt" 2>&1 || { cat "$scratch/ldd.txt" >&2; fail "ldd $program"; }
  for library in libzyostrelapi.so.1 libZyFpga.so.13; do
    line=$(grep "$library =>" "$scratch/ldd.txt" || true)
    case "$line" in
      *"=> $root/"*) ;;
      *) cat "$scratch/ldd.txt" >&2; fail "$program loads $library from outside $root: $line" ;;
    esac
  done
}

# Runs the consumer and checks that it read a serial number from the emulated instrument.
expect_consumer_runs() {
  output=$("$1") || fail "$1 failed: $output"
  case "$output" in
    "ostrel0 serial number: "?*) echo "$1: $output" ;;
    *) fail "$1 printed no serial number: $output" ;;
  esac
}

# Builds the consumer with its Makefile, finding the library by pkg-config below the given
# pkgconfig directory only.
build_with_pkgconfig() {
  pc_dir=$1
  out=$2
  command -v pkg-config >/dev/null || fail "pkg-config not installed"
  mkdir -p "$out"
  logged make.log env PKG_CONFIG_LIBDIR="$pc_dir" PKG_CONFIG_PATH="" \
    make -C "$consumer_dir" OUT="$out" CC="$ZY_CC" CFLAGS="-O2 -Wall -Wextra -Werror $consumer_flags"
}
