#!/usr/bin/env bash
# jalv runs the stereo plug-in on a private JACK server (dummy back end), fed a metronome and
# recorded by jack_rec: first with no timebase master, so jalv sends only frame and speed, then
# with jack_transport as timebase master and rolling, so it sends bar, beat and tempo too. Each
# run must exit cleanly, print no error and put sound out.
set -u
uri="https://ferncliff.example/plugins/reelstop#stereo"
work=$(mktemp -d)
# A private server, one name per build folder: a run that died leaves its entry in JACK's small
# registry of servers, and the next run under the same name takes that entry over.
export JACK_DEFAULT_SERVER="reelstop-test-$(pwd | cksum | cut -d ' ' -f 1)"
# No client may start a server of its own behind the test's back.
export JACK_NO_START_SERVER=1
# The registry holds eight servers; with no JACK server running at all, entries left by killed
# runs are stale, and a fresh registry lets this one start. (pgrep hangs with the sanitizer
# runtime preloaded, so it runs without it.)
if ! env -u LD_PRELOAD pgrep -x jackd >/dev/null && ! env -u LD_PRELOAD pgrep -x jackdbus >/dev/null; then
  rm -f /dev/shm/jack-shm-registry /dev/shm/jack_sem.* 2>/dev/null
fi

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

start jackd jackd --no-realtime -d dummy -r 48000 -p 512
if ! timeout 10 jack_wait -w >/dev/null 2>&1; then
  echo "FAIL: the JACK server did not start"
  cat "$work/jackd.log"
  exit 1
fi
start metro jack_metro -n click -b 300 -D 50
# wait_for_port PORT: up to five seconds for a client to show its port.
wait_for_port() {
  for _ in $(seq 50); do
    jack_lsp 2>/dev/null | grep -q -x "$1" && return 0
    sleep 0.1
  done
  return 1
}
wait_for_port click:300_bpm || { echo "FAIL: the metronome did not start"; exit 1; }

failures=0
# run_jalv NAME: three seconds of jalv on the metronome, one second of its output recorded.
run_jalv() {
  local name=$1 client="reelstop-$1" problem=""
  (sleep 3 | timeout 20 jalv -x -n "$client" "$uri" >"$work/$name.log" 2>&1; echo $? >"$work/$name.status") &
  local jalv=$!
  wait_for_port "$client:out_r"
  jack_connect click:300_bpm "$client:in_l" && jack_connect click:300_bpm "$client:in_r"
  timeout 5 jack_rec -f "$work/$name.wav" -d 1 -b 16 "$client:out_l" "$client:out_r" >/dev/null 2>&1
  wait "$jalv"
  # 16-bit samples after the 44-byte header; count the ones that are not zero.
  local sound
  sound=$(od -An -t d2 -j 44 -v "$work/$name.wav" 2>/dev/null | tr -s ' ' '\n' | grep -c -v -E '^-?0*$')
  if [ "$(cat "$work/$name.status")" != 0 ]; then
    problem="jalv exited with $(cat "$work/$name.status")"
  elif grep -q -i -E 'error|fail|assert|segmentation|abort' "$work/$name.log"; then
    problem="jalv printed an error"
  elif [ "$sound" -eq 0 ]; then
    problem="the recorded output is silent"
  fi
  if [ -n "$problem" ]; then
    echo "FAIL ($name): $problem"
    cat "$work/$name.log"
    failures=$((failures + 1))
  else
    echo "ok ($name): $sound samples of sound"
  fi
}

run_jalv no-timebase

# jack_transport reads commands from standard input, here a pipe the test holds open until it
# ends: become timebase master and roll.
mkfifo "$work/transport.in"
exec 3<>"$work/transport.in"
setsid jack_transport <"$work/transport.in" >"$work/transport.log" 2>&1 &
groups+=($!)
printf 'master\nplay\n' >&3
# jack_showtime prints the transport until it is killed (it ignores a polite signal while
# printing); a second of it is plenty.
rolling() {
  { timeout -s KILL 1 jack_showtime >"$work/showtime.log" 2>&1; } 2>/dev/null
  grep -q 'Rolling.*BBT' "$work/showtime.log"
}
for _ in $(seq 5); do rolling && break; done
if ! rolling; then
  echo "FAIL: jack_transport is not rolling as timebase master"
  cat "$work/transport.log"
  exit 1
fi
run_jalv timebase

echo "$((2 - failures)) passed, $failures failed"
exit "$failures"
