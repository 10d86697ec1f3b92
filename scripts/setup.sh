#!/usr/bin/env bash
# Sets up a Debian 12 machine for Callvista and then builds and starts it
# (run), builds and runs every test (test), runs the benchmarks (bench), or
# builds the program for Windows with its tests and installer and runs those
# tests under wine (windows).
# Safe to run again: it installs only what is missing and builds only what
# changed.
set -euo pipefail

cd "$(dirname "$0")/.."
root=$(pwd)
mode=${1:-run}

packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
          fonts-dejavu-core fonts-liberation)
case "$mode" in
  test) packages+=(clang clang-format libclang-rt-14-dev libbenchmark-dev xvfb xdotool openbox
                   x11-utils imagemagick desktop-file-utils appstream dpkg-dev lintian
                   shared-mime-info libglib2.0-bin
                   fonts-noto-cjk fonts-noto-core at-spi2-core python3-pyatspi dbus-daemon) ;;
  bench) packages+=(libbenchmark-dev valgrind abook tmux xvfb xdotool x11-utils python3) ;;
  windows) packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
                      wine wine64 nsis xvfb xdotool openbox x11-utils imagemagick dpkg-dev
                      fonts-noto-core fonts-noto-cjk
                      ccache) ;;
esac

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures every time, which is cheap, so that a changed option always
# takes effect, then builds what changed.
configure_and_build() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$(nproc)"
}

# A stage's script must be there and runnable; a lost run bit is a fault to
# report, never a reason to skip the stage.
runnable() {
  [ -f "$1" ] && [ -x "$1" ] && return 0
  echo "setup.sh: $1 is missing or not executable (chmod +x $1)" >&2
  exit 1
}

install_missing "${packages[@]}"

case "$mode" in
  run)
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
    exec ./build/app/callvista
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    echo "== Build with warnings as errors, and the unit tests"
    configure_and_build build-test -DCMAKE_BUILD_TYPE=Debug -DCALLVISTA_WERROR=ON \
      -DCALLVISTA_BENCH=ON
    (cd build-test && ctest --output-on-failure -j 2)
    echo "== The same tests with AddressSanitizer and UndefinedBehaviorSanitizer"
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DCALLVISTA_WERROR=ON \
      -DCALLVISTA_SANITIZE=ON
    (cd build-asan && ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
       LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
       UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
       ctest --output-on-failure -j 2)
    runnable scripts/fuzz.sh
    echo "== Fuzzing the readers of documents, vCards and CSV files"
    scripts/fuzz.sh
    runnable tests/e2e/run.sh
    echo "== End-to-end tests in a real window"
    tests/e2e/run.sh build-test/app/callvista
    ;;
  bench)
    configure_and_build build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
      -DCALLVISTA_BENCH=ON
    QT_QPA_PLATFORM=offscreen ./build-bench/bench/callvista-bench "${@:2}"
    runnable bench/compare_abook.py
    echo "== Side by side with abook, whole processes on Xvfb and in tmux"
    bench/compare_abook.py build-bench
    ;;
  windows)
    start=$SECONDS
    runnable scripts/build-qt-windows.sh
    echo "== Qt for Windows (built once, then taken from its cache)"
    qt=$(scripts/build-qt-windows.sh)
    echo "== The program, its tests and its installer for Windows"
    export CCACHE_BASEDIR=$root
    configure_and_build build-windows -DCMAKE_BUILD_TYPE=Release -DCALLVISTA_WERROR=ON \
      -DCALLVISTA_BENCH=ON \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCALLVISTA_QT_WINDOWS_PREFIX="$qt" -DCMAKE_PREFIX_PATH="$qt" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
      -DCMAKE_CROSSCOMPILING_EMULATOR="$root/tests/windows/wine-run.sh"
    (cd build-windows && cpack >/dev/null)
    rm -rf build-windows/_CPack_Packages
    ls -l build-windows/Callvista-*-win64.exe build-windows/Callvista-*-win64.zip
    runnable tests/windows/run.sh
    echo "== Windows tests under wine"
    tests/windows/run.sh build-windows "$qt"
    echo "setup.sh windows took $((SECONDS - start)) s"
    ;;
  *)
    echo "usage: $0 run|test|bench|windows [benchmark options]" >&2
    exit 2
    ;;
esac
