#!/usr/bin/env bash
# The real program under Xvfb at 1920x1080 on the demo songs: CPU use over
# 30 s (from /proc), resident memory, and the time from start to the first
# frame on the screen.   bench/program_bench.sh [build folder] [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-30}
exe="$PWD/$build/quibkaraoke"
[ -x "$exe" ] || { echo "build the program first: cmake --build $build --target quibkaraoke"; exit 1; }
work=$(mktemp -d)
trap 'kill $saver $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

./scripts/demo-settings.sh "$work/config" "$PWD/resources/demo" >/dev/null
hz=$(getconf CLK_TCK)
start_ms=$(($(date +%s%N) / 1000000))
start_mono=$(awk '{print int($1*1000)}' /proc/uptime)
XDG_CONFIG_HOME="$work/config" QUIB_AUDIO_OUTPUT=null QUIB_FIRST_FRAME_FILE="$work/first" \
  "$exe" /s 2>"$work/stderr" &
saver=$!
t0=$(date +%s%N)
for _ in $(seq 300); do [ -s "$work/first" ] && break; sleep 0.05; done
first_mono=$(cat "$work/first" 2>/dev/null || echo 0)
# Both times are on the boot-time clock of /proc/uptime.
sleep 2  # past start-up: measure the steady state
read -r ut st < <(awk '{print $14, $15}' /proc/$saver/stat)
t1=$(date +%s%N)
sleep "$seconds"
read -r ut2 st2 < <(awk '{print $14, $15}' /proc/$saver/stat)
t2=$(date +%s%N)
rss_kb=$(awk '/VmRSS/ {print $2}' /proc/$saver/status)
cpu_ticks=$(( (ut2 + st2) - (ut + st) ))
wall_ms=$(( (t2 - t1) / 1000000 ))
cpu_pct=$(awk -v t="$cpu_ticks" -v hz="$hz" -v w="$wall_ms" 'BEGIN { printf "%.1f", 100 * t / hz / (w / 1000) }')
echo "cpu of one core over ${seconds}s: ${cpu_pct} %"
echo "resident memory: $((rss_kb / 1024)) MB"
if [ "$first_mono" != 0 ]; then
  echo "start to first frame: $((first_mono - start_mono)) ms (±10 ms)"
fi
kill $saver
wait $saver 2>/dev/null || true
