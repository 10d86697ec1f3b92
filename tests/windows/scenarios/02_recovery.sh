# The Windows program under wine at the end of the session: with an entry
# just added and the Add dialog still open, `wineboot --end-session` ends it
# at once, its copy of the changes written in the prefix's local application
# data; the next start offers them. Save then asks before it writes over
# another program's change, and not over a file that was only touched.

MAIN_NAME='^<Untitled>$'
start_program
keys alt+a
wait_active '^Add New Entry$'
type_text "Kept"; keys Tab
type_text "Session"; keys Tab
type_text "111"; keys Return
wineboot --end-session
status=0
wait "$PID" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status at the end of the session"
copy_written || fail "no copy of the changes in $RECOVERY"

START_NAME='^Alert$'
start_program
shot offered-after-the-session
keys Return
wait_active "$MAIN_NAME"
keys alt+f a
wait_active '^Save as to$'
type_text "kept"
keys Return
MAIN_NAME=$(caption_of kept.CVA)
wait_active "$MAIN_NAME"
expect_file "$WORK/kept.CVA" 'Kept\r\nSession\r\n111\r\n'
copy_written && fail "a copy outlived the save"

add_entries "Adams|Ann|222"
save_over_their_change "$WORK/kept.CVA" '^Adams'
touch -d '+5 seconds' "$WORK/kept.CVA"
add_entries "Zeta|Zed|333"
keys ctrl+s
wait_saved '^Zeta' "$WORK/kept.CVA"
no_window_named '^Warning$' || fail "a file only touched was taken for another program's change"
expect_file "$WORK/kept.CVA" 'Adams\r\nAnn\r\n222\r\nKept\r\nSession\r\n111\r\nZeta\r\nZed\r\n333\r\n'
keys ctrl+x
wait_exit "$PID"
