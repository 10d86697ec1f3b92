# Finds entries with each option and marks each found entry through Edit, so
# that the saved file shows which entry Find selected.
MAIN_NAME='^<Untitled>$'
start_program
add_entries "Smith|John|300" "SMITHERS|Al|400" "Goldsmith|Gil|100" "Jones|Jo|200"
keys ctrl+s
wait_active '^Save as to$'
type_text "find"
keys Return
MAIN_NAME="find\\.CVA\$"
wait_active "$MAIN_NAME"
wait_file "$WORK/find.CVA"

# Marks the selected entry by appending a digit to its phone number.
mark_selected() {
  keys alt+e
  wait_active '^Edit Item$'
  keys Tab Tab End
  type_text "$1"
  keys Return
  wait_gone '^Edit Item$'
  wait_active "$MAIN_NAME"
  keys ctrl+s
}

# Searches by family name: toggles the given options by their access keys,
# clears the remembered criteria and types the new one into the Family box,
# clicked with the mouse. An access key clicks its button after a short
# animation, so the click into the box waits for that.
find_family() {
  local text=$1; shift
  keys alt+i
  wait_active '^Find an Item$'
  wait_window '^Find an Item$'
  [ $# -gt 0 ] && keys "$@"
  keys alt+c
  sleep 0.3
  click_at 150 33
  type_text "$text"
  shot "find-$text"
  keys Return
  keys Escape
  wait_gone '^Find an Item$'
  wait_active "$MAIN_NAME"
}

# No selection: Find selects the first entry (Goldsmith) and searches on from it.
find_family "smi"
mark_selected 1
wait_saved '^3001' "$WORK/find.CVA"
# Match Case: only SMITHERS holds SMI.
find_family "SMI" alt+m
mark_selected 2
wait_saved '^4002' "$WORK/find.CVA"
# Whole Word, case ignored: only Goldsmith, found after wrapping to the top.
find_family "goldsmith" alt+m alt+w
mark_selected 3
wait_saved '^1003' "$WORK/find.CVA"
expect_file "$WORK/find.CVA" 'Goldsmith\r\nGil\r\n1003\r\nJones\r\nJo\r\n200\r\nSmith\r\nJohn\r\n3001\r\nSMITHERS\r\nAl\r\n4002\r\n'
shot found

keys ctrl+x
wait_exit "$PID"
