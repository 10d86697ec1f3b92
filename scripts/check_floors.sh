#!/usr/bin/env bash
# Checks the floors of the code: core <- widgets <- dialogs <- app. A file may
# include only its own floor and those below it, and only the headers of the
# Qt modules its floor allows; the core library links Qt Core alone. Prints
# every fault and fails when there is one.
#
# usage: check_floors.sh [SOURCE_ROOT [QT_HEADERS]]
# QT_HEADERS is the folder that holds Qt's module folders (QtCore, QtGui...);
# without it qmake6 is asked, then Debian's place is tried.
set -uo pipefail

root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
qt_headers=${2:-}

# The floors from the bottom up. A floor is one or more folders side by
# side; each may include its own floor and those below. Beside each, the Qt
# modules its files may include.
floors=("core" "widgets" "dialogs" "app")
floor_modules=("QtCore" "QtCore QtGui QtWidgets" "QtCore QtGui QtWidgets" "QtCore QtGui QtWidgets")
# The libraries whose links are limited, and the only ones they may name.
declare -A library_links=([callvista_core]="Qt6::Core")

status=0
fault() {
  echo "$1"
  status=1
}

if [ -z "$qt_headers" ]; then
  qt_headers=$(qmake6 -query QT_INSTALL_HEADERS 2>/dev/null) || qt_headers=
  [ -d "$qt_headers/QtCore" ] || qt_headers=$(ls -d /usr/include/*/qt6 2>/dev/null | head -n 1)
fi
if [ ! -d "$qt_headers/QtCore" ]; then
  echo "check_floors.sh: no Qt headers (a QtCore folder) in '$qt_headers'; pass their folder" >&2
  exit 2
fi

# The Qt modules that have a header of each name: the class headers
# (QScreen) and the file headers (qscreen.h), which may also be included as
# <QtGui/QScreen>.
declare -A owners
while read -r module name; do
  owners[$name]+="$module "
done < <(cd "$qt_headers" && find Qt* -mindepth 1 -maxdepth 1 -type f -printf '%h %f\n')
[ ${#owners[@]} -gt 0 ] || { echo "check_floors.sh: no headers found in $qt_headers" >&2; exit 2; }

# The Qt module of an included name (<QScreen>, <QtGui/QScreen>), or nothing
# when the name is not Qt's. A name in the allowed modules counts as theirs.
module_of() {
  local name=$1 allowed=$2 module
  if [[ $name == */* ]]; then
    module=${name%%/*}
    [[ $module == Qt* && -d $qt_headers/$module ]] && echo "$module"
    return
  fi
  local found=${owners[$name]:-}
  [ -n "$found" ] || return
  for module in $found; do
    [[ " $allowed " == *" $module "* ]] && { echo "$module"; return; }
  done
  echo "${found%% *}"
}

included='<([^>]+)>'
for level in "${!floors[@]}"; do
  allowed_modules=${floor_modules[$level]}
  read -ra higher <<<"${floors[*]:$((level + 1))}"
  up_pattern=
  [ ${#higher[@]} -gt 0 ] && up_pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*\"($(IFS='|'; echo "${higher[*]}"))/"
  for folder in ${floors[$level]}; do
    [ -d "$root/$folder" ] || continue
    if [ -n "$up_pattern" ]; then
      while IFS= read -r hit; do
        fault "include runs up from $folder/: $hit"
      done < <(grep -rnE "$up_pattern" "$root/$folder" --include='*.h' --include='*.cpp' |
               sed "s|^$root/||")
    fi
    while IFS= read -r hit; do
      [[ $hit =~ $included ]] || continue
      module=$(module_of "${BASH_REMATCH[1]}" "$allowed_modules")
      [ -n "$module" ] || continue
      [[ " $allowed_modules " == *" $module "* ]] ||
        fault "$folder/ may use ${allowed_modules// /, } only, not $module: $hit"
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<' "$root/$folder" \
               --include='*.h' --include='*.cpp' | sed "s|^$root/||")
  done
done

# Every CMake file outside the build folders (those holding a CMakeCache.txt),
# each target_link_libraries of a limited library, wherever it stands and
# however it is spread over lines.
cmake_files=$(find "$root" -type d -exec test -e '{}/CMakeCache.txt' ';' -prune -o \
                -type d -name .git -prune -o \
                -type f \( -name CMakeLists.txt -o -name '*.cmake' \) -print)
for library in "${!library_links[@]}"; do
  allowed=${library_links[$library]}
  while IFS= read -r file; do
    [ -n "$file" ] || continue
    while IFS= read -r -d '' call; do
      call=$(tr -s ' \t\n' ' ' <<<"$call")
      args=${call#*(}
      args=${args%)*}
      read -ra words <<<"$args"
      for word in "${words[@]:1}"; do
        case $word in
          PUBLIC | PRIVATE | INTERFACE) ;;
          *) [[ " $allowed " == *" $word "* ]] ||
               fault "${file#"$root"/}: $library must link ${allowed// /, } alone, not $word: $call" ;;
        esac
      done
    done < <(grep -Pzo "(?i)target_link_libraries\s*\(\s*$library(?![\w-])[^)]*\)" "$file")
  done <<<"$cmake_files"
done

[ $status -eq 0 ] && echo "The includes and links keep to their floors: ${floors[*]}"
exit $status
