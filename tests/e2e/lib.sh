# Helpers for driving the real program under Xvfb with xdotool. Every wait is
# for a condition and bounded in time.

E2E_TIMEOUT=${E2E_TIMEOUT:-15}

fail() {
  echo "FAIL: $*" >&2
  shot "failure"
  exit 1
}

# Waits until a visible window's name matches the extended regex $1 and
# keeps its id in WINDOW.
wait_window() {
  local pattern=$1 deadline=$((SECONDS + E2E_TIMEOUT)) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | tail -n 1 || true)
    if [ -n "$id" ]; then
      WINDOW=$id
      return 0
    fi
    sleep 0.1
  done
  echo "windows now: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' ',')" >&2
  kill -0 "$PID" 2>/dev/null || echo "the program has ended" >&2
  fail "no window named /$pattern/ within ${E2E_TIMEOUT}s"
}

# Waits until no visible window's name matches $1.
wait_gone() {
  local pattern=$1 deadline=$((SECONDS + E2E_TIMEOUT))
  while [ $SECONDS -lt $deadline ]; do
    xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window /$pattern/ still open after ${E2E_TIMEOUT}s"
}

# Waits until the active window's name matches $1: keys go to that window.
wait_active() {
  local pattern=$1 deadline=$((SECONDS + E2E_TIMEOUT)) name
  while [ $SECONDS -lt $deadline ]; do
    name=$(xdotool getactivewindow getwindowname 2>/dev/null || true)
    if [[ "$name" =~ $pattern ]]; then
      return 0
    fi
    sleep 0.1
  done
  fail "active window is '$name', not /$pattern/"
}

wait_file() {
  local path=$1 deadline=$((SECONDS + E2E_TIMEOUT))
  while [ $SECONDS -lt $deadline ]; do
    [ -f "$path" ] && return 0
    sleep 0.1
  done
  fail "file $path did not appear"
}

# Waits until the program with pid $1 has ended.
wait_exit() {
  local pid=$1 deadline=$((SECONDS + E2E_TIMEOUT))
  while [ $SECONDS -lt $deadline ]; do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  fail "the program did not end"
}

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

start_program() {
  (cd "$WORK" && exec "$PROGRAM" >>"$ARTEFACTS/$SCENARIO.log" 2>&1) &
  PID=$!
  wait_window '^<Untitled>$'
  wait_active '^<Untitled>$'
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
