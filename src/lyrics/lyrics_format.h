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

// A time tag read with the pattern "[%d:%d:%d]" as milliseconds
// (minutes*60000 + seconds*1000 + hundredths*10). A field that does not
// read counts as 0, and so do the fields after it. Clamped to the int range.
int ParseTimeTag(std::string_view tag);

// "[%02d:%02d:%02d]" of (ms div 1000) div 60, (ms div 1000) mod 60 and
// (ms div 10) mod 100: the canonical 10-byte tag for 0 <= ms < 100 minutes.
std::string FormatTimeTag(int ms);

// Whether a line begins with a time tag as the file level sees it: byte 1
// is "[" and byte 10 is "]".
bool BeginsWithTimeTag(std::string_view line);

// The tag type (kTagPlain to kTagUkagaka) of the lines as loaded, before
// the final empty line. enc decides how "[", "]" and "\" are searched;
// Auto decides it from the lines (all valid UTF-8 -> Utf8, else Cp932).
int ClassifyLyrics(const std::vector<std::string>& lines, Encoding enc = Encoding::Auto);

// The time-ratio directive's value; 1.0 without one or when it does not read.
float ReadTimeRatio(const std::vector<std::string>& lines);

// Removes the lines that are not lyrics for the given tag type and appends
// the final empty line that every loaded song ends with.
void DropNonLyricLines(std::vector<std::string>& lines, int tagType);

// One "[mm:ss:cc]" start time per line. Without an anchor the times run from
// the last anchor to the song length (music opened) or 3 seconds a line.
std::vector<std::string> BuildLineTimes(const std::vector<std::string>& lines, bool musicOpened,
                                        int songLength);

// Reads a lyrics file as lines (CR LF, LF or CR), bytes unchanged, and decides
// its encoding once: the whole file valid UTF-8 -> Utf8, otherwise Cp932.
// False when the file cannot be read.
bool ReadLyricsFile(const std::string& path, std::vector<std::string>& lines, Encoding& enc);

// The same for the bytes of a file already in memory.
void SplitLyricsText(std::string_view bytes, std::vector<std::string>& lines, Encoding& enc);

}  // namespace quib
