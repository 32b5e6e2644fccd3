#!/bin/sh
# The Debian package, built from this build tree and checked without installing it: its files,
# its control fields, and an extracted copy that lv2ls finds and that renders a preset.
# Usage: deb_test.sh BUILD_DIR ARTEFACT_DIR
set -eu
build="$1"
artefacts="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT INT TERM

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb="$(ls "$work"/reelstop_*_amd64.deb)"
mkdir -p "$artefacts" && cp "$deb" "$artefacts/"

fail() { echo "deb_test: $*" >&2; exit 1; }

dpkg-deb -c "$deb" >"$work/files"
for file in ./usr/bin/reelstop-render ./usr/lib/lv2/reelstop.lv2/manifest.ttl ./usr/lib/lv2/reelstop.lv2/reelstop.ttl \
  ./usr/lib/lv2/reelstop.lv2/reelstop_dsp.so ./usr/lib/lv2/reelstop.lv2/reelstop_ui.so \
  ./usr/lib/lv2/reelstop.lv2/resources/Inter-Regular.otf; do
  grep -q " $file\$" "$work/files" || fail "the package lacks $file"
done
if grep -q -E 'reelstop_engine|/include/|CMake|Makefile|\.a$' "$work/files"; then fail "the package carries build products"; fi

[ "$(dpkg-deb -f "$deb" Package)" = reelstop ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture"
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libsndfile1 libcairo2 libfreetype6 libx11-6 libc6 libstdc++6; do
  echo "$depends" | grep -q "$library" || fail "Depends lacks $library: $depends"
done
if echo "$depends" | grep -q -E 'lilv|gtest|benchmark|cmake|jack'; then fail "Depends names a build or test tool: $depends"; fi

dpkg-deb -x "$deb" "$work/root"
LV2_PATH="$work/root/usr/lib/lv2" lv2ls >"$work/plugins"
grep -q 'reelstop' "$work/plugins" || fail "lv2ls does not find the extracted bundle"
[ "$(grep -c reelstop "$work/plugins")" -ge 2 ] || fail "both plug-ins should be listed"
"$work/root/usr/bin/reelstop-render" --seconds 1 --preset "Pitch brake" --snapshot "$work/look.png" "$work/out.wav" >/dev/null
[ -s "$work/out.wav" ] && [ -s "$work/look.png" ] || fail "the installed renderer wrote nothing"
echo "deb_test: $(basename "$deb") passes"
