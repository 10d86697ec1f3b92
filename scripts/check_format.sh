#!/usr/bin/env bash
# Checks that every C++ source is laid out as .clang-format says: prints
# what clang-format would change and fails when there is anything.
set -uo pipefail

root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
format=${CLANG_FORMAT:-clang-format}
if ! command -v "$format" > /dev/null; then
  echo "check_format.sh: $format is not installed (apt-get install clang-format)" >&2
  exit 1
fi
cd "$root"
mapfile -t files < <(find core widgets dialogs app tests tools bench \
                       \( -name '*.cpp' -o -name '*.h' \) -type f | sort)
"$format" --dry-run -Werror "${files[@]}" || exit 1
echo "${#files[@]} sources laid out as .clang-format says"
