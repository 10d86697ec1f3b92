# Unsaved changes outlive the program: killed after their copy was written,
# or ended by SIGTERM at once, the next start offers them (Yes the default)
# and brings them back under their name, also over a document named on the
# command line. Save then asks before it writes over another program's
# change (No the default).
ended_by() {
  local status=0
  wait "$PID" || status=$?
  [ "$status" -eq "$1" ] || fail "the program ended with status $status, not $1"
}

MAIN_NAME='^<Untitled>$'
start_program
add_entries "Kept|Killed|111"
until_true copy_written || fail "no copy of the changes was written"
kill -KILL "$PID"
ended_by 137

START_NAME='^Alert$'
start_program
shot offered-after-kill
keys Return
MAIN_NAME='^<Untitled>$'
wait_active "$MAIN_NAME"
keys alt+f a
wait_active '^Save as to$'
type_text "kept"
keys Return
MAIN_NAME="^$WORK/kept\\.CVA\$"
wait_active "$MAIN_NAME"
expect_file "$WORK/kept.CVA" 'Kept\r\nKilled\r\n111\r\n'
keys ctrl+x
wait_exit "$PID"
copy_written && fail "a copy outlived the save"

START_NAME=$MAIN_NAME
start_program kept.CVA
add_entries "Adams|Term|222"
kill -TERM "$PID"
ended_by 143

printf 'Other\r\nDoc\r\n1\r\n' > "$WORK/other.CVA"
START_NAME='^Alert$'
start_program other.CVA
shot offered-over-argument
keys Return
wait_active "$MAIN_NAME"
save_over_their_change "$WORK/kept.CVA" '^Term'
expect_file "$WORK/kept.CVA" 'Adams\r\nTerm\r\n222\r\nKept\r\nKilled\r\n111\r\n'
keys ctrl+x
wait_exit "$PID"
