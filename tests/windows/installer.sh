#!/usr/bin/env bash
# Installs the NSIS installer silently into the wine prefix, checks what it
# put where, starts the installed program (with no path to the build's
# DLLs, so it runs on what it ships) on a .CVA document through the file
# association, and uninstalls it again, which must remove every file and
# the association. Needs DISPLAY and WINEPREFIX (tests/windows/run.sh sets
# both). Usage: installer.sh <build folder>
set -euo pipefail

build=$(realpath "${1:?usage: installer.sh <build folder>}")
installer=$(ls "$build"/Callvista-*-win64.exe | head -n 1)
folder="$WINEPREFIX/drive_c/Program Files/Callvista"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH QT_QPA_PLATFORM
passes=0
failures=0
check() {
  local what=$1; shift
  if "$@"; then
    echo "PASS   : $what"; passes=$((passes + 1))
  else
    echo "FAIL!  : $what"; failures=$((failures + 1))
  fi
}
registry_has() { wine reg query "$1" >/dev/null 2>&1; }
window_named() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
until_true() {
  local deadline=$((SECONDS + 20))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

# An older install would hide what this one does.
[ ! -d "$folder" ] || { wine "$folder/Uninstall.exe" /S; wineserver -w; rm -rf "$folder"; }

wine "$installer" /S
wineserver -w
for file in callvista.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
            styles/qwindowsvistastyle.dll libstdc++-6.dll libgcc_s_seh-1.dll \
            libwinpthread-1.dll License.txt licences/Qt-LGPL-3.txt licences/GCC-runtime.txt \
            Uninstall.exe; do
  check "installed $file" test -f "$folder/$file"
done
check "Start-menu entry" bash -c \
  'find "$0/drive_c" -ipath "*start menu*callvista*.lnk" | grep -q .' "$WINEPREFIX"
check ".CVA is associated" registry_has 'HKCR\.CVA'
check "the association opens the program" bash -c \
  'wine reg query "HKCR\\Callvista.Document\\shell\\open\\command" | grep -qi "callvista.exe"'

# Opening a document the way Explorer does starts the installed program on it.
work=$(mktemp -d)
printf 'Adams\r\n\r\n555-01-00\r\nBaker\r\nTom\r\n12-345-67\r\n' > "$work/book.CVA"
document=$(winepath -w "$work/book.CVA")
wine start /unix "$work/book.CVA" >/dev/null 2>&1 &
caption=$(sed 's/[][\\.^$*+?(){}|]/\\&/g' <<<"$document")
check "the installed program opens the document by its association" \
  until_true window_named "^$caption\$"
import -window root "$build/installed-program.png" 2>/dev/null || true
# Exit asks nothing: nothing changed.
if window_named "^$caption\$"; then
  xdotool search --onlyvisible --name "^$caption\$" windowactivate --sync key --delay 60 ctrl+x \
    >/dev/null 2>&1 || true
  check "the installed program ends on Exit" until_true bash -c '! xdotool search --onlyvisible --name "$0" >/dev/null 2>&1' "^$caption\$"
fi
wineserver -w
rm -rf "$work"

wine "$folder/Uninstall.exe" /S
wineserver -w
# The uninstaller runs a copy of itself and returns at once; the copy ends
# with the wine server.
until_true bash -c '[ ! -e "$0/callvista.exe" ]' "$folder" || true
check "uninstalled: no program files left" bash -c \
  '[ ! -d "$0" ] || [ -z "$(find "$0" -type f)" ]' "$folder"
check "uninstalled: no association left" bash -c '! wine reg query "HKCR\\.CVA" >/dev/null 2>&1'
check "uninstalled: no Start-menu entry left" bash -c \
  '! find "$0/drive_c" -ipath "*start menu*callvista*" | grep -q .' "$WINEPREFIX"

echo "Installer: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
