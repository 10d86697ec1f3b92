# Reads the accessibility tree over AT-SPI, as a screen reader does: the
# names of the list, its columns and its lines, of the chooser's lists and
# of the Find dialog's group, and the caption announced after each save.
# The script has a D-Bus session of its own, which starts the accessibility
# bus, and ends with it. Debian's own Python has python3-pyatspi.
timeout $((E2E_TIMEOUT * 8)) dbus-run-session -- \
  /usr/bin/python3 "$HERE/atspi_tree.py" "$PROGRAM" "$WORK" "$PIDS" \
  >>"$ARTEFACTS/$SCENARIO.log" 2>&1 || { cat "$ARTEFACTS/$SCENARIO.log" >&2; fail "the accessibility tree"; }
