#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from the source of the very Qt that Debian
# ships, with Debian's mingw-w64, into a cache outside the clone, and prints
# the prefix. A finished build in the cache is reused as it is.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$root/cmake/mingw-w64-x86_64.cmake
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
options=(-xplatform win32-g++ -qt-host-path /usr -release -shared
         -no-opengl -no-dbus -no-icu -nomake examples -nomake tests
         -no-feature-tabletevent -no-feature-sql -no-feature-network
         -no-feature-xml -no-feature-testlib_selfcover)
hash=$(printf '%s\n' "$version" "${options[@]}" | cat - "$toolchain" | sha256sum | cut -c1-12)
cache=${CALLVISTA_CACHE:-/var/cache/callvista}
prefix=$cache/qt-${version%%+*}-mingw64-$hash

# One build at a time: a second run waits here for the first, then finds
# its result. The work folder below is wiped at start, so two runs must
# never share it.
mkdir -p "$cache"
exec 9>"$cache/.build.lock"
if ! flock -n 9; then
  echo "Waiting for another build of Qt for Windows to finish" >&2
  flock 9
fi

if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work=$cache/work-$hash
rm -rf "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/sources.list.d"
# A private apt configuration with the machine's own sources as deb-src, so
# that the system's apt set-up is left alone.
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed 's/^Types: deb$/Types: deb-src/' "$f" > "$work/apt/sources.list.d/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > "$work/apt/sources.list"
else
  : > "$work/apt/sources.list"
fi
apt_opts=(-o "Dir::Etc::SourceList=$work/apt/sources.list"
          -o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
          -o "Dir::State::Lists=$work/apt/lists")
apt-get "${apt_opts[@]}" update -qq >&2
(cd "$work" && apt-get "${apt_opts[@]}" source -qq "qt6-base=$version" >&2)
src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)

start=$(date +%s)
mkdir -p "$work/build"
(cd "$work/build" &&
  "$src/configure" -prefix "$prefix" "${options[@]}" -- \
     -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
     -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >&2 &&
  cmake --build . --parallel "$(nproc)" >&2 &&
  cmake --install . >&2)
echo "Qt for Windows built in $(( $(date +%s) - start )) s" >&2
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
