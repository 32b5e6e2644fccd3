#!/usr/bin/env bash
# jalv runs the stereo plug-in on a private JACK server (dummy back end), fed a metronome and
# recorded by jack_rec: first with no timebase master, so jalv sends only frame and speed, then
# with jack_transport as timebase master and rolling, so it sends bar, beat and tempo too. Each
# run must exit cleanly, print no error and put sound out.
set -u
uri="https://ferncliff.example/plugins/reelstop#stereo"
source "$(dirname "$0")/test_services.sh"

start_jack
start metro jack_metro -n click -b 300 -D 50
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
