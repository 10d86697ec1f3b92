# Saves a document, starts a new one past the unsaved-changes question, and
# opens the first one again from the chooser's file list.
MAIN_NAME='^<Untitled>$'
start_program
add_entries "Smith|John|555-1234" "Adams|Ann|+49-555-12"

# Save on an untitled document asks for a name first.
keys ctrl+s
wait_active '^Save as to$'
type_text "book"
keys Return
MAIN_NAME="book\\.CVA\$"
wait_active "$MAIN_NAME"
wait_file "$WORK/book.CVA"
saved='Adams\r\nAnn\r\n+49-555-12\r\nSmith\r\nJohn\r\n555-1234\r\n'
expect_file "$WORK/book.CVA" "$saved"

add_entries "Zeta|Zed|999"
# Cancel ends New; No goes on to the chooser.
keys ctrl+n
wait_active '^Alert$'
shot question
keys Escape
wait_gone '^Alert$'
wait_active "$MAIN_NAME"
keys ctrl+n
wait_active '^Alert$'
keys n
wait_active '^Enter a New Callvista FileName$'
shot new-chooser
type_text "fresh"
keys Return
MAIN_NAME="fresh\\.CVA\$"
wait_window "^$WORK/fresh\\.CVA\$"
[ ! -e "$WORK/fresh.CVA" ] || fail "New wrote a file"
expect_file "$WORK/book.CVA" "$saved"
shot new

# The Open chooser's name comes from its file list only.
keys ctrl+o
wait_active '^Open a Callvista$'
wait_window '^Open a Callvista$'
type_text "typed"
# The first file of the file list, then the action button by Enter.
click_at 190 35
shot open-chooser
keys Return
MAIN_NAME="book\\.CVA\$"
wait_window "^$WORK/book\\.CVA\$"
wait_active "$MAIN_NAME"
shot opened

# What was opened is what was saved: a copy holds the same bytes.
keys alt+f a
wait_active '^Save as to$'
type_text "copy"
keys Return
wait_file "$WORK/copy.CVA"
wait_window "^$WORK/copy\\.CVA\$"
expect_file "$WORK/copy.CVA" "$saved"

keys ctrl+x
wait_exit "$PID"
