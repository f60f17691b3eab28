#pragma once
// Per-line work on lyrics: the colour tag, stripping tags for display and
// export, and the karaoke split that the frame loop draws from.
#include <string>
#include <string_view>

#include "lyrics/lyric_state.h"
#include "platform/canvas.h"
#include "platform/code_page.h"

namespace quib {

// Removes a leading colour tag from line and returns its colour; the default
// lyric colour when there is none (line is then unchanged).
Colour TakeColourTag(std::string& line);

// The line without any lyric tags.
std::string StripLyricTags(std::string_view line, Encoding enc);

// The line without lyric tags, except a leading time tag.
std::string StripLyricTagsKeepTime(std::string_view line, Encoding enc);

// Splits a karaoke line at clock (ms): the text sung so far, the piece being
// sung, the rest, and the progress through that piece (0..10000). nextStart is
// the start of the next line (ms), used as the end of the last piece. Reuses
// out's string capacity: it runs once per frame.
void SplitKaraokeLine(int clock, std::string_view line, int nextStart, Encoding enc,
                      KaraokeSplit& out);

}  // namespace quib
