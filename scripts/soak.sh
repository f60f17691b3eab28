#!/usr/bin/env bash
# The saver under Xvfb at 1920x1080 on the demo songs for a long run: every
# effect cycles by key, songs step, then Esc. Fails on error output, a
# non-zero exit, or resident memory growing past a bound after the first minute.
#   scripts/soak.sh [build folder] [minutes]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
minutes=${2:-10}
growth_limit_kb=${QUIB_SOAK_GROWTH_KB:-20480}
exe="$PWD/$build/quibkaraoke"
[ -x "$exe" ] || { echo "build the program first"; exit 1; }
work=$(mktemp -d)
# A desktop session has a runtime folder; without one Qt says so on stderr.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
trap 'kill $saver $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
./scripts/demo-settings.sh "$work/config" "$PWD/resources/demo" >/dev/null
XDG_CONFIG_HOME="$work/config" QUIB_AUDIO_OUTPUT=null "$exe" /s 2>"$work/stderr" &
saver=$!
sleep 5
rss() { awk '/VmRSS/ {print $2}' /proc/$saver/status; }
keys=(d s z i t p n l Right Up Down s s z z i i i t t Left d n p)
end=$(( $(date +%s) + minutes * 60 ))
baseline=""
start=$(date +%s)
i=0
while [ "$(date +%s)" -lt "$end" ]; do
  kill -0 $saver 2>/dev/null || { echo "the saver ended by itself"; exit 1; }
  xdotool key "${keys[$((i % ${#keys[@]}))]}"
  i=$((i + 1))
  sleep 0.7
  elapsed=$(( $(date +%s) - start ))
  if [ -z "$baseline" ] && [ "$elapsed" -ge 60 ]; then baseline=$(rss); fi
  if [ $((i % 85)) -eq 0 ]; then echo "$((elapsed / 60)) min: $(rss) kB resident"; fi
done
final=$(rss)
xdotool key Escape
status=0
wait $saver || status=$?
echo "keys sent: $i; resident memory after 1 min: ${baseline:-?} kB, at the end: $final kB; exit $status"
if [ -s "$work/stderr" ]; then echo "error output:"; cat "$work/stderr"; exit 1; fi
[ "$status" -eq 0 ] || exit 1
if [ -n "$baseline" ] && [ $((final - baseline)) -gt "$growth_limit_kb" ]; then
  echo "resident memory grew by $((final - baseline)) kB"; exit 1
fi
echo "soak passed"
