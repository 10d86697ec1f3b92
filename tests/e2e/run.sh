#!/usr/bin/env bash
# Starts the real program under Xvfb with a window manager and drives it by
# keyboard and mouse with xdotool, one scenario after another. Screenshots of
# each step's end are kept in $E2E_ARTEFACTS (default: e2e-artefacts beside
# the program). The scenarios are those in $E2E_SCENARIOS (default:
# scenarios/ here); a Windows program (*.exe) is started with wine, in the
# prefix that WINEPREFIX names.
set -euo pipefail

PROGRAM=$(realpath "${1:?usage: run.sh path/to/callvista}")
HERE=$(cd "$(dirname "$0")" && pwd)
SCENARIOS=${E2E_SCENARIOS:-$HERE/scenarios}
ARTEFACTS=${E2E_ARTEFACTS:-$(dirname "$PROGRAM")/e2e-artefacts}
rm -rf "$ARTEFACTS"
mkdir -p "$ARTEFACTS"
source "$HERE/lib.sh"

source "$HERE/../xvfb.sh"
start_xvfb "$ARTEFACTS"
openbox >"$ARTEFACTS/openbox.log" 2>&1 &
wm=$!
deadline=$((SECONDS + 10))
# Openbox names itself before it is ready to map windows; the work area is
# among the last things it sets up.
until xprop -root _NET_WORKAREA 2>/dev/null | grep -q '='; do
  [ $SECONDS -lt $deadline ] || { echo "openbox did not start" >&2; exit 1; }
  sleep 0.1
done
# Each scenario runs in a subshell, so the ids of the programs it starts are
# kept in a file, where the clean-up reads them: only those processes are
# ended, never another program of the same name.
PIDS=$ARTEFACTS/program.pids
: > "$PIDS"
end_programs() {
  local pid
  while read -r pid; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done < "$PIDS"
  : > "$PIDS"
}
trap 'end_programs; kill $wm $xvfb 2>/dev/null || true' EXIT

export LC_ALL=C.UTF-8
# The program's caches (the list's ink extents, fontconfig's) stay with the
# artefacts, out of the user's home.
export XDG_CACHE_HOME=$ARTEFACTS/cache
if [[ $PROGRAM == *.exe ]]; then
  # Qt for Windows draws with its own platform plugin.
  LAUNCH=(wine)
  unset QT_QPA_PLATFORM
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
else
  LAUNCH=()
  export QT_QPA_PLATFORM=xcb
fi

passed=0
failed=0
for scenario in "$SCENARIOS"/${E2E_ONLY:-}*.sh; do
  SCENARIO=$(basename "$scenario" .sh)
  STEP=0
  WORK=$(mktemp -d)
  # Each scenario finds no copy of unsaved changes that another left: its
  # own data folder, and under wine the prefix's, which a Windows program
  # finds whatever the environment says.
  export XDG_DATA_HOME=$ARTEFACTS/data/$SCENARIO
  RECOVERY=$XDG_DATA_HOME/callvista/recovery
  if [[ $PROGRAM == *.exe ]]; then
    local_data=$(printf '%s\n' "$WINEPREFIX"/drive_c/users/*/AppData/Local | grep -v /Public/ | head -n 1)
    RECOVERY=$local_data/callvista/recovery
    rm -rf "$RECOVERY"
  fi
  if ( source "$scenario" ); then
    echo "PASS   : $SCENARIO"
    passed=$((passed + 1))
  else
    echo "FAIL!  : $SCENARIO"
    failed=$((failed + 1))
  fi
  end_programs
  rm -rf "$WORK"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
