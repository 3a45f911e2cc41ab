#!/usr/bin/env bash
# Pinwright's one entry point for people and CI: installs what is missing (Debian packages),
# builds, and runs.
#   ./dev.sh run       build the programs only and start the window on the virtual programmer
#   ./dev.sh test      build and run the whole test suite
#   ./dev.sh package   build the programs and the Debian package (build/pinwright_*.deb)
#   ./dev.sh sanitize  build the tests with address and undefined-behaviour sanitizers and run them
#   ./dev.sh bench     build and run the benchmarks
#   ./dev.sh fuzz [S]  build the fuzz targets with clang and run each for S seconds (30 by default)
# With CI set (as .ci/run sets it), every build treats compiler warnings as errors.
set -euo pipefail
cd "$(dirname "$0")"

# What building and running the programs needs (Qt's own Russian texts for the window's
# standard dialogs included); the tests, benchmarks and fuzzers need the rest; the Debian
# package needs dpkg-shlibdeps (dpkg-dev) and file(1), with which CPack finds the libraries.
RUN_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-translations-l10n libftdi1-dev libsqlite3-dev
              libelf-dev)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev libusb-dev ftdi-eeprom avrdude
               sigrok-cli srecord gcc-avr avr-libc binutils-avr gputils xvfb xauth clang-14)
PACKAGE_PACKAGES=(dpkg-dev file)
JOBS=$(nproc)

# install_missing PACKAGE...: installs those of the named Debian packages that are missing.
install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Passed on every configure, so a build folder made under CI does not keep -Werror for a
# person's later build, nor the other way round.
WERROR=OFF
[ -n "${CI:-}" ] && WERROR=ON

build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DPINWRIGHT_WERROR="$WERROR" "$@" >/dev/null
  cmake --build "$dir" -j"$JOBS"
}

# The options of the shared build folder are given each time, so `run` after `test` drops the
# tests from the build and `test` after `run` brings them back, recompiling nothing.
PROGRAMS_ONLY=(-DPINWRIGHT_TESTS=OFF -DPINWRIGHT_BENCH=OFF -DPINWRIGHT_FUZZ=OFF)
EVERYTHING=(-DPINWRIGHT_TESTS=ON -DPINWRIGHT_BENCH=ON -DPINWRIGHT_FUZZ=OFF)

case "${1:-}" in
  run)
    install_missing "${RUN_PACKAGES[@]}"
    build build "${PROGRAMS_ONLY[@]}"
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      install_missing xvfb xauth
      echo "No display: starting the window on a virtual X display (xvfb-run)."
      exec xvfb-run -a build/bin/pinwright --simulator
    fi
    exec build/bin/pinwright --simulator
    ;;
  test)
    install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build build "${EVERYTHING[@]}"
    cd build && ctest --output-on-failure -j"$JOBS"
    ;;
  sanitize)
    install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build build-asan -DCMAKE_BUILD_TYPE=Debug -DPINWRIGHT_SANITIZE=ON -DPINWRIGHT_BENCH=OFF
    cd build-asan
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/../tests/lsan.supp:print_suppressions=0" \
      UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$JOBS"
    ;;
  bench)
    install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build build "${EVERYTHING[@]}"
    for b in build/bin/bench_*; do
      [ -x "$b" ] || continue
      echo "== $b"
      "$b" --benchmark_min_time=0.2
    done
    ;;
  fuzz)
    install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    CXX=clang++-14 build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPINWRIGHT_FUZZ=ON -DPINWRIGHT_GUI=OFF \
      -DPINWRIGHT_TESTS=OFF -DPINWRIGHT_BENCH=OFF
    seconds=${2:-30}
    for target in hex elf ini bench sfdp; do
      echo "== fuzz_$target (${seconds} s)"
      corpus=build-fuzz/corpus/$target
      mkdir -p "$corpus"
      build-fuzz/bin/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 "$corpus" fuzz/seeds/$target
    done
    ;;
  package)
    # The programs of the folder `run` and `test` use (after the tests: nothing to recompile),
    # packed for /usr by cmake/DebianPackage.cmake.
    install_missing "${RUN_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
    build build "${PROGRAMS_ONLY[@]}"
    rm -f build/pinwright_*.deb
    (cd build && cpack -G DEB)
    ;;
  *)
    sed -n '2,10p' "$0"
    exit 64
    ;;
esac
