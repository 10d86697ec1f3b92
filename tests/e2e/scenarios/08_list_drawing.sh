# The entry list's drawing, checked from the pixels of the real window as
# the X server shows it: Hebrew, Arabic, CJK, a tab, a line separator,
# combining marks, emoji and accented capitals each keep the short name and
# the phone under their columns, and every row its height. The names are
# drawn in real fonts: the test set-up installs Noto for these scripts.
tests=$(dirname "$PROGRAM")/../tests/test_entry_list
[ -x "$tests" ] || fail "$tests is not built"
families=$(fc-list : family)
for family in "Noto Sans CJK" "Noto Sans Hebrew" "Noto Sans Arabic"; do
  grep -q "$family" <<< "$families" || fail "no $family font; bash scripts/setup.sh test installs it"
done
(cd "$WORK" && QT_QPA_PLATFORM=xcb \
   timeout 300 "$tests" -o "$ARTEFACTS/$SCENARIO.txt,txt") \
  || { cat "$ARTEFACTS/$SCENARIO.txt" >&2; fail "the list's drawing in the real window"; }
# The windows as this X server draws them, kept with the artefacts.
render=$(dirname "$PROGRAM")/../tools/render_windows
[ -x "$render" ] || fail "$render is not built"
(cd "$WORK" && QT_QPA_PLATFORM=xcb timeout 120 "$render" "$ARTEFACTS" > /dev/null) \
  || fail "the windows could not be rendered"
