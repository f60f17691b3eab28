#!/bin/sh
# Builds the libFuzzer targets (clang, sanitizers) and runs each for a while.
# Usage: scripts/fuzz.sh [seconds per target, default 30] [target ...]
# Exits non-zero when a target fails to build or finds a crash, a hang or a leak;
# the input that did it is left in build-fuzz/artifacts/.
set -eu

seconds=${1:-30}
[ $# -gt 0 ] && shift
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DQUIB_FUZZ=ON -DQUIB_TESTS=OFF \
    -DQUIB_BENCH=OFF >/dev/null
fi

targets=${*:-"lyrics_file_fuzz line_ops_fuzz shorten_text_fuzz settings_file_fuzz jpeg_fuzz mpeg_length_fuzz"}
for t in $targets; do
  ninja -C "$build" "fuzz_$t" >/dev/null
done

# A few readable starting points (printf formats), so that the short runs
# reach the tag grammar at once instead of first rediscovering brackets.
seed() {
  dir="$build/corpus/$1"
  shift
  mkdir -p "$dir"
  [ -n "$(ls -A "$dir")" ] && return 0
  i=0
  for format in "$@"; do
    i=$((i + 1))
    printf "$format" >"$dir/seed$i"
  done
}
seed lyrics_file_fuzz \
  '\100\234\0\0[00:10:00]a\r\nb\r\n@TimeRatio=1.5\r\n// c\r\n--------\r\n[00:20:00]c\r\n' \
  '\0\0\0\0[00:01:00]Hel[00:01:50]lo\n\n[00:03:00]\\_w[500]x\\w5y' \
  '\1\0\0\0plain\rlines\r\n\202\240\n'
seed line_ops_fuzz \
  '\1\260\4\0\0\210\23\0\0[00:01:00]Hel[00:01:50]lo[00:02:00]' \
  '\2\114\4\0\0\240\17\0\0[00:01:00]Hi\\w5\\w5 \\_w[500]\\s[10]\203\134there' \
  '\0\0\0\0\0\0\0\0\0[#FF8000][00:01:00]\\n[#1[2345]x'
seed shorten_text_fuzz \
  '\2\14[00:01:00]\210\237\210\237' \
  '\1\14[00:01:00]\343\201\202a' \
  '\0\2abc'

seed settings_file_fuzz \
  '[Setting]\r\nStopOnKey=0\r\n[Option]\r\nVolume=0x32\r\nBGM=/m/a.mp3\r\n' \
  '[option]\n usebgm = 2 \n[Effect]\niBackT=$1F\n;c\n=x\n[' \
  'Password="M.LYMO"\n[Transp]\nbTransA=abc'
# Real pictures and music frames are better seeds than any text.
seed_files() {
  dir="$build/corpus/$1"
  shift
  mkdir -p "$dir"
  [ -n "$(ls -A "$dir")" ] && return 0
  for f in "$@"; do
    [ -f "$f" ] && head -c 6000 "$f" >"$dir/$(basename "$f")"
  done
  return 0
}
seed_files jpeg_fuzz "$root"/resources/demo/qkaraimg/*.jpg
seed_files mpeg_length_fuzz "$root"/resources/demo/*.mp3

mkdir -p "$build/artifacts"
status=0
for t in $targets; do
  echo "fuzz_$t: ${seconds}s"
  if ! "$build/fuzz/fuzz_$t" "$build/corpus/$t" -max_total_time="$seconds" -timeout=10 \
      -max_len=4096 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$t-" >"$build/artifacts/$t.log" 2>&1; then
    echo "fuzz_$t FAILED; see $build/artifacts/$t.log" >&2
    tail -n 30 "$build/artifacts/$t.log" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units' "$build/artifacts/$t.log" || true
  fi
done
exit $status
