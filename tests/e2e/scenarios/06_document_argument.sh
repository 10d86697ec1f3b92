# Opens documents named on the command line, as a file manager does: one
# that reads, one that is missing, and one whose reader had to mend it. A
# lone argument is read while the window is being made.
printf 'Smith\r\nJohn\r\n555-1234\r\nadams\r\nAnn\r\n+49-555-12\r\nBaker\r\nTom\r\n12-345-67\r\n' \
  > "$WORK/people.CVA"
mkdir "$WORK/elsewhere"

# A name relative to the folder the program starts in, and the caption
# shows the full path.
MAIN_NAME="^$WORK/people\\.CVA\$"
START_NAME=$MAIN_NAME
(cd "$WORK/elsewhere" && exec "$PROGRAM" ../people.CVA >>"$ARTEFACTS/$SCENARIO.log" 2>&1) &
PID=$!
echo "$PID" >> "$PIDS"
wait_window "$MAIN_NAME"
wait_active "$MAIN_NAME"
shot opened-from-argument
# The list holds the entries: Edit opens on the first of them at once.
keys alt+e
wait_active '^Edit Item$'
keys Escape
wait_gone '^Edit Item$'
wait_active "$MAIN_NAME"
# Saved under another name, in list order: the file was read whole and sorted.
keys alt+f a
wait_active '^Save as to$'
type_text "sorted"
keys Return
wait_file "$WORK/elsewhere/sorted.CVA"
expect_file "$WORK/elsewhere/sorted.CVA" \
  'adams\r\nAnn\r\n+49-555-12\r\nBaker\r\nTom\r\n12-345-67\r\nSmith\r\nJohn\r\n555-1234\r\n'
keys ctrl+x
wait_exit "$PID"

# A missing file: the error is shown over an empty, untitled document. With
# "--" before it the name is not the lone argument, so it is read after the
# command line is parsed rather than ahead of it.
START_NAME='^Error$'
start_program -- "$WORK/gone.CVA"
shot missing-file
keys Return
wait_gone '^Error$'
MAIN_NAME='^<Untitled>$'
wait_active "$MAIN_NAME"
# Nothing was opened: Edit has no entry to act on and stays shut.
keys alt+e
sleep 0.5
active_named '^Edit Item$' && fail "an entry was opened from a missing file"
keys ctrl+x
wait_exit "$PID"
[ ! -e "$WORK/gone.CVA" ] || fail "a missing document was created"

# A file the reader mended opens with its warning.
printf 'Zeta\r\nZed\r\n' > "$WORK/half.cva"
START_NAME='^Warning$'
start_program half.cva
shot mended-file
keys Return
wait_gone '^Warning$'
MAIN_NAME="^$WORK/half\\.cva\$"
wait_active "$MAIN_NAME"
keys ctrl+x
wait_exit "$PID"
