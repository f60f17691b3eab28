#!/usr/bin/env python3
"""Makes the demo songs in resources/demo/ from the tables below.

Music and words come from one table per song, so the lyric timing and the
notes cannot drift apart: each note carries the piece of text sung on it.
The MIDI files are written here byte by byte (standard library only); two of
the songs are then rendered to Ogg Vorbis and MP3 with GStreamer's software
synthesiser, and the pictures and the 64 px icon are drawn with ImageMagick.

The results are committed, so nobody needs to run this to try the saver.
Needs, for the audio and picture steps: gst-launch-1.0 with midiparse,
fluiddec, vorbisenc, lamemp3enc and xingmux; ImageMagick's convert; iconv;
gdk-pixbuf-thumbnailer for the icon (ImageMagick cannot read SVG without
rsvg-convert).

    scripts/make_demo.py [--out resources/demo] [--work build/demo-src]
                         [--skip-audio] [--skip-images] [--skip-icon]
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import wave
from dataclasses import dataclass, field

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TICKS = 480  # per quarter note

# ---------------------------------------------------------------- the songs

NOTE_BASE = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def Pitch(name):
    """'C4' -> 60, 'G#4' -> 68, 'Bb3' -> 58."""
    letter, rest = name[0], name[1:]
    semis = NOTE_BASE[letter]
    while rest and rest[0] in "#b":
        semis += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + semis


# Triads as pitch classes from the root; the bass plays the root.
CHORD_SHAPES = {"": (0, 4, 7), "m": (0, 3, 7), "7": (0, 4, 7, 10)}


def ChordRoot(symbol):
    root = symbol[0]
    rest = symbol[1:]
    if rest[:1] in ("#", "b"):
        root += rest[0]
        rest = rest[1:]
    return root, CHORD_SHAPES[rest]


@dataclass
class Line:
    chords: list  # one chord per bar
    # "text/NOTE/beats" tokens; "_" stands for a leading space of the text.
    notes: str
    colour: str = ""  # a "#RRGGBB" for the line's colour tag
    prefix: str = ""  # tags without timing put in front (the wait style)


@dataclass
class Song:
    stem: str
    title: str
    tempo: int  # quarter notes per minute
    render: str  # "" keeps the MIDI file, else "ogg" or "mp3"
    style: str  # "karaoke", "time" or "wait"
    encoding: str  # "utf-8" or "cp932"
    melody_program: int
    chord_program: int
    bass_program: int
    groove: str  # "pop", "ballad" or "bounce"
    intro: list
    lines: list
    outro: list
    header: list = field(default_factory=list)  # lines put before the lyrics
    beats_per_line: int = 8


SONGS = [
    Song(
        stem="01-starlight-walk",
        title="Starlight Walk / 星のさんぽ",
        tempo=120,
        render="ogg",
        style="karaoke",
        encoding="utf-8",
        melody_program=73,  # flute
        chord_program=89,  # warm pad
        bass_program=33,  # finger bass
        groove="pop",
        header=["// Starlight Walk: words and music made for the QUIB demo", "@TimeRatio=1.0"],
        intro=["C", "G"],
        lines=[
            Line(["C", "Am"], "Walk/E4/1 ing/G4/1 _un/A4/1 der/G4/1 _star/E4/1.5 light/D4/1.5"),
            Line(["F", "G"], "星/F4/1 の/A4/1 み/C5/1 ち/A4/.5 を/G4/.5 ゆ/F4/1 こ/E4/1 う/D4/1.5",
                 colour="#80D0FF"),
            Line(["C", "Am"], "Ev/E4/.5 ery/E4/.5 _lit/G4/.5 tle/G4/.5 _light/C5/1 _says/B4/1 _hel/A4/1 lo/G4/2"),
            Line(["F", "G"], "き/A4/.5 ら/G4/.5 き/A4/.5 ら/G4/.5 ひ/F4/1 か/E4/1 る/D4/1 よ/G4/2",
                 colour="#80D0FF"),
            Line(["F", "G"], "Hold/F4/1 _my/A4/1 _hand/C5/1 _and/A4/.5 _sing/G4/.5 _a/E4/.5 long/G4/2.5"),
            Line(["Em", "Am"], "ふ/E4/.5 た/G4/.5 り/B4/1 で/A4/1 う/G4/.5 た/A4/.5 お/C5/1 う/A4/2",
                 colour="#FFB0E0"),
            Line(["F", "G"], "Till/C5/1 _the/B4/1 _mor/A4/1.5 ning/G4/.5 _comes/A4/3"),
            Line(["C", "C"], "ま/G4/.5 た/E4/.5 あ/G4/1 し/A4/1 た/D4/1 ね/C4/3", colour="#FFE080"),
        ],
        outro=["F", "C"],
    ),
    Song(
        stem="02-rain-song",
        title="Rain Song / 雨のうた",
        tempo=100,
        render="mp3",
        style="time",
        encoding="cp932",
        melody_program=0,  # piano
        chord_program=48,  # strings
        bass_program=32,  # acoustic bass
        groove="ballad",
        header=["// Rain Song: words and music made for the QUIB demo (Shift-JIS)"],
        intro=["Am", "F"],
        lines=[
            Line(["Am", "F"], "窓/A4/1 を/C5/1 た/B4/.5 た/A4/.5 く/G4/1 _雨/E4/1 の/G4/.5 音/A4/1.5"),
            Line(["Dm", "E"], "Rain/D5/1 _is/C5/.5 _fall/B4/.5 ing/A4/1 _soft/B4/1 ly/G#4/3"),
            Line(["Am", "F"], "傘/A4/1 を/C5/.5 ひ/D5/.5 ら/E5/1 い/D5/.5 て/C5/.5 _ある/A4/1 こう/G4/2"),
            Line(["C", "G"], "Pud/E5/.5 dles/D5/.5 _shin/C5/1 ing/B4/1 _in/A4/.5 _the/G4/.5 _street/G4/2.5"),
            Line(["F", "G"], "雲/C5/1 の/A4/1 む/C5/.5 こ/D5/.5 う/E5/1 に/D5/3"),
            Line(["Em", "Am"], "Sun/B4/1 _is/B4/.5 _wait/C5/.5 ing/D5/1 _there/C5/1 _for/B4/1 _you/A4/2"),
            Line(["F", "G"], "あ/A4/.5 し/C5/.5 た/D5/1 は/E5/1 _晴/D5/1 れ/C5/1 る/B4/1 よ/C5/1"),
            Line(["Dm", "E"], "Rain,/A4/1 _rain,/C5/1 _sing/B4/1 _for/G#4/1 _me/A4/3"),
        ],
        outro=["Am", "Am"],
    ),
    Song(
        stem="03-lalala",
        title="La La Song / ららのうた",
        tempo=125,  # an eighth note is 240 ms, four waits of 60 ms
        render="",
        style="wait",
        encoding="utf-8",
        melody_program=10,  # music box
        chord_program=4,  # electric piano
        bass_program=35,  # fretless bass
        groove="bounce",
        header=["// La La Song: words and music made for the QUIB demo", "--------"],
        intro=["F", "C"],
        lines=[
            Line(["F", "Dm"], "ら/C5/.5 ら/A4/.5 ら/F4/1 _う/A4/.5 た/C5/.5 お/D5/1 う/C5/3", prefix="\\h\\s[0]"),
            Line(["Bb", "C"], "La/D5/.5 _la/C5/.5 _la,/Bb4/1 _sing/A4/1 _with/G4/1 _me/F4/3"),
            Line(["F", "Dm"], "ち/A4/.5 い/A4/.5 さ/C5/1 な/A4/.5 こ/G4/.5 え/F4/1 で/D4/3", prefix="\\s[10]"),
            Line(["Gm", "C"], "Hum/Bb4/1 _a/A4/.5 _lit/G4/.5 tle/A4/1 _tune/C5/4"),
            Line(["F", "Dm"], "ら/F5/.5 ら/E5/.5 ら/D5/1 ら/C5/1 ら/A4/1 ら/C5/3", prefix="\\h\\s[0]"),
            Line(["Bb", "C"], "み/D5/.5 ん/C5/.5 な/Bb4/1 で/A4/1 _ら/G4/.5 ら/A4/.5 ら/Bb4/3"),
            Line(["Gm", "C"], "Clap/G4/.5 _your/A4/.5 _hands/Bb4/1 _with/C5/1 _me/C5/4"),
            Line(["F", "F"], "ら/C5/.5 ら/A4/.5 ら/F4/1 _ま/G4/1 た/A4/1 ね/F4/3", prefix="\\s[0]"),
        ],
        outro=["Bb", "F"],
    ),
]


@dataclass
class Note:
    text: str
    pitch: int
    start: float  # beats from the song's start
    beats: float


def LineNotes(song, index):
    """The notes of lyric line index, placed on the song's beat grid."""
    start = (len(song.intro) * 4) + index * song.beats_per_line
    notes = []
    for token in song.lines[index].notes.split():
        text, name, beats = token.split("/")
        text = text.replace("_", " ")
        notes.append(Note(text, Pitch(name), start, float(beats)))
        start += float(beats)
    used = start - ((len(song.intro) * 4) + index * song.beats_per_line)
    if used > song.beats_per_line:
        sys.exit(f"{song.stem}: line {index + 1} has {used} beats, more than {song.beats_per_line}")
    return notes


