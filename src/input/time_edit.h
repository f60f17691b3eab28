#pragma once
// The time-edit mode: while the music plays, Space stamps the start time on
// the next lyric line, Backspace takes the last stamp back and rewinds, F6
// writes the stamped lines back to the lyrics file.
#include <string>

#include "shell/saver_context.h"

namespace quib {

// At every song load with TimeTag on: the first line starts at 0, full-size
// current line, no lyric offset.
void PrepareTimeEdit(SaverContext& ctx);

// Space: the playing time as a tag in front of the line after CurrentLine.
void MarkNextLine(SaverContext& ctx);

// Backspace: only while RewindArmed (one per drawn frame), never for MIDI.
void UnmarkLine(SaverContext& ctx);

// F6: keeps the lyrics file once under the "_org" name, then rewrites it.
// False when nothing was written; the reason is on the message line. A
// lyrics file without a backup is never overwritten.
bool SaveTimedLyrics(SaverContext& ctx);

// The backup name: folder + name without extension + "_org" + extension.
std::string TimeEditBackupName(const std::string& lyricsPath);

}  // namespace quib
