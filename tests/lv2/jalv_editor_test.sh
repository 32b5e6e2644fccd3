#!/usr/bin/env bash
# jalv.gtk3 opens the stereo plug-in with its editor on Xvfb, on a private JACK server fed a
# metronome, and xdotool plays it as a user would: the record page as drawn; holding the record
# stops the tape (accent rim, "STOP") and letting go spins it up; a drag round the record
# scratches; the settings page, its wheel scrolling with "Auto" off, and "Done" back. Each step's
# screenshot is kept in the folder given (the build tree's test artefacts).
set -u
uri="https://ferncliff.example/plugins/reelstop#stereo"
shots=${1:?usage: jalv_editor_test.sh SCREENSHOT_FOLDER}
source "$(dirname "$0")/test_services.sh"
mkdir -p "$shots"
rm -f "$shots"/jalv-*.png

start_xvfb
start_jack
start metro jack_metro -n click -b 300 -D 50
wait_for_port click:300_bpm || { echo "FAIL: the metronome did not start"; exit 1; }
client="reelstop (stereo)"
start jalv jalv.gtk3 "$uri"  # its JACK client takes the plug-in's name
# GTK and a sanitized plug-in take their time to start.
wait_for_port "$client:out_r" 30 || { echo "FAIL: jalv.gtk3 did not start"; cat "$work/jalv.log"; exit 1; }
jack_connect click:300_bpm "$client:in_l" && jack_connect click:300_bpm "$client:in_r"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The editor's window: the 420 x 480 child that jalv embedded in its own.
top=""
editor=""
for _ in $(seq 50); do
  top=$(xdotool search --name "^reelstop \\(stereo\\)$" 2>/dev/null | head -1)
  [ -n "$top" ] && editor=$(xwininfo -tree -id "$top" | awk '/\(has no name\): \(\)  420x480\+0\+0/ { id = $1 } END { print id }')
  [ -n "$editor" ] && break
  sleep 0.1
done
[ -n "$editor" ] || { echo "FAIL: no 420 x 480 editor window in jalv.gtk3"; cat "$work/jalv.log"; exit 1; }

# shot NAME: the editor's window as the X server shows it; a window gone ends the test.
shot() {
  if ! import -window "$editor" "$shots/jalv-$1.png"; then
    echo "FAIL: the editor's window is gone"
    cat "$work/jalv.log"
    exit 1
  fi
}
# colour NAME X Y: "R G B" of one pixel.
colour() { convert "$shots/jalv-$1.png" -format "%[fx:int(255*p{$2,$3}.r+0.5)] %[fx:int(255*p{$2,$3}.g+0.5)] %[fx:int(255*p{$2,$3}.b+0.5)]" info:; }
# near NAME X Y R G B: the pixel is within 12 of the colour in every channel.
near() {
  local got
  read -r -a got <<<"$(colour "$1" "$2" "$3")"
  [ $((${got[0]} - $4)) -le 12 ] && [ $(($4 - ${got[0]})) -le 12 ] && [ $((${got[1]} - $5)) -le 12 ] &&
    [ $(($5 - ${got[1]})) -le 12 ] && [ $((${got[2]} - $6)) -le 12 ] && [ $(($6 - ${got[2]})) -le 12 ]
}
# accent_box NAME W H X Y: width, height and left of the accent-coloured pixels in the region.
accent_box() {
  convert "$shots/jalv-$1.png" -crop "$2x$3+$4+$5" +repage -fuzz 12% -fill white -opaque "rgb(255,138,61)" \
    -fill black +opaque white -trim -format "%w %h %X" info: 2>/dev/null
}
# differs A B: the two screenshots differ in more than a few pixels of the region W H X Y.
differs() {
  local changed
  changed=$(compare -metric AE -fuzz 5% "$shots/jalv-$1.png[$3x$4+$5+$6]" "$shots/jalv-$2.png[$3x$4+$5+$6]" null: 2>&1)
  [ "${changed%% *}" -gt 20 ] 2>/dev/null
}
# poll SECONDS NAME CHECK...: screenshots until the check passes or the time is up.
poll() {
  local until=$(($(date +%s%3N) + $1 * 1000)) name=$2
  shift 2
  while :; do
    shot "$name"
    "$@" && return 0
    [ "$(date +%s%3N)" -ge $until ] && return 1
    sleep 0.1
  done
}

