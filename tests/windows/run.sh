#!/usr/bin/env bash
# Runs the Windows build's tests under wine, from Linux:
# 1. every Qt Test program, through CTest with wine-run.sh as its emulator,
#    and the timing of the list's comparison;
# 2. the real window, driven with xdotool (tests/e2e/run.sh with the
#    scenarios here), its screenshots kept in <build>/e2e-artefacts;
# 3. the installer: installed silently, the installed program started and a
#    .CVA document opened through its file association, then uninstalled,
#    which must leave neither files nor the association behind.
# Usage: run.sh <build folder> <Qt for Windows prefix>
set -euo pipefail

build=$(realpath "${1:?usage: run.sh <build folder> <Qt prefix>}")
qt=$(realpath "${2:?usage: run.sh <build folder> <Qt prefix>}")
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
logs=$build/wine-logs
mkdir -p "$logs"

export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes the ANSI code page from the locale: Windows-1252 for this one.
export LC_ALL=C.UTF-8
export WINEARCH=win64

# One X server for the whole run: Qt under wine needs a display even
# offscreen, and the prefix must be made with one.
source "$root/tests/xvfb.sh"
start_xvfb "$logs"
# The installed program is brought to the front and sent its keys as a user
# would, which takes a window manager.
openbox >"$logs/openbox.log" 2>&1 &
wm=$!
# The wine server of this prefix is this run's own; it ends with the run.
trap 'wineserver -k 2>/dev/null || true; kill $wm $xvfb 2>/dev/null || true' EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Making the wine prefix $WINEPREFIX"
  wineboot -i >"$logs/wineboot.log" 2>&1
  wineserver -w
fi

# Qt's DLLs and the compiler's runtime, for the programs run from the build
# folder; the installed program must find its own.
gcc_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
pthread_dll=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
CALLVISTA_WINE_PATH="$(winepath -w "$qt/bin");$(winepath -w "$gcc_dlls");$(winepath -w "$pthread_dll")"
export CALLVISTA_WINE_PATH

# Qt's offscreen platform on Windows reads fonts from one folder and nothing
# else. It gets the metric twins of what Windows has: Liberation Sans for
# Arial, Liberation Mono for Courier New, Liberation Serif for Times New
# Roman, DejaVu Sans as the default face, and Noto for the Hebrew, Arabic and
# CJK names the list draws.
fonts=$build/wine-fonts
rm -rf "$fonts"
mkdir -p "$fonts"
for font in /usr/share/fonts/truetype/liberation/Liberation{Sans,Mono,Serif}-*.ttf \
            /usr/share/fonts/truetype/dejavu/DejaVuSans{,-Bold,Mono}.ttf \
            /usr/share/fonts/truetype/noto/NotoSans{Hebrew,Arabic}-Regular.ttf \
            /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc; do
  [ -f "$font" ] || { echo "run.sh: $font is missing" >&2; exit 1; }
  ln -s "$font" "$fonts/"
done
export QT_QPA_FONTDIR=$fonts

status=0

echo "== Qt Test programs under wine"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2) || status=1

echo "== The list's comparison under wine (least of a few runs)"
"$here/wine-run.sh" "$build/bench/callvista-order-timing.exe" || status=1

echo "== The real window under wine"
# A program under wine starts in seconds on a quiet machine but can take
# half a minute on a busy one: every wait is for a condition, bounded longer.
E2E_TIMEOUT=${E2E_TIMEOUT:-60} E2E_SCENARIOS=$here/scenarios E2E_ARTEFACTS=$build/e2e-artefacts WINEPATH=$CALLVISTA_WINE_PATH \
  "$root/tests/e2e/run.sh" "$build/app/callvista.exe" || status=1

echo "== The installer under wine"
"$here/installer.sh" "$build" || status=1

exit $status