def SongBars(song):
    return song.intro + [c for line in song.lines for c in line.chords] + song.outro


def Ms(song, beats):
    # The tempos are chosen so that every note starts on a whole millisecond.
    return round(beats * 60000 / song.tempo)


# ------------------------------------------------------------------- lyrics


def TimeTag(ms):
    s = ms // 1000
    return "[%02d:%02d:%02d]" % (s // 60, s % 60, (ms // 10) % 100)


def Wait(ms):
    # The short wait counts in 60 ms steps up to 9; anything else takes the
    # timed form, which also shows both kinds in the file.
    if ms % 60 == 0 and 1 <= ms // 60 <= 9:
        return "\\w%d" % (ms // 60)
    return "\\_w[%d]" % ms


def LyricsText(song):
    intro_ms = Ms(song, len(song.intro) * 4)
    out = list(song.header)
    title_end = intro_ms - 500
    if song.style == "karaoke":
        out.append(TimeTag(0) + song.title + TimeTag(title_end))
    elif song.style == "time":
        out.append(TimeTag(0) + song.title)
    else:
        out.append(TimeTag(0) + "\\s[0]" + song.title + Wait(title_end))
    for i, line in enumerate(song.lines):
        notes = LineNotes(song, i)
        first = Ms(song, notes[0].start)
        colour = "[%s]" % line.colour if line.colour else ""
        if song.style == "karaoke":
            # Each tag closes the piece before it; the notes of a line are
            # legato, so a note's end is the next one's start.
            body = "".join(n.text + TimeTag(Ms(song, n.start + n.beats)) for n in notes)
            out.append(TimeTag(first) + colour + body)
        elif song.style == "time":
            out.append(TimeTag(first) + colour + "".join(n.text for n in notes))
        else:
            body = "".join(n.text + Wait(Ms(song, n.start + n.beats) - Ms(song, n.start)) for n in notes)
            out.append(TimeTag(first) + line.prefix + colour + body)
    return "\r\n".join(out) + "\r\n"


def WriteLyrics(song, folder):
    text = LyricsText(song)
    path = os.path.join(folder, song.stem + "_t.txt")
    data = text.encode("utf-8")
    if song.encoding == "cp932":
        # iconv's CP932 is the Windows table (0x5C stays a backslash).
        data = subprocess.run(["iconv", "-f", "UTF-8", "-t", "CP932"], input=data, check=True,
                              stdout=subprocess.PIPE).stdout
    WriteFile(path, data)


# --------------------------------------------------------------------- MIDI


def Vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


class Track:
    def __init__(self):
        self.events = []  # (tick, order, bytes); order keeps note-offs before note-ons

    def Add(self, tick, data, order=1):
        self.events.append((int(round(tick)), order, bytes(data)))

    def Meta(self, tick, kind, payload):
        self.Add(tick, bytes([0xFF, kind]) + Vlq(len(payload)) + payload, order=0)

    def NoteOn(self, channel, pitch, velocity, start_beats, length_beats):
        self.Add(start_beats * TICKS, [0x90 | channel, pitch, velocity], order=2)
        self.Add((start_beats + length_beats) * TICKS, [0x80 | channel, pitch, 0], order=1)

    def Bytes(self):
        body = bytearray()
        last = 0
        for tick, _, data in sorted(self.events, key=lambda e: (e[0], e[1])):
            body += Vlq(tick - last) + data
            last = tick
        body += Vlq(0) + b"\xff\x2f\x00"
        return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


def Setup(track, channel, program, volume, reverb):
    track.Add(0, [0xB0 | channel, 7, volume], order=0)
    track.Add(0, [0xB0 | channel, 91, reverb], order=0)
    track.Add(0, [0xC0 | channel, program], order=0)


def DrumBar(track, bar, groove, last):
    b = bar * 4
    kick, snare, clap, hat, crash, stick = 36, 38, 39, 42, 49, 37
    if last:
        track.NoteOn(9, crash, 100, b, 4)
        track.NoteOn(9, kick, 100, b, 1)
        return
    if groove == "pop":
        for beat in (0, 2, 2.5):
            track.NoteOn(9, kick, 100, b + beat, 0.25)
        for beat in (1, 3):
            track.NoteOn(9, snare, 90, b + beat, 0.25)
        for e in range(8):
            track.NoteOn(9, hat, 70 if e % 2 else 85, b + e / 2, 0.25)
    elif groove == "ballad":
        track.NoteOn(9, kick, 85, b, 0.5)
        track.NoteOn(9, kick, 70, b + 2.5, 0.5)
        for beat in (1, 3):
            track.NoteOn(9, stick, 75, b + beat, 0.25)
        for e in range(8):
            track.NoteOn(9, hat, 50 if e % 2 else 65, b + e / 2, 0.25)
    else:
        for beat in (0, 2):
            track.NoteOn(9, kick, 95, b + beat, 0.25)
        for beat in (1, 3):
            track.NoteOn(9, clap, 80, b + beat, 0.25)
        for e in range(8):
            if e % 2:
                track.NoteOn(9, hat, 75, b + e / 2, 0.25)


def ChordBar(track, bar, symbol, groove, last):
    root, shape = ChordRoot(symbol)
    base = Pitch(root + "4")
    if base > Pitch("F#4"):
        base -= 12
    voicing = [base + s for s in shape[:3]]
    b = bar * 4
    if groove == "bounce" and not last:
        for beat in (1, 3):
            for p in voicing:
                track.NoteOn(2, p, 55, b + beat, 0.5)
    else:
        for p in voicing:
            track.NoteOn(2, p, 50, b, 4)


def BassBar(track, bar, symbol, groove, last):
    root, shape = ChordRoot(symbol)
    low = Pitch(root + "2")
    if low > Pitch("E2"):
        low -= 12
    fifth = low + 7
    b = bar * 4
    if last:
        track.NoteOn(1, low, 95, b, 4)
    elif groove == "pop":
        for i, p in enumerate((low, low, fifth, low + 12)):
            track.NoteOn(1, p, 95, b + i, 0.9)
    elif groove == "ballad":
        track.NoteOn(1, low, 90, b, 1.9)
        track.NoteOn(1, fifth, 80, b + 2, 1.9)
    else:
        for i, p in enumerate((low, fifth, low, fifth)):
            track.NoteOn(1, p, 90, b + i, 0.45)


def MidiBytes(song):
    conductor = Track()
    conductor.Meta(0, 0x03, song.title.encode("utf-8"))
    conductor.Meta(0, 0x01, b"Made for the QUIB Karaoke demo")
    conductor.Meta(0, 0x51, struct.pack(">I", 60000000 // song.tempo)[1:])
    conductor.Meta(0, 0x58, bytes([4, 2, 24, 8]))

    melody, bass, chords, drums = Track(), Track(), Track(), Track()
    # Loud channel volumes: a software synthesiser at its default gain plays
    # General MIDI files quietly, and the saver plays this file as it is.
    Setup(melody, 0, song.melody_program, 127, 40)
    Setup(bass, 1, song.bass_program, 115, 20)
    Setup(chords, 2, song.chord_program, 92, 60)
    Setup(drums, 9, 0, 104, 30)
    for i in range(len(song.lines)):
        for n in LineNotes(song, i):
            # A little gap between notes keeps repeated pitches audible.
            melody.NoteOn(0, n.pitch, 100, n.start, n.beats * 0.92)

    bars = SongBars(song)
    for bar, symbol in enumerate(bars):
        last = bar == len(bars) - 1
        ChordBar(chords, bar, symbol, song.groove, last)
        BassBar(bass, bar, symbol, song.groove, last)
        DrumBar(drums, bar, song.groove, last)
    # One beat of silence after the last bar lets the final chord ring out.
    conductor.Meta(len(bars) * 4 * TICKS + TICKS, 0x01, b"end")

    tracks = [conductor, melody, bass, chords, drums]
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), TICKS)
    return header + b"".join(t.Bytes() for t in tracks)


# -------------------------------------------------------------------- audio


def Run(args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)


def Peak(wav_path):
    with wave.open(wav_path, "rb") as w:
        frames = w.readframes(w.getnframes())
    samples = memoryview(frames).cast("h")
    return max(1, max(abs(s) for s in samples)) / 32768.0


def RenderAudio(midi_path, out_path, kind, work):
    wav = os.path.join(work, os.path.basename(midi_path) + ".wav")
    Run(["gst-launch-1.0", "-q", "filesrc", "location=" + midi_path, "!", "midiparse", "!", "fluiddec",
         "synth-gain=0.6", "!", "audioconvert", "!", "audio/x-raw,format=S16LE", "!", "wavenc", "!",
         "filesink", "location=" + wav])
    # Normalise to about -1 dBFS: the synthesiser's level depends on the mix.
    gain = 0.89 / Peak(wav)
    chain = ["gst-launch-1.0", "-q", "filesrc", "location=" + wav, "!", "wavparse", "!", "volume",
             "volume=%.3f" % gain, "!", "audioconvert", "!", "audioresample", "!",
             "audio/x-raw,rate=32000,channels=2", "!"]
    tmp = out_path + ".part"
    if kind == "ogg":
        chain += ["vorbisenc", "quality=0.0", "!", "oggmux", "!"]
    else:
        # The Info frame gives the length at once, without a scan of the file.
        chain += ["lamemp3enc", "target=bitrate", "bitrate=56", "cbr=true", "!", "xingmux", "!"]
    Run(chain + ["filesink", "location=" + tmp])
    os.replace(tmp, out_path)


# ----------------------------------------------------------------- pictures

JP_FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"
LATIN_FONT = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"


def Stars(seed, count, width, height):
    """Deterministic little dots for a night sky (linear congruential)."""
    x = seed
    draws = []
    for _ in range(count):
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        px = x % width
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        py = x % height
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        r = 1 + x % 3
        draws.append("circle %d,%d %d,%d" % (px, py, px + r, py))
    return " ".join(draws)


def Streaks(seed, count, width, height):
    """Slanted rain lines, deterministic like Stars."""
    x = seed
    draws = []
    for _ in range(count):
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        px = x % width
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        py = x % height
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        length = 20 + x % 40
        draws.append("line %d,%d %d,%d" % (px, py, px - length // 4, py + length))
    return " ".join(draws)


def Caption(font, size, colour, gravity, offset, text):
    return ["-font", font, "-pointsize", str(size), "-fill", colour, "-stroke", "#000000a0",
            "-strokewidth", "2", "-gravity", gravity, "-annotate", offset, text]


PICTURES = [
    ("01-night-sky.jpg",
     ["-size", "1280x720", "gradient:#0b1030-#3a2a6a", "-fill", "#fff8d0", "-draw", Stars(7, 160, 1280, 720)]
     + Caption(JP_FONT, 64, "#fff4c0", "North", "+0+60", "星のさんぽ")
     + Caption(LATIN_FONT, 36, "#d0e0ff", "North", "+0+150", "Starlight Walk")),
    ("02-rainy-window.jpg",
     ["-seed", "11", "-size", "1280x720", "plasma:#2a4a70-#8098b0", "-blur", "0x6", "-motion-blur", "0x30+100",
      "-modulate", "85,60", "-stroke", "#d0e0ff60", "-strokewidth", "2",
      "-draw", Streaks(5, 220, 1280, 720), "-blur", "0x1"]
     + Caption(JP_FONT, 64, "#ffffff", "NorthWest", "+60+60", "雨のうた")
     + Caption(LATIN_FONT, 36, "#e0f0ff", "NorthWest", "+64+150", "Rain Song")),
    ("03-sunrise.jpg",
     ["-size", "1280x720", "gradient:#d89a50-#801c40", "(", "-size", "1280x720", "radial-gradient:#fff0c080-#00000000",
      ")", "-compose", "screen", "-composite"]
     + Caption(LATIN_FONT, 54, "#fffaf0", "North", "+0+90", "the sun is waiting there for you")),
    ("04-la-la-la.jpg",
     ["-seed", "23", "-size", "1280x720", "plasma:#ff9fd0-#9fd0ff", "-blur", "0x10", "-modulate", "70,90"]
     + Caption(JP_FONT, 120, "#ffffff", "Center", "+0-120", "ら ら ら")
     + Caption(LATIN_FONT, 40, "#ffffff", "Center", "+0+10", "La La Song")),
    ("05-stage-lights.jpg",
     ["-size", "1280x720", "xc:#101018", "-fill", "#ff3fa0", "-draw", "polygon 200,0 280,0 640,720 520,720",
      "-fill", "#3fc0ff", "-draw", "polygon 1000,0 1080,0 760,720 640,720",
      "-fill", "#ffe060", "-draw", "polygon 600,0 680,0 700,720 580,720", "-blur", "0x24"]
     + Caption(LATIN_FONT, 72, "#ffffff", "North", "+0+70", "QUIB Karaoke")
     + Caption(JP_FONT, 40, "#ffe0f0", "North", "+0+170", "いっしょにうたおう")),
]


def MakePictures(folder):
    os.makedirs(folder, exist_ok=True)
    for name, recipe in PICTURES:
        out = os.path.join(folder, name)
        tmp = out + ".part.jpg"
        Run(["convert"] + recipe + ["-strip", "-sampling-factor", "2x2", "-quality", "72", tmp])
        os.replace(tmp, out)


# --------------------------------------------------------------------- icon


def MakeIcon():
    svg = os.path.join(ROOT, "resources", "quibkaraoke.svg")
    png = os.path.join(ROOT, "resources", "quibkaraoke-64.png")
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "icon.png")
        Run(["gdk-pixbuf-thumbnailer", "-s", "64", svg, raw])
        # Through convert to drop the thumbnailer's metadata and pin the size.
        Run(["convert", raw, "-background", "none", "-gravity", "center", "-extent", "64x64", "-strip",
             "PNG32:" + png + ".part"])
    os.replace(png + ".part", png)


# --------------------------------------------------------------------- main


def WriteFile(path, data):
    tmp = path + ".part"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(ROOT, "resources", "demo"))
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "demo-src"))
    parser.add_argument("--skip-audio", action="store_true", help="write only MIDI and lyrics")
    parser.add_argument("--skip-images", action="store_true")
    parser.add_argument("--skip-icon", action="store_true")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    os.makedirs(args.work, exist_ok=True)

    for song in SONGS:
        midi = MidiBytes(song)
        WriteLyrics(song, args.out)
        if not song.render:
            WriteFile(os.path.join(args.out, song.stem + ".mid"), midi)
            continue
        # The source of a rendered song stays out of the demo folder, where it
        # would be a second catalogue entry for the same words.
        source = os.path.join(args.work, song.stem + ".mid")
        WriteFile(source, midi)
        if not args.skip_audio:
            RenderAudio(source, os.path.join(args.out, song.stem + "." + song.render), song.render, args.work)
    if not args.skip_images:
        MakePictures(os.path.join(args.out, "qkaraimg"))
    if not args.skip_icon:
        if shutil.which("gdk-pixbuf-thumbnailer"):
            MakeIcon()
        else:
            print("gdk-pixbuf-thumbnailer missing: icon PNG left as it is", file=sys.stderr)


if __name__ == "__main__":
    main()
