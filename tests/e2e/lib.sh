# Helpers for driving the real program under Xvfb with xdotool. Every wait is
# for a condition and bounded in time.

E2E_TIMEOUT=${E2E_TIMEOUT:-15}

fail() {
  echo "FAIL: $*" >&2
  shot "failure"
  exit 1
}

# Runs the command until it succeeds, for at most E2E_TIMEOUT seconds;
# returns 1 when time ran out.
until_true() {
  local deadline=$((SECONDS + E2E_TIMEOUT))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

window_named() {
  WINDOW=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
  [ -n "$WINDOW" ]
}
no_window_named() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
active_named() { [[ "$(xdotool getactivewindow getwindowname 2>/dev/null || true)" =~ $1 ]]; }
has_ended() { ! kill -0 "$1" 2>/dev/null; }

# Waits until a visible window's name matches the extended regex $1 and
# keeps its id in WINDOW.
wait_window() {
  until_true window_named "$1" && return 0
  echo "windows now: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' ',')" >&2
  has_ended "$PID" && echo "the program has ended" >&2
  fail "no window named /$1/ within ${E2E_TIMEOUT}s"
}

# Waits until no visible window's name matches $1.
wait_gone() { until_true no_window_named "$1" || fail "window /$1/ still open after ${E2E_TIMEOUT}s"; }

# Waits until the active window's name matches $1: keys go to that window.
wait_active() {
  until_true active_named "$1" ||
    fail "active window is '$(xdotool getactivewindow getwindowname 2>/dev/null)', not /$1/"
}

wait_file() { until_true test -f "$1" || fail "file $1 did not appear"; }

# Waits until the program with pid $1 has ended.
wait_exit() { until_true has_ended "$1" || fail "the program did not end"; }

# Waits until the file $2 holds a line that matches the regex $1.
wait_saved() { until_true grep -q -- "$1" "$2" || fail "no line /$1/ in $2"; }

# Clicks at x, y inside the window WINDOW (client coordinates).
click_at() {
  xdotool mousemove --window "$WINDOW" "$1" "$2" click --repeat "${3:-1}" --delay 80 1
}

keys() { xdotool key --delay 60 "$@"; }
type_text() { xdotool type --delay 40 -- "$1"; }

shot() {
  local name=$1
  import -window root "$ARTEFACTS/$(printf '%02d' "$STEP")-$SCENARIO-$name.png" 2>/dev/null || true
  STEP=$((STEP + 1))
}

# Compares a file with the bytes given as a printf format.
expect_file() {
  local path=$1 format=$2
  printf "$format" > "$ARTEFACTS/expected"
  cmp -s "$path" "$ARTEFACTS/expected" || {
    echo "--- expected"; od -c "$ARTEFACTS/expected" | head -20
    echo "--- actual"; od -c "$path" | head -20
    fail "$path differs from what was expected"
  }
}

# Starts the program in $WORK with the given arguments and waits for its
# window; START_NAME (default: an untitled document) is the caption awaited.
start_program() {
  (cd "$WORK" && exec "${LAUNCH[@]}" "$PROGRAM" "$@" >>"$ARTEFACTS/$SCENARIO.log" 2>&1) &
  PID=$!
  echo "$PID" >> "$PIDS"
  wait_window "${START_NAME:-^<Untitled>\$}"
  wait_active "${START_NAME:-^<Untitled>\$}"
}

# Adds entries: each argument is "family|short|phone".
add_entries() {
  keys alt+a
  wait_active '^Add New Entry$'
  local entry family short phone
  for entry in "$@"; do
    IFS='|' read -r family short phone <<< "$entry"
    type_text "$family"; keys Tab
    type_text "$short"; keys Tab
    type_text "$phone"; keys Return
  done
  keys Escape
  wait_gone '^Add New Entry$'
  wait_active "$MAIN_NAME"
}

# Under wine: the caption's regex for a file in the work folder, as Windows
# names it.
caption_of() {
  local native
  native=$(winepath -w "$WORK/$1")
  printf '^%s$' "$(sed 's/[][\\.^$*+?(){}|]/\\&/g' <<<"$native")"
}

# Whether a copy of unsaved changes with the changes in it is in the
# scenario's recovery folder.
copy_written() { [ -n "$(find "$RECOVERY" -name '*.copy' -size +0c 2>/dev/null)" ]; }

# Another program writes the open document $1: Save asks before it writes
# over that, No the default (the file keeps their bytes), and writes over
# it on Yes, when a line of the file matches $2.
save_over_their_change() {
  printf 'Theirs\r\nT\r\n3\r\n' > "$1"
  keys ctrl+s
  wait_active '^Warning$'
  shot changed-by-another-program
  keys Return
  wait_active "$MAIN_NAME"
  expect_file "$1" 'Theirs\r\nT\r\n3\r\n'
  keys ctrl+s
  wait_active '^Warning$'
  keys y
  wait_saved "$2" "$1"
}