readonly bg="17 17 19" accent="255 138 61" rim="44 44 46"
# The record: centre (210, 228), rim from 167 to 172 (theme::surfaceHi at rest), label to 56.8.
rim_accent() { near "$1" 380 228 $accent; }
rim_at_rest() { near "$1" 380 228 $rim; }
# "STOP" alone: a short run of accent text in the middle of the status strip (0, 406, 420, 436).
reads_stop() {
  local box
  read -r -a box <<<"$(accent_box "$1" 420 30 0 406)"
  [ "${#box[@]}" -eq 3 ] && [ "${box[0]}" -ge 25 ] && [ "${box[0]}" -le 60 ] && [ "${box[2]}" -ge 170 ] && [ "${box[2]}" -le 200 ]
}
title_drawn() { [ "$(convert "$shots/jalv-$1.png" -crop 80x22+20+14 -format '%[fx:maxima.r>0.8]' info:)" = 1 ]; }

sleep 1
shot 01-record
near 01-record 10 240 $bg || fail "background at (10, 240) is $(colour 01-record 10 240)"
near 01-record 210 278 $accent || fail "label at (210, 278) is $(colour 01-record 210 278)"
rim_at_rest 01-record || fail "rim at (380, 228) is $(colour 01-record 380 228)"
title_drawn 01-record || fail "no title at (20, 14)"

# Hold the record away from its centre.
xdotool mousemove --window "$editor" 300 150 mousedown 1
poll 1 02-held rim_accent 02-held || fail "the rim is $(colour 02-held 380 228) a second into the hold"
poll 1 02-held reads_stop 02-held || fail "the readout does not show STOP: accent box $(accent_box 02-held 420 30 0 406)"
xdotool mouseup 1
poll 2 03-released rim_at_rest 03-released || fail "the rim is $(colour 03-released 380 228) two seconds after letting go"

# A drag round the record: the readout leaves STOP as the hand turns it.
xdotool mousemove --window "$editor" 330 228 mousedown 1
poll 3 04-scratch-start reads_stop 04-scratch-start || fail "no STOP before the scratch"
for step in $(seq 0 24); do
  angle=$(awk -v s="$step" 'BEGIN { printf "%d %d", 210 + 120 * cos(s * 0.26), 228 + 120 * sin(s * 0.26) }')
  xdotool mousemove --window "$editor" $angle
  sleep 0.02
done
shot 05-scratching
differs 04-scratch-start 05-scratching 420 30 0 406 || fail "the readout did not change while scratching"
xdotool mouseup 1
sleep 1

# Settings: "Done" in the accent colour where the settings button was, and the record gone.
xdotool mousemove --window "$editor" 388 25 click 1
sleep 0.5
shot 06-settings
[ -n "$(accent_box 06-settings 52 32 358 9)" ] || fail "no accent \"Done\" on the settings page"
near 06-settings 210 278 $accent && fail "the record still shows behind the settings"
# "Auto" off: the settings page grows past its view and the wheel scrolls it.
xdotool mousemove --window "$editor" 376 109 click 1
xdotool mousemove --window "$editor" 8 300
sleep 0.5
shot 07-manual
xdotool click 5 click 5 click 5
sleep 0.5
shot 08-scrolled
differs 07-manual 08-scrolled 380 330 20 60 || fail "button 5 did not scroll the settings"
xdotool click 4 click 4 click 4
sleep 0.5
shot 09-scrolled-back
differs 07-manual 09-scrolled-back 380 330 20 60 && fail "button 4 did not scroll back to the top"
xdotool mousemove --window "$editor" 376 109 click 1
xdotool mousemove --window "$editor" 384 25 click 1
sleep 0.5
shot 10-done
near 10-done 210 278 $accent || fail "\"Done\" did not bring the record back"

# jalv quits on a polite signal: the editor closes, then the plug-in, without a complaint.
kill -TERM "${groups[-1]}"
for _ in $(seq 50); do
  kill -0 "${groups[-1]}" 2>/dev/null || break
  sleep 0.1
done
kill -0 "${groups[-1]}" 2>/dev/null && fail "jalv.gtk3 did not quit"
if grep -i -E 'segmentation|abort|assert|X Error|BadWindow' "$work/jalv.log"; then fail "jalv.gtk3 printed an error"; fi

if [ "$failures" -ne 0 ]; then
  cat "$work/jalv.log"
  echo "$failures failed; screenshots in $shots"
  exit 1
fi
echo "ok: the editor in jalv.gtk3; screenshots in $shots"
