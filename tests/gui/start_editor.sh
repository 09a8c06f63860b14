#!/usr/bin/env bash
# Starts the real program on a copy of the sample repository, as a user would after the demo
# command, and lets it draw its first frame; saves a screenshot of the window.
set -euo pipefail
program=$1 demo=$2 screenshots=$3
repo=$(mktemp -d)
trap 'rm -rf "$repo"' EXIT
cp -r "$demo"/. "$repo"
config=$(mktemp -d)
export XDG_CONFIG_HOME=$config
"$program" --init-repository "$repo"
mkdir -p "$screenshots"
# A message box on the way (a missing texture, say) would hold the first frame back until the
# timeout, so each document must open without one.
for document in ships/crate-stack.asm towns/harbour.cty; do
  picture=$screenshots/program-$(basename "${document%.*}").png
  TESSARIM_FIRST_FRAME=quit TESSARIM_SCREENSHOT="$picture" timeout 60 \
    "$program" "$repo/$document" 2> "$config/log"
  cat "$config/log" >&2
  grep -q "first frame after" "$config/log"
  test -s "$picture"
done
