#!/usr/bin/env bash
# Checks the four floors of the code: core <- widgets <- dialogs <- app.
# A file may include only its own floor and those below it, and the core
# library links Qt Core alone. Prints every include that runs upwards and
# fails when there is one.
set -uo pipefail

root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
floors=(core widgets dialogs app)
status=0

for level in "${!floors[@]}"; do
  floor=${floors[$level]}
  higher=("${floors[@]:$((level + 1))}")
  [ ${#higher[@]} -gt 0 ] || continue
  pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*\"($(IFS='|'; echo "${higher[*]}"))/"
  while IFS= read -r hit; do
    echo "include runs up from $floor/: $hit"
    status=1
  done < <(grep -rnE "$pattern" "$root/$floor" --include='*.h' --include='*.cpp' | sed "s|^$root/||")
done

# QtGui and QtWidgets headers do not belong in the core either.
while IFS= read -r hit; do
  echo "core/ uses a window system header: $hit"
  status=1
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(Qt(Gui|Widgets)/)?Q(Widget|Application|GuiApplication|Painter|Pixmap|Image|Icon|Font|Color|Dialog|Label)' \
           "$root/core" --include='*.h' --include='*.cpp' | sed "s|^$root/||")

links=$(grep -A3 'target_link_libraries(callvista_core' "$root/core/CMakeLists.txt" | tr -s ' \n' ' ')
if ! grep -qE 'target_link_libraries\(callvista_core PUBLIC Qt6::Core\)' <<<"$links"; then
  echo "core/CMakeLists.txt: callvista_core must link Qt6::Core alone, not: $links"
  status=1
fi

[ $status -eq 0 ] && echo "The includes keep to their floors: ${floors[*]}"
exit $status
