# Sourced by the real-window test runners.
# start_xvfb DIR: starts Xvfb on a display it picks itself, keeps its log
# and display number in DIR, exports DISPLAY once the server answers and
# leaves the server's process id in $xvfb.
start_xvfb() {
  local dir=$1 deadline
  exec 3> "$dir/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
  xvfb=$!
  exec 3>&-
  deadline=$((SECONDS + 10))
  until [ -s "$dir/display" ]; do
    [ $SECONDS -lt $deadline ] || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
  done
  export DISPLAY=:$(head -n 1 "$dir/display")
  deadline=$((SECONDS + 10))
  until xdpyinfo >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || { echo "Xvfb did not answer" >&2; exit 1; }
    sleep 0.1
  done
}
