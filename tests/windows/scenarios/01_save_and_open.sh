# The Windows program in a real window under wine: adds an entry, saves it
# with Save As under a new name (the caption shows the Windows path), checks
# the bytes on disk, opens a document that Windows wrote in its code page
# and the saved one again from the chooser's file list, and exits without a
# question.

MAIN_NAME='^<Untitled>$'
start_program
shot started

add_entries "Smith|John|555-1234" "adams|Ann|+49-555-12"
shot added

keys alt+f a
wait_active '^Save as to$'
shot save-as-chooser
type_text "book"
keys Return
MAIN_NAME=$(caption_of book.CVA)
wait_window "$MAIN_NAME"
wait_active "$MAIN_NAME"
wait_file "$WORK/book.CVA"
expect_file "$WORK/book.CVA" 'adams\r\nAnn\r\n+49-555-12\r\nSmith\r\nJohn\r\n555-1234\r\n'
shot saved-as

# A document in the ANSI code page (Windows-1252 here), as Windows writes
# one: the file list shows it before book.CVA.
printf 'M\xfcller\r\nZo\xeb\r\n\x80 5\r\n' > "$WORK/ansi.CVA"
keys ctrl+o
wait_window '^Open a Callvista$'
wait_active '^Open a Callvista$'
click_at 190 35
shot open-chooser
keys Return
MAIN_NAME=$(caption_of ansi.CVA)
wait_window "$MAIN_NAME"
wait_active "$MAIN_NAME"
shot opened-ansi
# Saved again unchanged, it keeps its bytes: every character fits the code
# page.
keys ctrl+s
sleep 1
expect_file "$WORK/ansi.CVA" 'M\xfcller\r\nZo\xeb\r\n\x80 5\r\n'

# book.CVA, the second file of the list, by keyboard.
keys ctrl+o
wait_window '^Open a Callvista$'
wait_active '^Open a Callvista$'
click_at 190 35
keys Down Return
MAIN_NAME=$(caption_of book.CVA)
wait_window "$MAIN_NAME"
wait_active "$MAIN_NAME"
shot opened-book

# Nothing changed since Open: Exit asks nothing.
keys ctrl+x
wait_exit "$PID"
no_window_named '^Alert$' || fail "Exit asked a question"
