# Adds three entries, saves them under a new name, edits one and deletes one,
# checking the file on disk after each save.
MAIN_NAME='^<Untitled>$'
start_program
shot started

add_entries "Smith|John|555-1234" "adams|Ann|+49-555-12" "Baker|Tom|12-345-67"
shot added

keys alt+f a
wait_active '^Save as to$'
type_text "book"
keys Return
MAIN_NAME="book\\.CVA\$"
wait_window "^$WORK/book\\.CVA\$"
wait_file "$WORK/book.CVA"
expect_file "$WORK/book.CVA" 'adams\r\nAnn\r\n+49-555-12\r\nBaker\r\nTom\r\n12-345-67\r\nSmith\r\nJohn\r\n555-1234\r\n'
shot saved-as

# No entry is selected: Edit opens the first one, adams.
keys alt+e
wait_active '^Edit Item$'
keys Tab Tab End BackSpace BackSpace
type_text "99"
keys Return
wait_gone '^Edit Item$'
wait_active "$MAIN_NAME"
keys ctrl+s
wait_saved '+49-555-99' "$WORK/book.CVA"
expect_file "$WORK/book.CVA" 'adams\r\nAnn\r\n+49-555-99\r\nBaker\r\nTom\r\n12-345-67\r\nSmith\r\nJohn\r\n555-1234\r\n'
shot edited

# Delete asks about the first entry; Escape does not answer, Enter takes Yes.
keys alt+d
wait_active '^Delete Confirmation$'
keys Escape
wait_active '^Delete Confirmation$'
keys Return
wait_gone '^Delete Confirmation$'
keys ctrl+s
until_true bash -c '! grep -q adams "$0"' "$WORK/book.CVA" || fail "the deletion was not saved"
expect_file "$WORK/book.CVA" 'Baker\r\nTom\r\n12-345-67\r\nSmith\r\nJohn\r\n555-1234\r\n'
shot deleted

keys ctrl+x
wait_exit "$PID"
