# Every command by keystrokes alone, from start to exit: not one mouse event.
# The list, the command buttons and the chooser's file list are reached by
# Tab and the arrow keys and pressed by Enter, as a keyboard user does.
MAIN_NAME='^<Untitled>$'
start_program
add_entries "Baker|Tom|12" "smith|lower|1" "Smith|Upper|2"

# The Add dialog hands the focus to the list. With nothing selected Down
# selects the first entry and Down again the second; Tab goes on to Edit and
# Enter presses it.
keys Down Down Tab Return
wait_active '^Edit Item$'
shot edit
keys Tab Tab End
type_text "9"
keys Return
wait_gone '^Edit Item$'
wait_active "$MAIN_NAME"

# From Edit, Tab goes round to Add, Delete and Find. Match Case is set with
# Space from the keyboard, so that only "Smith" matches.
keys Tab Tab Tab Return
wait_active '^Find an Item$'
type_text "Smith"
keys Tab Tab Tab Tab space Return
shot find
keys Escape
wait_gone '^Find an Item$'
wait_active "$MAIN_NAME"

# Find selected the first entry before it opened and so gave the list the
# focus; Find and then Delete stand before the list. The entry that Find
# selected is the one deleted.
keys shift+Tab shift+Tab Return
wait_active '^Delete Confirmation$'
keys Return
wait_gone '^Delete Confirmation$'
wait_active "$MAIN_NAME"

saved='Baker\r\nTom\r\n12\r\nsmith\r\nlower\r\n19\r\n'
keys alt+f a
wait_active '^Save as to$'
type_text "tour"
keys Return
MAIN_NAME="tour\\.CVA\$"
wait_active "$MAIN_NAME"
wait_file "$WORK/tour.CVA"
expect_file "$WORK/tour.CVA" "$saved"

keys ctrl+n
wait_active '^Enter a New Callvista FileName$'
type_text "fresh"
keys Return
MAIN_NAME="fresh\\.CVA\$"
wait_active "$MAIN_NAME"

# The chooser opens in the name box: Tab to the drive list, the folder list
# and the file list, where Down selects the one document and puts its name
# into the name box, and Enter opens it.
keys ctrl+o
wait_active '^Open a Callvista$'
keys Tab Tab Tab Down
shot open-chooser
keys Return
MAIN_NAME="tour\\.CVA\$"
wait_active "$MAIN_NAME"
shot opened

# What the list now holds is what a copy of it holds.
keys alt+f a
wait_active '^Save as to$'
type_text "check"
keys Return
wait_file "$WORK/check.CVA"
expect_file "$WORK/check.CVA" "$saved"
MAIN_NAME="check\\.CVA\$"
wait_active "$MAIN_NAME"

keys ctrl+x
wait_exit "$PID"
