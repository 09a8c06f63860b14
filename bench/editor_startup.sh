#!/usr/bin/env bash
# Start-up to first frame and idle CPU of the editor on a sample document, on a virtual display.
# Usage: bench/editor_startup.sh BUILD_DIR [RUNS] [DOCUMENT]   (DOCUMENT inside demo/, by default
# ships/crate-stack.asm; build with -DCMAKE_BUILD_TYPE=Release for figures)
set -euo pipefail
build=${1:?build folder}
runs=${2:-7}
document=${3:-ships/crate-stack.asm}
cd "$(dirname "$0")/.."
program=$(realpath "$build/src/app/tessarim")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r demo "$scratch/repo"
export XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
"$program" --init-repository "$scratch/repo" 2>/dev/null

xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$program" "$scratch/repo/$document" "$runs" <<'RUN'
program=$1 document=$2 runs=$3
for _ in $(seq "$runs"); do
  TESSARIM_FIRST_FRAME=quit "$program" "$document" 2>&1 | sed -n 's/first frame after \([0-9.]*\) ms/\1/p'
done | sort -n | awk '{a[NR]=$1} END {printf "start-up to first frame: median %.1f ms of %d runs (min %.1f, max %.1f)\n", a[int((NR+1)/2)], NR, a[1], a[NR]}'

"$program" "$document" 2>/dev/null &
pid=$!
sleep 3
ticks=$(getconf CLK_TCK)
before=$(awk '{print $14 + $15}' /proc/$pid/stat)
sleep 10
after=$(awk '{print $14 + $15}' /proc/$pid/stat)
kill $pid
awk -v d=$((after - before)) -v t="$ticks" 'BEGIN {printf "idle window CPU: %.1f%% of one core over 10 s\n", d / t / 10 * 100}'
RUN
