#!/usr/bin/env bash
# Runs one Windows test program under wine, as CTest's emulator for a
# Windows build: `wine-run.sh program.exe [arguments]`. Qt Test's report
# does not come through wine's redirected standard output, so the program
# writes it to a file (-o report.txt,txt), which is printed here; the exit
# code is the program's, the number of failed tests.
#
# Needs DISPLAY (an X server: Qt under wine needs one even offscreen),
# WINEPREFIX (a prefix made with `wineboot -i`) and CALLVISTA_WINE_PATH (the
# Windows folders of Qt's and the compiler's DLLs, ";"-separated), all of
# which tests/windows/run.sh sets.
set -uo pipefail

program=$1; shift
: "${DISPLAY:?wine-run.sh: no DISPLAY; run the Windows tests through tests/windows/run.sh}"
: "${WINEPREFIX:?wine-run.sh: no WINEPREFIX; run the Windows tests through tests/windows/run.sh}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPATH="${CALLVISTA_WINE_PATH:-}"
# Wine keeps every QT_* variable to itself and hands a Windows program only
# its WINEQT_* twin: without this the tests would run in real windows, and
# offscreen they would find no font at all.
[ -n "${QT_QPA_PLATFORM:-}" ] && export WINEQT_QPA_PLATFORM=$QT_QPA_PLATFORM
[ -n "${QT_QPA_FONTDIR:-}" ] && export WINEQT_QPA_FONTDIR=$(winepath -w "$QT_QPA_FONTDIR")

report=$(mktemp --suffix=.txt)
trap 'rm -f "$report"' EXIT
case "$(basename "$program")" in
  test_*) wine "$program" -o "$(winepath -w "$report")",txt "$@" >/dev/null 2>&1 ;;
  *) wine "$program" "$@" ;;
esac
status=$?
[ -s "$report" ] && cat "$report"
exit $status
