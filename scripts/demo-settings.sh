#!/usr/bin/env bash
# Writes a QUIBKARAOKE.ini that plays the demo songs with every layer worth
# seeing switched on, into a folder of its own, so that a demo run never
# touches the user's real settings. Run the saver on it with
#
#   scripts/demo-settings.sh && XDG_CONFIG_HOME="$PWD/build/demo-config" build/quibkaraoke /s
#
# Usage: scripts/demo-settings.sh [config-folder [demo-folder]]
#   config-folder  where QUIBKARAOKE.ini goes (default: build/demo-config of the checkout)
#   demo-folder    the songs (default: resources/demo of the checkout)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
config="${1:-$root/build/demo-config}"
demo="${2:-$root/resources/demo}"

if [ ! -d "$demo" ]; then
  echo "demo-settings.sh: no demo folder at $demo" >&2
  exit 1
fi
mkdir -p "$config"
config="$(cd "$config" && pwd)"
demo="$(cd "$demo" && pwd)"

# The first song of the folder in the saver's own order (file names without
# regard to case), so that folder play goes through all of them from there.
first=""
while IFS= read -r name; do
  case "${name,,}" in
    *.wma | *.mp2 | *.mp3 | *.wav | *.mid | *.ogg) first="$name"; break ;;
  esac
done < <(find "$demo" -mindepth 1 -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort -f)
if [ -z "$first" ]; then
  echo "demo-settings.sh: no music file in $demo" >&2
  exit 1
fi
bgm="$demo/$first"
stem="${bgm%.*}"
lyrics=""
[ -e "$stem.txt" ] && lyrics="$stem.txt"
[ -e "$stem"_t.txt ] && lyrics="$stem"_t.txt
use_message=1
[ -n "$lyrics" ] || use_message=0
images="$demo/qkaraimg/"
use_gaz=1
[ -d "$images" ] || use_gaz=0

case "$bgm$lyrics$images" in
  *$'\n'* | *$'\r'*)
    echo "demo-settings.sh: a path with a line break cannot go into the settings file" >&2
    exit 1
    ;;
esac

# The file holds the escape password, so it is private to the user, and it
# is renamed into place so that a saver reading it never sees half a file.
umask 077
tmp="$(mktemp "$config/.QUIBKARAOKE.ini.XXXXXX")"
trap 'rm -f "$tmp"' EXIT
cat >"$tmp" <<EOF
[Setting]
StopOnKey=1
StopOnMouseMove=1
StopOnMouseClick=1
[Option]
UseBGM=1
BGM=$bgm
UseMessage=$use_message
MESSAGE=$lyrics
UseAutoPitch=1
UseGaz=$use_gaz
Images=$images
Debug=0
TimeTag=0
WipeStyle=1
GazStyle=5
SetVolume=0
Volume=20
TextBack=0
MonoChro=0
UsePass=0
bFRepeat=1
Password=
[Effect]
iNoiseT=0
iNoiseC=0
bFontSP=0
sFontNM=
bFontBL=1
bFontIT=0
bFontUL=0
iFSizePer=100
iTextTiming=0
iBackT=1
[Transp]
bTransB=0
bTransA=100
[Karaoke]
bTimeForce=1
bNoKaraoke=0
EOF
mv -f "$tmp" "$config/QUIBKARAOKE.ini"
trap - EXIT
echo "$config/QUIBKARAOKE.ini"
