// A lyrics file as the song load prepares it: read, ratio, classification,
// dropping and line times, with and without music.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lyrics/lyrics_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  // The first four bytes choose the song length; the rest is the file.
  int songLength =
      static_cast<int>(static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                       static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24);
  std::string_view bytes(reinterpret_cast<const char*>(data + 4), size - 4);
  std::vector<std::string> lines;
  quib::Encoding enc = quib::Encoding::Auto;
  quib::SplitLyricsText(bytes, lines, enc);

  if (!std::isfinite(quib::ReadTimeRatio(lines))) __builtin_trap();
  int type = quib::ClassifyLyrics(lines, enc);
  if (type < quib::kTagPlain || type > quib::kTagUkagaka) __builtin_trap();
  quib::DropNonLyricLines(lines, type);
  if (lines.empty() || !lines.back().empty()) __builtin_trap();
  for (bool music : {false, true}) {
    std::vector<std::string> times = quib::BuildLineTimes(lines, music, songLength);
    if (times.size() != lines.size()) __builtin_trap();
    for (const auto& t : times) quib::ParseTimeTag(t);
  }
  return 0;
}
