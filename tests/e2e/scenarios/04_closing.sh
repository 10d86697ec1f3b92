# Closing with unsaved changes: Escape does not answer, No drops the changes,
# Yes saves them, and Yes on an untitled document asks for a name first.
MAIN_NAME='^<Untitled>$'
start_program
add_entries "Smith|John|555"
keys ctrl+x
wait_active '^Alert$'
keys Escape
sleep 0.3
wait_active '^Alert$'
shot escape-ignored
keys n
wait_exit "$PID"
[ -z "$(ls -A "$WORK")" ] || fail "No wrote a file"

MAIN_NAME='^<Untitled>$'
start_program
add_entries "Smith|John|555"
keys alt+f a
wait_active '^Save as to$'
type_text "keep"
keys Return
MAIN_NAME="keep\\.CVA\$"
wait_active "$MAIN_NAME"
wait_file "$WORK/keep.CVA"
add_entries "Adams|Ann|123"
keys ctrl+x
wait_active '^Alert$'
keys Return
wait_exit "$PID"
expect_file "$WORK/keep.CVA" 'Adams\r\nAnn\r\n123\r\nSmith\r\nJohn\r\n555\r\n'

MAIN_NAME='^<Untitled>$'
start_program
add_entries "Lost|Lo|1"
keys ctrl+x
wait_active '^Alert$'
keys y
wait_active '^Save as to$'
shot save-as-at-closing
keys Escape
wait_exit "$PID"
[ "$(ls "$WORK")" = "keep.CVA" ] || fail "a cancelled Save As wrote a file: $(ls "$WORK")"
