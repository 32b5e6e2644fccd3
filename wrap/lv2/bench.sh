#!/usr/bin/env bash
# Times the stereo plug-in with lv2bench beside two of Debian's swh-lv2 plug-ins, in the same
# run: 100 seconds of audio at 48 kHz (4,800,000 frames) in 512-frame blocks. The swh plug-ins
# are mono, so our time is compared per channel too. Aims: per channel at most 3x delay_c, and
# below tapeDelay.
#   wrap/lv2/bench.sh [BUILD_FOLDER]     (default: build; needs lilv-utils and swh-lv2)
set -euo pipefail
build=$(cd "${1:-$(dirname "$0")/../../build}" && pwd)
frames=4800000
block=512
ours="https://ferncliff.example/plugins/reelstop#stereo"
delay_c="http://plugin.org.uk/swh-plugins/delay_c"
tape_delay="http://plugin.org.uk/swh-plugins/tapeDelay"

# The bundle from the build, and the system's plug-ins and LV2's own vocabularies, nothing else.
path=$(mktemp -d)
trap 'rm -rf "$path"' EXIT
ln -s "$build/reelstop.lv2" "$path/reelstop.lv2"
export LV2_PATH="$path:/usr/lib/lv2"

seconds() { lv2bench -n "$frames" -b "$block" "$1" 2>/dev/null | awk -v uri="$1" '$2 == uri { print $1 }'; }
t_ours=$(seconds "$ours")
t_delay=$(seconds "$delay_c")
t_tape=$(seconds "$tape_delay")
awk -v o="$t_ours" -v d="$t_delay" -v t="$t_tape" -v n="$frames" 'BEGIN {
  printf "reelstop stereo   %.4f s  (%.2f ns per stereo frame)\n", o, o / n * 1e9
  printf "swh delay_c       %.4f s  (mono)\n", d
  printf "swh tapeDelay     %.4f s  (mono)\n", t
  printf "per channel: %.2fx delay_c (aim <= 3), %.2fx tapeDelay (aim < 1); whole stereo: %.2fx tapeDelay\n",
         o / 2 / d, o / 2 / t, o / t
}'
