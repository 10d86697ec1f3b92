#!/usr/bin/env bash
# Holds scripts/check_floors.sh to its word: in a copy of the sources it
# must pass the tree as it is and fail, naming the file, on each fault
# planted into a fresh copy.
#
# usage: plant_faults.sh SOURCE_ROOT QT_HEADERS
set -uo pipefail

source_root=$(cd "${1:?usage: plant_faults.sh SOURCE_ROOT QT_HEADERS}" && pwd)
qt_headers=${2:?usage: plant_faults.sh SOURCE_ROOT QT_HEADERS}
check=$source_root/scripts/check_floors.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The folders and CMake files the check reads, without any build folder.
copy_tree() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree"
  (cd "$source_root" && find . -type d -exec test -e '{}/CMakeCache.txt' ';' -prune -o \
     -type d -name .git -prune -o -type f \( -path './core/*' -o -path './widgets/*' \
     -o -path './dialogs/*' -o -path './app/*' -o -name CMakeLists.txt -o -name '*.cmake' \) \
     -print0 | tar --null -T - -cf -) | tar -xf - -C "$work/tree" ||
    { echo "FAIL: the sources could not be copied"; exit 1; }
  [ -f "$work/tree/core/CMakeLists.txt" ] || { echo "FAIL: the copy holds no core/"; exit 1; }
}

failures=0
copy_tree
if ! bash "$check" "$work/tree" "$qt_headers" >"$work/out" 2>&1; then
  echo "FAIL: the clean tree does not pass:"
  cat "$work/out"
  failures=$((failures + 1))
fi

# Each fault: the file it goes into, and the line appended to it.
plants=(
  "core/result.h|#include <QtWidgets/QMessageBox>"
  "core/entry_line.cpp|#include <QKeyEvent>"
  "core/line_fit.h|#include <QtGui/QScreen>"
  "core/phone_key.cpp|#  include <qpainter.h>"
  "core/sorted_lines.h|#include \"widgets/geometry.h\""
  "widgets/geometry.h|#include \"dialogs/form_dialog.h\""
  "widgets/picture.cpp|#include <QPrinter>"
  "core/CMakeLists.txt|target_link_libraries(callvista_core PRIVATE Qt6::Widgets)"
  "CMakeLists.txt|target_link_libraries(callvista_core PRIVATE Qt6::Widgets)"
  "tests/CMakeLists.txt|target_link_libraries(\n  callvista_core\n  PUBLIC Qt6::Core Qt6::Gui)"
)
for plant in "${plants[@]}"; do
  file=${plant%%|*}
  line=${plant#*|}
  copy_tree
  [ -f "$work/tree/$file" ] || { echo "FAIL: no $file to plant '$line' in"; failures=$((failures + 1)); continue; }
  printf '%b\n' "$line" >>"$work/tree/$file"
  if bash "$check" "$work/tree" "$qt_headers" >"$work/out" 2>&1; then
    echo "FAIL: '$line' in $file passed the check"
    failures=$((failures + 1))
  elif ! grep -qE "(^| )${file//./\\.}:" "$work/out"; then
    echo "FAIL: '$line' in $file failed the check without naming the file:"
    cat "$work/out"
    failures=$((failures + 1))
  else
    echo "caught: '$line' in $file"
  fi
done

[ $failures -eq 0 ] || { echo "$failures fault(s) in the floor check"; exit 1; }
echo "The floor check passes the tree and catches every planted fault"
