# Sourced by the real-host scripts: a scratch folder, services started in process groups of their
# own and stopped last first on exit, a private JACK server on the dummy back end, and Xvfb.
work=$(mktemp -d)
# A private server, one name per build folder: a run that died leaves its entry in JACK's small
# registry of servers, and the next run under the same name takes that entry over.
export JACK_DEFAULT_SERVER="reelstop-test-$(pwd | cksum | cut -d ' ' -f 1)"
# No client may start a server of its own behind the test's back.
export JACK_NO_START_SERVER=1

groups=()
# Stops what the test started, last first: the server goes only once its clients are gone, or
# it leaves its entry in JACK's registry of servers behind.
cleanup() {
  exec 3>&- 2>/dev/null
  for ((i = ${#groups[@]} - 1; i >= 0; i--)); do
    kill -- "-${groups[i]}" 2>/dev/null
    wait "${groups[i]}" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' TERM INT

# start NAME COMMAND...: runs the command in a process group of its own, output to NAME.log.
start() {
  local name=$1
  shift
  setsid "$@" >"$work/$name.log" 2>&1 &
  groups+=($!)
}

# start_jack: the server on the dummy back end, or the test fails.
start_jack() {
  # The registry holds eight servers; with no JACK server running at all, entries left by killed
  # runs are stale, and a fresh registry lets this one start. (pgrep hangs with the sanitizer
  # runtime preloaded, so it runs without it.)
  if ! env -u LD_PRELOAD pgrep -x jackd >/dev/null && ! env -u LD_PRELOAD pgrep -x jackdbus >/dev/null; then
    rm -f /dev/shm/jack-shm-registry /dev/shm/jack_sem.* 2>/dev/null
  fi
  start jackd jackd --no-realtime -d dummy -r 48000 -p 512
  if ! timeout 10 jack_wait -w >/dev/null 2>&1; then
    echo "FAIL: the JACK server did not start"
    cat "$work/jackd.log"
    exit 1
  fi
}

# wait_for_port PORT [SECONDS]: up to five seconds, or as many as given, for a client to show its port.
wait_for_port() {
  for _ in $(seq $((${2:-5} * 10))); do
    jack_lsp 2>/dev/null | grep -q -x "$1" && return 0
    sleep 0.1
  done
  return 1
}

# start_xvfb: an X server on a display number of its own choosing, as DISPLAY.
start_xvfb() {
  setsid Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" >"$work/xvfb.log" 2>&1 &
  groups+=($!)
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  if [ ! -s "$work/display" ]; then
    echo "FAIL: Xvfb did not start"
    cat "$work/xvfb.log"
    exit 1
  fi
  export DISPLAY=":$(tr -d '\n' <"$work/display")"
}
