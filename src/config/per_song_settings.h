#pragma once
// The per-song file beside the music file (song.mp3 -> song.qka): the text
// background, noise and background effect that suit a song, and optionally
// its own escape password.
#include <string>

#include "config/settings.h"

namespace quib {

struct SaverContext;

// BGM with its extension replaced by ".qka" (appended when it has none).
std::string PerSongSettingsPath(const std::string& bgm);

// At saver start, after the file checks: when UseBGM is on and the per-song
// file exists, TextBack, iNoiseT, iNoiseC, iBackT, UsePass and Password take
// its values; each missing key keeps the value in force.
void ApplyPerSongSettings(Settings& s);

// Ctrl+F9: writes the current TextBack, iNoiseT, iNoiseC and iBackT into the
// current song's per-song file, keeping every other key of it, and reports on
// the message line. Does nothing without music. A refused write stops at the
// failing key and puts "<file> に書き込めません" on the message line.
void SavePerSongSettings(SaverContext& ctx);

}  // namespace quib
