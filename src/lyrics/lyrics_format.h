#pragma once
// Reading a lyrics file: what kind of tags it uses, the time-ratio
// directive, which lines are lyrics, and when each line starts.
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

namespace quib {

// Tag types, as LyricState.LyricTagType keeps them.
enum LyricTagKind : int {
  kTagNone = 0,
  kTagPlain = 1,
  kTagTime = 2,
  kTagKaraoke = 3,
  kTagUkagaka = 4,
};

// "[mm:ss:cc]" read as milliseconds (minutes*60000 + seconds*1000 + cc*10).
// A field whose digits do not read counts as 0; the tag may stop early.
int ParseTimeTag(std::string_view tag);

// The canonical "[mm:ss:cc]" for ms (two digits each, more minutes when needed).
std::string FormatTimeTag(int ms);

// Whether line starts with "[" followed by a digit and ":" as a time tag does.
bool BeginsWithTimeTag(std::string_view line);

// The tag type of a file's lines (one of LyricTagKind).
int ClassifyLyrics(const std::vector<std::string>& lines);

// The time-ratio directive's value; 1.0 without one or when it does not read.
float ReadTimeRatio(const std::vector<std::string>& lines);

// Removes the lines that are not lyrics for the given tag type and appends
// the final empty line that every loaded song ends with.
void DropNonLyricLines(std::vector<std::string>& lines, int tagType);

// One "[mm:ss:cc]" start time per line. Without an anchor the times run from
// the last anchor to the song length (music opened) or 3 seconds a line.
std::vector<std::string> BuildLineTimes(const std::vector<std::string>& lines,
                                        bool musicOpened, int songLength);

// Reads a lyrics file as lines (CR LF, LF or CR), bytes unchanged, and decides
// its encoding once: the whole file valid UTF-8 -> Utf8, otherwise Cp932.
// False when the file cannot be read.
bool ReadLyricsFile(const std::string& path, std::vector<std::string>& lines, Encoding& enc);

}  // namespace quib
